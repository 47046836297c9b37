#pragma once

// A loopback tile server for the download tests: answers by path, counts connections.

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "support/loopback_server.h"

struct Answer {
    int status = 200;
    std::string body;
    std::string contentType = "text/plain";
    std::chrono::milliseconds delay{0};  ///< the answer waits this long (or until the server goes)
};

class TileServer {
  public:
    TileServer()
        : server_([this](httplib::Server& s) {
              s.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
                  Respond(request, response);
              });
          }) {}
    ~TileServer() {
        {
            std::lock_guard lock(mutex_);
            closing_ = true;
        }
        released_.notify_all();
    }

    void Serve(const std::string& path, Answer answer) {
        std::lock_guard lock(mutex_);
        answers_[path] = std::move(answer);
    }
    QString Base() const { return server_.Base(); }
    /// distinct client connections seen so far
    int Connections() {
        std::lock_guard lock(mutex_);
        return static_cast<int>(ports_.size());
    }
    int Requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    std::string LastCacheControl() {
        std::lock_guard lock(mutex_);
        return lastCacheControl_;
    }

  private:
    void Respond(const httplib::Request& request, httplib::Response& response) {
        std::unique_lock lock(mutex_);
        ports_.insert(request.remote_port);
        ++requests_;
        lastCacheControl_ = request.get_header_value("Cache-Control");
        const auto found = answers_.find(request.path);
        if (found == answers_.end()) {
            response.status = 404;
            response.set_content("not found", "text/plain");
            return;
        }
        const Answer answer = found->second;
        released_.wait_for(lock, answer.delay, [this] { return closing_; });
        response.status = answer.status;
        response.set_content(answer.body, answer.contentType.c_str());
    }

    std::mutex mutex_;
    std::map<std::string, Answer> answers_;
    std::set<int> ports_;
    int requests_ = 0;
    std::string lastCacheControl_;
    std::condition_variable released_;
    bool closing_ = false;
    LoopbackServer server_;  // last: it stops before the state its handler uses goes
};

/// a 256 x 256 tile whose cells are value(row, col), lines ended by lineEnd
template <class F>
std::string MakeTile(F value, const char* lineEnd = "\n", int rows = 256, int cols = 256) {
    std::string tile;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            if (c) tile += ',';
            tile += value(r, c);
        }
        tile += lineEnd;
    }
    return tile;
}
