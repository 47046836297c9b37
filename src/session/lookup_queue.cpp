#include "session/lookup_queue.h"

#include <QMetaObject>
#include <exception>

LookupQueue::LookupQueue(std::unique_ptr<Downloader> downloader, Handlers handlers)
    : downloader_(std::move(downloader)), handlers_(std::move(handlers)) {
    worker_ = std::thread([this] { WorkerLoop(); });
}

LookupQueue::~LookupQueue() { Stop(); }

void LookupQueue::Look(const AcceptedClick& click, const ElevationSources& sources) {
    if (stopped_) {
        if (handlers_.failed) handlers_.failed(click);
        return;
    }
    Enqueue([this, click, sources](Downloader& downloader) -> std::function<void()> {
        try {
            const float elevation = LookupClick(click, sources, downloader);
            return [this, click, elevation] {
                if (handlers_.lookedUp) handlers_.lookedUp(click, elevation);
            };
        } catch (...) {
            // A lookup that fails drops its click silently, like any failure on the click's road.
            return [this, click] {
                if (handlers_.failed) handlers_.failed(click);
            };
        }
    });
}

void LookupQueue::Diagnose(const ElevationSources& sources, std::function<void(const QString&, bool)> done) {
    if (stopped_) return;
    Enqueue([sources, done](Downloader& downloader) -> std::function<void()> {
        QString text;
        bool failed = false;
        try {
            text = DiagnosticElevationText(sources, downloader);
        } catch (const std::exception& e) {
            text = QString::fromUtf8(e.what());
            failed = true;
        }
        return [done, text, failed] { done(text, failed); };
    });
}

void LookupQueue::AfterPending(std::function<void()> action) {
    if (stopped_) return;
    if (order_.empty()) return action();
    order_.push_back({nextId_++, true, std::move(action)});
}

void LookupQueue::DropPending() {
    const bool wasPending = Pending();
    ++generation_;
    order_.clear();
    {
        std::lock_guard lock(mutex_);
        jobs_.clear();
        if (inFlight_) downloader_->Abort();
    }
    TellPending(wasPending);
}

void LookupQueue::Stop() {
    if (!worker_.joinable()) return;
    const bool wasPending = Pending();
    stopped_ = true;
    ++generation_;
    order_.clear();
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        jobs_.clear();
        downloader_->Abort();
    }
    wake_.notify_all();
    worker_.join();
    TellPending(wasPending);
}

void LookupQueue::Enqueue(Work work) {
    const bool wasPending = Pending();
    const long id = nextId_++;
    order_.push_back({id, false, {}});
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back({id, generation_, std::move(work)});
    }
    wake_.notify_one();
    TellPending(wasPending);
}

void LookupQueue::Arrived(long id, long generation, std::function<void()> run) {
    if (generation != generation_) return;  // dropped meanwhile
    for (Entry& entry : order_) {
        if (entry.id != id) continue;
        entry.ready = true;
        entry.run = std::move(run);
        break;
    }
    RunReady();
}

void LookupQueue::RunReady() {
    // An action may wait in a dialog's event loop, where later results arrive: they run when
    // it has returned, in their turn.
    if (running_) return;
    running_ = true;
    const bool wasPending = Pending();
    while (!order_.empty() && order_.front().ready) {
        std::function<void()> run = std::move(order_.front().run);
        order_.pop_front();
        run();
    }
    running_ = false;
    TellPending(wasPending);
}

void LookupQueue::TellPending(bool wasPending) {
    if (wasPending != Pending() && handlers_.pendingChanged) handlers_.pendingChanged(Pending());
}

void LookupQueue::WorkerLoop() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
            inFlight_ = true;
            // An abort meant for an earlier job ends here; one for this job can only come later.
            downloader_->Resume();
        }
        std::function<void()> run = job.work(*downloader_);
        {
            std::lock_guard lock(mutex_);
            inFlight_ = false;
        }
        QMetaObject::invokeMethod(
            &context_,
            [this, id = job.id, generation = job.generation, run = std::move(run)] { Arrived(id, generation, run); },
            Qt::QueuedConnection);
    }
}
