#pragma once

#include <QString>

/// Fetches one URL into a file. Implementations never throw.
class Downloader {
  public:
    virtual ~Downloader() = default;
    /// true only when the whole body arrived with status 200 and now sits in fileName;
    /// otherwise fileName is left as it was
    virtual bool DownloadToFile(const QString& url, const QString& fileName) = 0;
    /// makes a transfer running on another thread fail at once, and every later one until
    /// Resume; safe from any thread
    virtual void Abort() {}
    /// lets transfers run again after Abort
    virtual void Resume() {}
};
