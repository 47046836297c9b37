#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "elevation/downloader.h"

/// Blocking HTTP(S) download through one libcurl handle kept for the whole run, so that
/// consecutive lookups reuse the server connection. Certificates are checked; no cache may
/// answer for the server. Bodies may come gzip or deflate compressed; a body that stops before
/// its declared length, its last chunk or the end of its compressed stream is a failure.
/// One thread downloads at a time; Abort may come from any thread and wakes the transfer's wait.
class CurlDownloader : public Downloader {
  public:
    /// connect and whole-transfer limits [ms]; bodies above maxBytes once decoded count as failed
    explicit CurlDownloader(long connectTimeoutMs = 5000, long totalTimeoutMs = 20000,
                            std::int64_t maxBytes = 16 * 1024 * 1024);
    ~CurlDownloader() override;
    CurlDownloader(const CurlDownloader&) = delete;
    CurlDownloader& operator=(const CurlDownloader&) = delete;

    bool DownloadToFile(const QString& url, const QString& fileName) override;
    void Abort() override;
    void Resume() override;

    /// the User-Agent every request carries: the tool's name and version
    static std::string UserAgent();

  private:
    void* curl_ = nullptr;
    void* multi_ = nullptr;  // keeps the connection between transfers and can be woken
    std::atomic<bool> aborted_{false};
    void* headers_ = nullptr;
    long connectTimeoutMs_;
    long totalTimeoutMs_;
    std::int64_t maxBytes_;
};
