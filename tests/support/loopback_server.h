#pragma once

// A real HTTP server on 127.0.0.1 for tests and benchmarks, run on its own thread.

#include <httplib.h>

#include <QString>
#include <chrono>
#include <functional>
#include <thread>

class LoopbackServer {
  public:
    /// routes are set up by `setup` before the server starts listening
    explicit LoopbackServer(const std::function<void(httplib::Server&)>& setup) {
        setup(server_);
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~LoopbackServer() {
        server_.stop();
        thread_.join();
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    /// "http://127.0.0.1:port"
    QString Base() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }

  private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
};
