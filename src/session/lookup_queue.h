#pragma once

#include <QObject>
#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "elevation/downloader.h"
#include "elevation/elevation_lookup.h"
#include "session/point_capture.h"

/// The elevation lookups of accepted clicks, run one at a time on a worker thread in the order
/// the clicks were accepted, so that the window stays free while tiles download. What comes
/// back, and the actions that must wait for it, run on the thread that made the queue, in the
/// order they were asked for. The worker alone uses the downloader and the download target.
class LookupQueue {
  public:
    /// called on the queue's thread
    struct Handlers {
        std::function<void(const AcceptedClick& click, float elevation)> lookedUp;  ///< elevation [m]
        std::function<void(const AcceptedClick& click)> failed;
        std::function<void(bool pending)> pendingChanged;
    };

    LookupQueue(std::unique_ptr<Downloader> downloader, Handlers handlers);
    /// Stop
    ~LookupQueue();
    LookupQueue(const LookupQueue&) = delete;
    LookupQueue& operator=(const LookupQueue&) = delete;

    /// looks up an accepted click's elevation; lookedUp or failed follows, after everything
    /// asked for before it
    void Look(const AcceptedClick& click, const ElevationSources& sources);

    /// runs the hidden diagnostic on the worker; done gets its text, or the failure's text with
    /// failed true, after everything asked for before it
    void Diagnose(const ElevationSources& sources, std::function<void(const QString& text, bool failed)> done);

    /// runs action once everything asked for before it has come back; at once when nothing is
    /// pending
    void AfterPending(std::function<void()> action);

    /// forgets every pending click and the actions waiting behind them (none of them runs
    /// later) and aborts the transfer in flight
    void DropPending();

    /// aborts the transfer in flight and ends the worker; nothing comes back afterwards and
    /// later requests are dropped
    void Stop();

    /// something asked for has not come back yet
    bool Pending() const { return !order_.empty(); }

  private:
    // One request in the order of asking: ready once its result (or, for an action, itself)
    // can run.
    struct Entry {
        long id;
        bool ready;
        std::function<void()> run;
    };
    // Work for the worker: returns what is to run on the queue's thread.
    using Work = std::function<std::function<void()>(Downloader&)>;
    struct Job {
        long id;
        long generation;
        Work work;
    };

    void Enqueue(Work work);
    void Arrived(long id, long generation, std::function<void()> run);
    void RunReady();
    void TellPending(bool wasPending);
    void WorkerLoop();

    std::unique_ptr<Downloader> downloader_;
    Handlers handlers_;
    QObject context_;  // results are posted to it, so none arrives after the queue has gone

    // Queue's thread only.
    std::deque<Entry> order_;
    long nextId_ = 0;
    long generation_ = 0;
    bool running_ = false;
    bool stopped_ = false;

    // Shared with the worker.
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    bool inFlight_ = false;
    bool stopping_ = false;
    std::thread worker_;
};
