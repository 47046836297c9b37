#include "elevation/curl_downloader.h"

#include <curl/curl.h>
#include <QFile>

#include <cstdio>
#include <string>

namespace {

struct Sink {
    std::FILE* file = nullptr;
    std::int64_t written = 0;
    std::int64_t limit = 0;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const size_t bytes = size * count;
    sink->written += static_cast<std::int64_t>(bytes);
    if (sink->written > sink->limit) return 0;  // aborts the transfer
    return std::fwrite(data, 1, bytes, sink->file) == bytes ? bytes : 0;
}

}  // namespace

CurlDownloader::CurlDownloader(long connectTimeoutMs, long totalTimeoutMs, std::int64_t maxBytes)
    : connectTimeoutMs_(connectTimeoutMs), totalTimeoutMs_(totalTimeoutMs), maxBytes_(maxBytes) {
    curl_ = curl_easy_init();
    headers_ = curl_slist_append(nullptr, "Cache-Control: no-cache");
}

CurlDownloader::~CurlDownloader() {
    if (curl_) curl_easy_cleanup(static_cast<CURL*>(curl_));
    curl_slist_free_all(static_cast<curl_slist*>(headers_));
}

bool CurlDownloader::DownloadToFile(const QString& url, const QString& fileName) {
    auto* curl = static_cast<CURL*>(curl_);
    if (!curl || !headers_) return false;
    const std::string target = QFile::encodeName(fileName).toStdString();
    const std::string part = target + ".part";
    Sink sink;
    sink.limit = maxBytes_;
    sink.file = std::fopen(part.c_str(), "wb");
    if (!sink.file) return false;

    // Options are set afresh for each transfer on the kept handle; its connection cache stays.
    const std::string address = url.toStdString();
    curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, static_cast<curl_slist*>(headers_));
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 3L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMs_);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, totalTimeoutMs_);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBytes_));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);

    const CURLcode result = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    const bool closed = std::fclose(sink.file) == 0;
    // Only a complete answer replaces the target; anything else leaves no trace.
    if (result == CURLE_OK && status == 200 && closed && std::rename(part.c_str(), target.c_str()) == 0) return true;
    std::remove(part.c_str());
    return false;
}
