#pragma once

// A loopback tile server for the download tests: answers by path, counts connections.

#include <map>
#include <mutex>
#include <set>
#include <string>

#include "support/loopback_server.h"

struct Answer {
    int status = 200;
    std::string body;
    std::string contentType = "text/plain";
};

class TileServer {
  public:
    TileServer()
        : server_([this](httplib::Server& s) {
              s.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
                  Respond(request, response);
              });
          }) {}

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
        std::lock_guard lock(mutex_);
        ports_.insert(request.remote_port);
        ++requests_;
        lastCacheControl_ = request.get_header_value("Cache-Control");
        const auto found = answers_.find(request.path);
        if (found == answers_.end()) {
            response.status = 404;
            response.set_content("not found", "text/plain");
            return;
        }
        response.status = found->second.status;
        response.set_content(found->second.body, found->second.contentType.c_str());
    }

    std::mutex mutex_;
    std::map<std::string, Answer> answers_;
    std::set<int> ports_;
    int requests_ = 0;
    std::string lastCacheControl_;
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
