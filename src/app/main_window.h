#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "app/host_window.h"
#include "app/shell_open.h"
#include "elevation/downloader.h"
#include "mapbridge/page_bridge.h"
#include "session/tool_state.h"

class QWebEngineView;
class QFrame;
class QAction;
class QMenu;
class Autosave;
class RouteHistory;
class LookupQueue;

/// The caption of the window and of its message boxes.
inline const char16_t* const ApplicationTitle = u"d_Mirevale6 MAP";

/// What the window is built from; every field has the production default.
struct WindowSetup {
    QString ExeDir;                                ///< empty: the running executable's folder
    QString TileBase;                              ///< empty: the national survey's server
    std::unique_ptr<Downloader> TileDownloader;    ///< null: libcurl
    std::unique_ptr<HostWindowLookup> HostLookup;  ///< null: this platform's lookup
    std::unique_ptr<ShellOpener> Shell;            ///< null: the desktop's opener
    std::function<void()> Quit;                    ///< empty: end the application
    QString StateDir;                              ///< empty: the user's state folder (autosave)
};

/// The chart image: reports mouse movement (with no button held too) and presses.
class ChartImage : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;
  signals:
    void moved(int x, int y);
    void pressed(Qt::MouseButton button);

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

/// The red circle that marks the hovered point.
class MarkerShape : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override;
};

/// A clickable panel (the exit panel).
class ClickPanel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;
  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent*) override { emit clicked(); }
};

/// The tool's one window: the map page on the left, the side panel with readouts, the chart,
/// the route list and the buttons on the right.
class TForm1 : public QWidget {
    Q_OBJECT
  public:
    explicit TForm1(WindowSetup setup = {});
    ~TForm1() override;

    // Handlers, public so that tests can run them as the toolkit would.
    void FormResize();
    void Timer1Timer();
    void Panel7Click();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void WebBrowser1CommandStateChange(const PageInputs& inputs);
    /// an accepted click's lookup has come back with its elevation [m]: the point is appended
    /// (the one place where a click becomes a point)
    void ClickLookedUp(const AcceptedClick& click, float elevation);
    /// an accepted click's lookup failed: the click is forgotten
    void ClickDropped(const AcceptedClick& click);
    /// true while an accepted click's lookup (or the diagnostic) has not come back
    bool LookupsPending() const;
    void Image1MouseMove(int x, int y);
    void Image1MouseDown(Qt::MouseButton button);
    void RecentreMap(int point);

    // The route's own menu (right click on the route list) and its shortcuts.
    void UndoClick();
    void RedoClick();
    void SaveGpxClick();
    void LoadGpxClick();
    void RestoreClick();
    /// the route list's menu as it would show now
    QMenu* RouteMenu();
    /// the autosave of this run
    Autosave& AutoSave() { return *autosave_; }
    RouteHistory& History() { return *history_; }

    /// the window's client area as it shows on screen
    QImage Snapshot();

    ToolState& State() { return state_; }
    /// how many reports of the map page the window has handled (accepted or not)
    int ReportsHandled() const { return reportsHandled_; }
    const AppPaths& Paths() const { return state_.Paths; }
    QWebEngineView* WebBrowser1() const { return browser_; }
    const Canvas& Chart() const { return state_.Chart; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    /// runs a handler; a failure reaches the error display and the window stays open
    void Guard(const std::function<void()>& handler);
    /// runs a handler under Guard once the clicks accepted before have become points (at once
    /// when none is pending), so that it sees the route the user has clicked
    void InTurn(const std::function<void()>& handler);
    void ChartClicked(const ChartClick& click);
    void ShowMessage(const QString& text);
    void SyncReadouts();
    void SyncHover();
    /// runs a user action that may change the route, as one undo step
    void Change(const QString& label, const std::function<void()>& action);
    void SaveRoute();
    void BuildRouteActions();
    /// the map page is loaded anew and, once loaded, recentred on point 1
    void ReloadAndRecentre();
    void BuildPanel();
    QLineEdit* AddMemo(const char* name, int x, int y, int w, int h);
    QLabel* AddLabel(const QString& text, int x, int y);
    QPushButton* AddButton(const char* name, const QString& text, int x, int y, int w, int h, const QString& hint = {});

    WindowSetup setup_;
    ToolState state_;

    QWebEngineView* browser_ = nullptr;
    PageBridge* bridge_ = nullptr;
    QFrame* panel1_ = nullptr;
    QFrame* panel2_ = nullptr;
    QWidget* cross_[4] = {};
    ChartImage* image1_ = nullptr;
    MarkerShape* shape1_ = nullptr;
    QLabel* memo9_ = nullptr;
    QLineEdit *memo1_ = nullptr, *memo2_ = nullptr, *memo3_ = nullptr, *memo4_ = nullptr, *memo5_ = nullptr,
              *memo6_ = nullptr, *memo7_ = nullptr, *memo8_ = nullptr, *memo10_ = nullptr, *memo11_ = nullptr,
              *edit1_ = nullptr, *courseTime_ = nullptr, *courseConstant_ = nullptr;
    QListWidget* listBox1_ = nullptr;
    QPushButton* button4_ = nullptr;
    QPushButton* button7_ = nullptr;
    QTimer timer1_;
    int reportsHandled_ = 0;
    qint64 shownChart_ = -1;  ///< the cache key of the chart picture Image1 shows
    /// the lookups of accepted clicks on their worker thread; ended first when the window goes
    std::unique_ptr<LookupQueue> lookups_;

    std::unique_ptr<Autosave> autosave_;
    std::unique_ptr<RouteHistory> history_;
    bool recentreAfterLoad_ = false;
    QAction *undo_ = nullptr, *redo_ = nullptr, *removeLast_ = nullptr, *saveGpx_ = nullptr, *loadGpx_ = nullptr,
            *restore_ = nullptr;
};
