#pragma once

// An HTTP server on 127.0.0.1 over plain sockets that answers each request with bytes the test
// writes out in full, then ends the connection the chosen way. It sends what a complete server
// library never would: bodies cut short, broken chunk framing, connections reset mid-body.

#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QString>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

enum class Ending {
    Close,  ///< an orderly close (FIN) after the bytes
    Reset,  ///< an abrupt close (RST, by SO_LINGER 0) after the bytes
};

struct Script {
    std::string bytes;  ///< status line, headers and body as they go on the wire
    Ending ending = Ending::Close;
};

class ScriptedServer {
  public:
    /// `answer` turns the request's text (request line and headers) into the reply
    explicit ScriptedServer(std::function<Script(const std::string& request)> answer) : answer_(std::move(answer)) {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(listener_, 8) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("no loopback listener");
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Run(); });
    }
    ~ScriptedServer() {
        stop_ = true;
        thread_.join();
        close(listener_);
    }
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    /// "http://127.0.0.1:port"
    QString Base() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }
    /// all bytes written to clients so far, headers included
    std::int64_t BytesSent() {
        std::lock_guard lock(mutex_);
        return sent_;
    }
    std::string LastRequest() {
        std::lock_guard lock(mutex_);
        return lastRequest_;
    }

  private:
    static bool Readable(int socket, int timeoutMs) {
        pollfd p{socket, POLLIN, 0};
        return poll(&p, 1, timeoutMs) > 0;
    }

    void Run() {
        while (!stop_) {
            if (!Readable(listener_, 20)) continue;
            const int client = accept(listener_, nullptr, nullptr);
            if (client < 0) continue;
            Serve(client);
        }
    }

    // One request per connection: every script ends its connection.
    void Serve(int client) {
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos && Readable(client, 2000)) {
            const ssize_t got = recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) break;
            request.append(buffer, static_cast<size_t>(got));
        }
        const Script script = answer_(request);
        {
            std::lock_guard lock(mutex_);
            lastRequest_ = request;
        }
        size_t done = 0;
        while (done < script.bytes.size()) {
            // Counted before they go: the client may have read them before send returns here.
            const std::int64_t trying = static_cast<std::int64_t>(script.bytes.size() - done);
            {
                std::lock_guard lock(mutex_);
                sent_ += trying;
            }
            const ssize_t put = send(client, script.bytes.data() + done, script.bytes.size() - done, MSG_NOSIGNAL);
            {
                std::lock_guard lock(mutex_);
                sent_ -= trying - std::max<std::int64_t>(put, 0);
            }
            if (put <= 0) break;
            done += static_cast<size_t>(put);
        }
        if (script.ending == Ending::Reset) {
            // Let the client take the partial body first, as when a peer fails mid-transfer.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            const linger abrupt{1, 0};
            setsockopt(client, SOL_SOCKET, SO_LINGER, &abrupt, sizeof abrupt);
        } else {
            shutdown(client, SHUT_WR);
            while (Readable(client, 2000) && recv(client, buffer, sizeof buffer, 0) > 0) {
            }
        }
        close(client);
    }

    std::function<Script(const std::string&)> answer_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::int64_t sent_ = 0;
    std::string lastRequest_;
    std::thread thread_;  // last: it starts once everything it uses exists
};
