#include "elevation/curl_downloader.h"

#include <curl/curl.h>
#include <zlib.h>
#include <QFile>

#include <array>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

// Content codings the download asks for. They are decoded here rather than by libcurl,
// whose decoders take a compressed stream that stops before its end for a complete one.
constexpr const char* AcceptedCodings = "gzip, deflate";

enum class Coding { Identity, Zlib, Unknown };

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if ((a[i] | 0x20) != (b[i] | 0x20)) return false;
    return true;
}

// The body of one transfer on its way to the file: decoded, limited, and checked for its end.
class Transfer {
  public:
    Transfer(std::FILE* file, std::int64_t limit) : file_(file), limit_(limit) {}
    ~Transfer() {
        if (inflating_) inflateEnd(&z_);
    }
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    // One header line of a response; a status line starts the headers of the next response.
    void Header(std::string_view line) {
        if (line.starts_with("HTTP/")) {
            codings_ = 0;
            coding_ = Coding::Identity;
            return;
        }
        const auto colon = line.find(':');
        if (colon == std::string_view::npos || !SameLetters(Trimmed(line.substr(0, colon)), "Content-Encoding")) return;
        std::string_view list = line.substr(colon + 1);
        while (!list.empty()) {
            const auto comma = list.find(',');
            const std::string_view token = Trimmed(list.substr(0, comma));
            list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
            if (token.empty() || SameLetters(token, "identity")) continue;
            ++codings_;
            coding_ = SameLetters(token, "gzip") || SameLetters(token, "x-gzip") || SameLetters(token, "deflate")
                          ? Coding::Zlib
                          : Coding::Unknown;
        }
    }

    // false stops the transfer: a coding not asked for, corrupt or surplus compressed bytes,
    // decoded bytes over the limit, or a write fault
    bool Body(const char* data, size_t bytes) {
        if (codings_ > 1) coding_ = Coding::Unknown;  // stacked codings are not asked for
        if (coding_ == Coding::Identity) return Store(data, bytes);
        if (coding_ == Coding::Unknown || ended_) return bytes == 0;
        if (!inflating_) {
            // +32: the zlib or gzip wrapper is recognised by its header, so either label fits either.
            if (inflateInit2(&z_, MAX_WBITS + 32) != Z_OK) return false;
            inflating_ = true;
        }
        z_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        z_.avail_in = static_cast<uInt>(bytes);
        std::array<char, 16384> out;
        do {
            z_.next_out = reinterpret_cast<Bytef*>(out.data());
            z_.avail_out = static_cast<uInt>(out.size());
            const int status = inflate(&z_, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) return false;
            if (!Store(out.data(), out.size() - z_.avail_out)) return false;
            if (status == Z_STREAM_END) {
                ended_ = true;
                return z_.avail_in == 0;  // nothing may follow the stream's end
            }
            if (status == Z_BUF_ERROR) break;  // all input taken, all output given
        } while (z_.avail_in > 0 || z_.avail_out == 0);
        return true;
    }

    /// the body arrived whole: a compressed one reached its end
    bool Complete() const { return coding_ == Coding::Identity || (coding_ == Coding::Zlib && ended_); }

  private:
    bool Store(const char* data, size_t bytes) {
        written_ += static_cast<std::int64_t>(bytes);
        return written_ <= limit_ && std::fwrite(data, 1, bytes, file_) == bytes;
    }

    std::FILE* file_;
    std::int64_t limit_;
    std::int64_t written_ = 0;  // decoded
    int codings_ = 0;
    Coding coding_ = Coding::Identity;
    z_stream z_{};
    bool inflating_ = false;
    bool ended_ = false;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
    const size_t bytes = size * count;
    return static_cast<Transfer*>(user)->Body(data, bytes) ? bytes : 0;  // 0 aborts the transfer
}

size_t ReadHeader(char* data, size_t size, size_t count, void* user) {
    const size_t bytes = size * count;
    static_cast<Transfer*>(user)->Header(std::string_view(data, bytes));
    return bytes;
}

// Runs one transfer to its end, or until aborted is set (and the wait woken).
CURLcode Perform(CURLM* multi, CURL* curl, const std::atomic<bool>& aborted) {
    if (curl_multi_add_handle(multi, curl) != CURLM_OK) return CURLE_FAILED_INIT;
    CURLcode result = CURLE_ABORTED_BY_CALLBACK;
    for (;;) {
        int running = 0;
        if (aborted || curl_multi_perform(multi, &running) != CURLM_OK) break;
        if (running == 0) {
            int queued = 0;
            while (CURLMsg* message = curl_multi_info_read(multi, &queued))
                if (message->msg == CURLMSG_DONE && message->easy_handle == curl) result = message->data.result;
            break;
        }
        if (curl_multi_poll(multi, nullptr, 0, 1000, nullptr) != CURLM_OK) break;
    }
    curl_multi_remove_handle(multi, curl);
    return result;
}

}  // namespace

void CurlDownloader::Abort() {
    aborted_ = true;
    if (multi_) curl_multi_wakeup(static_cast<CURLM*>(multi_));
}

void CurlDownloader::Resume() { aborted_ = false; }

std::string CurlDownloader::UserAgent() { return std::string("MirevaleMAP/") + MIREVALE_VERSION; }

CurlDownloader::CurlDownloader(long connectTimeoutMs, long totalTimeoutMs, std::int64_t maxBytes)
    : connectTimeoutMs_(connectTimeoutMs), totalTimeoutMs_(totalTimeoutMs), maxBytes_(maxBytes) {
    curl_ = curl_easy_init();
    multi_ = curl_multi_init();
    headers_ = curl_slist_append(nullptr, "Cache-Control: no-cache");
}

CurlDownloader::~CurlDownloader() {
    if (curl_) curl_easy_cleanup(static_cast<CURL*>(curl_));
    if (multi_) curl_multi_cleanup(static_cast<CURLM*>(multi_));
    curl_slist_free_all(static_cast<curl_slist*>(headers_));
}

bool CurlDownloader::DownloadToFile(const QString& url, const QString& fileName) {
    auto* curl = static_cast<CURL*>(curl_);
    auto* multi = static_cast<CURLM*>(multi_);
    if (!curl || !multi || !headers_ || aborted_) return false;
    const std::string target = QFile::encodeName(fileName).toStdString();
    const std::string part = target + ".part";
    std::FILE* file = std::fopen(part.c_str(), "wb");
    if (!file) return false;
    Transfer transfer(file, maxBytes_);
    const std::string agent = UserAgent();

    // Options are set afresh for each transfer on the kept handle; its connection cache stays.
    const std::string address = url.toStdString();
    curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, static_cast<curl_slist*>(headers_));
    curl_easy_setopt(curl, CURLOPT_USERAGENT, agent.c_str());
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, AcceptedCodings);
    curl_easy_setopt(curl, CURLOPT_HTTP_CONTENT_DECODING, 0L);
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
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, ReadHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);

    // A body cut short of its Content-Length or chunked end gives CURLE_PARTIAL_FILE, a reset
    // connection or broken chunk framing CURLE_RECV_ERROR, a stop from WriteBody
    // CURLE_WRITE_ERROR: every result but CURLE_OK is a failed download.
    const CURLcode result = Perform(multi, curl, aborted_);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    const bool closed = std::fclose(file) == 0;
    // Only a complete answer replaces the target; anything else leaves no trace.
    if (result == CURLE_OK && status == 200 && transfer.Complete() && closed &&
        std::rename(part.c_str(), target.c_str()) == 0)
        return true;
    std::remove(part.c_str());
    return false;
}
