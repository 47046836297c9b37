// The route list's menu and the window's shortcuts: undo and redo, the remove-last edit, GPX
// out and in, and the restore of the previous run's route. Every route change is an undo step
// and is autosaved.

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>
#include <atomic>
#include <thread>

#include "app/main_window.h"
#include "elevation/curl_downloader.h"
#include "format/failure.h"
#include "session/autosave.h"
#include "session/route_files.h"
#include "session/route_history.h"
#include "session/session_messages.h"
#include "session/user_actions.h"

namespace {

// Lookups of imported points run on a thread of their own; the window stays live and shows
// their progress once they take longer than this [ms].
constexpr int ImportProgressDelay = 500;

QFileDialog* GpxDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& folder) {
    auto* dialog = new QFileDialog(parent);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setDirectory(folder);
    dialog->setNameFilter(QStringLiteral("GPX (*.gpx)"));
    return dialog;
}

}  // namespace

void TForm1::BuildRouteActions() {
    const auto make = [this](const QString& text, const QList<QKeySequence>& keys, void (TForm1::*handler)()) {
        auto* action = new QAction(text, this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        // In turn with the clicks still being looked up, as the side panel's buttons are.
        connect(action, &QAction::triggered, this,
                [this, handler] { InTurn([this, handler] { (this->*handler)(); }); });
        addAction(action);
        return action;
    };
    restore_ = make(QStringLiteral("前回のルートを復元"), {}, &TForm1::RestoreClick);
    undo_ = make(QStringLiteral("元に戻す"), {QKeySequence(Qt::CTRL | Qt::Key_Z)}, &TForm1::UndoClick);
    redo_ =
        make(QStringLiteral("やり直し"),
             {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}, &TForm1::RedoClick);
    removeLast_ = make(QStringLiteral("末尾一点クリア"), {}, &TForm1::Button7Click);
    saveGpx_ = make(QStringLiteral("GPXで保存…"), {QKeySequence(Qt::CTRL | Qt::Key_S)}, &TForm1::SaveGpxClick);
    loadGpx_ = make(QStringLiteral("GPXを読み込む…"), {QKeySequence(Qt::CTRL | Qt::Key_O)}, &TForm1::LoadGpxClick);

    if (const auto& saved = autosave_->Restorable()) {
        const QString when = saved->Time.isValid()
                                 ? saved->Time.toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm"))
                                 : QStringLiteral("日時不明");
        restore_->setText(QStringLiteral("前回のルートを復元（%1点、%2）").arg(saved->Table.PointCount).arg(when));
    } else {
        restore_->setEnabled(false);
    }

    listBox1_->setContextMenuPolicy(Qt::CustomContextMenu);
    listBox1_->setToolTip(
        QStringLiteral("右クリック：前回のルートの復元、元に戻す・やり直し（Ctrl+Z・Ctrl+"
                       "Y）、末尾一点クリア、GPXの保存（Ctrl+S）と読み込み（Ctrl+O）"));
    connect(listBox1_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { RouteMenu()->popup(listBox1_->viewport()->mapToGlobal(at)); });

    // The map page's browser claims Ctrl+Z, Ctrl+S and the like for itself before a shortcut
    // sees them; the window's route shortcuts must work wherever the focus is.
    qApp->installEventFilter(this);
    connect(browser_, &QWebEngineView::loadFinished, this, [this](bool ok) {
        if (!recentreAfterLoad_ || !ok) return;
        recentreAfterLoad_ = false;
        // After the bridge has seen the same signal and knows the page is there.
        QTimer::singleShot(0, this, [this] {
            if (state_.Table.PointCount >= 1) Guard([this] { RecentreMap(1); });
        });
    });
}

QMenu* TForm1::RouteMenu() {
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("RouteMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    undo_->setEnabled(history_->CanUndo());
    redo_->setEnabled(history_->CanRedo());
    removeLast_->setEnabled(state_.Table.PointCount > 1);
    saveGpx_->setEnabled(HasRoute(state_));
    menu->addAction(restore_);
    menu->addSeparator();
    menu->addAction(undo_);
    menu->addAction(redo_);
    menu->addAction(removeLast_);
    menu->addSeparator();
    menu->addAction(saveGpx_);
    menu->addAction(loadGpx_);
    if (const QString failure = autosave_->LastFailure(); !failure.isEmpty()) {
        menu->addSeparator();
        menu->addAction(QString::fromUtf16(session_messages::AutosaveFailed).arg(failure))->setEnabled(false);
    }
    return menu;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this) {
            const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
            for (const QAction* action : actions())
                if (action->isEnabled() && action->shortcuts().contains(pressed)) {
                    // Nobody may claim the key: it goes to the window's shortcut.
                    event->ignore();
                    return true;
                }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::Change(const QString& label, const std::function<void()>& action) { history_->Run(label, action); }

void TForm1::SaveRoute() { autosave_->SaveInBackground(state_); }

void TForm1::ReloadAndRecentre() {
    recentreAfterLoad_ = true;
    browser_->load(QUrl::fromLocalFile(state_.Paths.MapPagePath));
}

void TForm1::UndoClick() { history_->Undo(); }

void TForm1::RedoClick() { history_->Redo(); }

void TForm1::RestoreClick() {
    const auto& saved = autosave_->Restorable();
    if (!saved) return;
    Change(QStringLiteral("前回のルートを復元"), [&] { RestoreRoute(state_, *saved); });
    ReloadAndRecentre();
}

void TForm1::SaveGpxClick() {
    if (!HasRoute(state_)) return ShowMessage(QString::fromUtf16(session_messages::NoData));
    std::unique_ptr<QFileDialog> dialog(GpxDialog(this, QFileDialog::AcceptSave, HtmlSaveFolder(state_)));
    dialog->setObjectName(QStringLiteral("GpxSaveDialog"));
    dialog->selectFile(QString::fromUtf16(GpxDefaultFileName));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return;
    ExportGpx(state_, dialog->selectedFiles().first());
}

void TForm1::LoadGpxClick() {
    std::unique_ptr<QFileDialog> dialog(GpxDialog(this, QFileDialog::AcceptOpen, HtmlSaveFolder(state_)));
    dialog->setObjectName(QStringLiteral("GpxOpenDialog"));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return;
    const QString path = dialog->selectedFiles().first();
    dialog.reset();
    const std::vector<GpxPoint> points = ReadGpxFile(path);

    // Points without an elevation are looked up like clicks, on a thread of their own so the
    // window stays live; the user may stop them.
    QTemporaryDir scratch;
    ElevationSources sources = state_.Sources;
    sources.DemTempFile = scratch.filePath(QStringLiteral("dem.txt"));
    std::atomic<int> done{0};
    std::atomic<bool> stop{false}, finished{false};
    std::optional<std::vector<float>> elevations;
    std::exception_ptr failure;
    CurlDownloader downloader;
    // Stopping also cuts the transfer in flight, so neither the user's Cancel nor the tool's end
    // waits for a tile.
    const auto stopLookups = [&] {
        stop = true;
        downloader.Abort();
    };
    std::thread worker([&] {
        try {
            elevations = ImportElevations(
                points, [&](float lat, float lng) { return LookupElevation(lat, lng, sources, downloader); },
                [&](int n) {
                    done = n;
                    return !stop;
                });
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
    });
    QProgressDialog progress(QStringLiteral("標高を調べています…"), QStringLiteral("中止"), 0,
                             static_cast<int>(points.size()), this);
    progress.setObjectName(QStringLiteral("ImportProgress"));
    progress.setWindowTitle(windowTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(ImportProgressDelay);
    QEventLoop wait;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &wait, [&] {
        if (finished) return wait.quit();
        progress.setValue(done);
        if (progress.wasCanceled()) stopLookups();
    });
    poll.start(30);
    wait.exec();
    if (!finished) stopLookups();  // the tool is ending: its event loops were all told to leave
    worker.join();
    progress.reset();
    if (failure) std::rethrow_exception(failure);
    if (!elevations) return;  // stopped: the route stays as it was

    browser_->stop();
    Change(QStringLiteral("GPXを読み込む"), [&] { ImportRoute(state_, points, *elevations); });
    ReloadAndRecentre();
}
