#include "mapbridge/page_bridge.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <memory>

#include "format/failure.h"
#include "mapbridge/bridge_messages.h"

namespace {

// Watches the page's inputs and reports the five contract values, read like FindInputValue:
// inputs below the body, ids compared without ASCII case, the last match wins, the current
// value. Runs in the page's own world, so that the page's own value assignments are seen.
const char* const ReportScript = R"JS(
(function () {
  'use strict';
  if (window.__mirevaleSchedule) return;
  var valueProperty = Object.getOwnPropertyDescriptor(HTMLInputElement.prototype, 'value');
  var sink = null, pending = false, waiting = false;
  function lowerAscii(text) {
    return String(text).replace(/[A-Z]/g, function (c) { return String.fromCharCode(c.charCodeAt(0) + 32); });
  }
  function findInputValue(id) {
    var inputs = document.body.getElementsByTagName('input');
    var result = '';
    for (var i = 0; i < inputs.length; i++) {
      if (lowerAscii(inputs[i].id) === id) result = String(valueProperty.get.call(inputs[i]));
    }
    return result;
  }
  function send() {
    pending = false;
    if (!document.body) return;
    if (!sink) { waiting = true; return; }
    var v = ['lat', 'lng', 'zoomlevel', 'clat', 'clon'].map(findInputValue);
    sink.report(v[0], v[1], v[2], v[3], v[4]);
  }
  function schedule() {
    if (pending) return;
    pending = true;
    setTimeout(send, 0);
  }
  Object.defineProperty(HTMLInputElement.prototype, 'value', {
    configurable: true,
    enumerable: valueProperty.enumerable,
    get: valueProperty.get,
    set: function (v) { valueProperty.set.call(this, v); schedule(); }
  });
  document.addEventListener('input', schedule, true);
  document.addEventListener('change', schedule, true);
  new MutationObserver(function (records) {
    for (var i = 0; i < records.length; i++) {
      if (records[i].target.tagName === 'INPUT') { schedule(); return; }
    }
  }).observe(document, { attributes: true, attributeFilter: ['value'], subtree: true });
  window.addEventListener('load', schedule);
  function connect() {
    if (typeof qt === 'undefined' || !qt.webChannelTransport) { setTimeout(connect, 10); return; }
    new QWebChannel(qt.webChannelTransport, function (channel) {
      sink = channel.objects.mirevaleBridge;
      if (waiting) { waiting = false; schedule(); }
    });
  }
  connect();
  window.__mirevaleSchedule = schedule;
})();
)JS";

// Calls GotoLatLng and tells how it went, since a page script's failure is not reported
// to the caller of runJavaScript.
QString RecentreWrapper(const QString& call) {
    return QStringLiteral(
               "(function () {"
               "  if (typeof GotoLatLng !== 'function') return 'missing';"
               "  try { %1; return 'ok'; } catch (e) { return 'error: ' + e; }"
               "})()")
        .arg(call);
}

}  // namespace

void ReportSink::report(const QString& lat, const QString& lng, const QString& zoomLevel, const QString& clat,
                        const QString& clon) {
    emit reported(PageInputs{lat, lng, zoomLevel, clat, clon});
}

QString PageBridge::PageScript() {
    QFile channelScript(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    if (!channelScript.open(QIODevice::ReadOnly)) throw Failure(QString::fromUtf16(bridge_messages::NoChannelScript));
    return QString::fromUtf8(channelScript.readAll()) + QString::fromUtf8(ReportScript);
}

PageBridge::PageBridge(QWebEnginePage* page, QObject* parent)
    : QObject(parent), page_(page), channel_(new QWebChannel(this)), sink_(new ReportSink(this)) {
    channel_->registerObject(QStringLiteral("mirevaleBridge"), sink_);
    page_->setWebChannel(channel_, QWebEngineScript::MainWorld);

    QWebEngineScript script;
    script.setName(QStringLiteral("mirevale-report"));
    script.setSourceCode(PageScript());
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    page_->scripts().insert(script);

    connect(sink_, &ReportSink::reported, this, &PageBridge::reported);
    connect(page_, &QWebEnginePage::loadStarted, this, [this] { loaded_ = false; });
    connect(page_, &QWebEnginePage::loadFinished, this, [this](bool ok) { loaded_ = ok; });
}

void PageBridge::RecentreMap(const QString& call) {
    if (!loaded_) throw Failure(QString::fromUtf16(bridge_messages::PageNotLoaded));
    // The answer may come after the wait has given up: it then finds no loop to end.
    struct Wait {
        QString outcome = QStringLiteral("no answer");
        QEventLoop* loop = nullptr;
    };
    auto wait = std::make_shared<Wait>();
    QEventLoop loop;
    wait->loop = &loop;
    page_->runJavaScript(RecentreWrapper(call), QWebEngineScript::MainWorld, [wait](const QVariant& result) {
        wait->outcome = result.toString();
        if (wait->loop) wait->loop->quit();
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    wait->loop = nullptr;
    const QString outcome = wait->outcome;
    if (outcome == QLatin1String("ok")) return;
    if (outcome == QLatin1String("missing")) throw Failure(QString::fromUtf16(bridge_messages::NoGotoLatLng));
    throw Failure(QString::fromUtf16(bridge_messages::RecentreFailed).arg(outcome));
}
