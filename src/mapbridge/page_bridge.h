#pragma once

#include <QObject>
#include <QString>

#include "session/point_capture.h"

class QWebEnginePage;
class QWebChannel;

/// The receiving end of the page script's reports, published to the page as "mirevaleBridge".
class ReportSink : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
  public slots:
    void report(const QString& lat, const QString& lng, const QString& zoomLevel, const QString& clat,
                const QString& clon);
  signals:
    void reported(const PageInputs& inputs);
};

/// Ties the map page in a web engine page to the tool: a script injected into every document
/// reports the five input values whenever an input's value changes or the page has loaded
/// (bursts coalesced into one report), and scripts run on the page recentre the map.
class PageBridge : public QObject {
    Q_OBJECT
  public:
    explicit PageBridge(QWebEnginePage* page, QObject* parent = nullptr);

    /// runs the call "GotoLatLng(lat,lng)" on the page and waits for it; Failure when no page
    /// has loaded, the page has no such function, or it throws
    void RecentreMap(const QString& call);

    /// the script injected into every document
    static QString PageScript();

  signals:
    /// the page's input values changed (the browser's update-commands notification)
    void reported(const PageInputs& inputs);

  private:
    QWebEnginePage* page_;
    QWebChannel* channel_;
    ReportSink* sink_;
    bool loaded_ = false;
};
