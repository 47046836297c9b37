#include "app/main_window.h"

#include <QApplication>
#include <QFileDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTextOption>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "app/crosshair.h"
#include "elevation/curl_downloader.h"
#include "export/html_export.h"
#include "format/failure.h"
#include "session/autosave.h"
#include "session/lookup_queue.h"
#include "session/point_capture.h"
#include "session/route_history.h"
#include "session/session_messages.h"
#include "session/user_actions.h"

namespace {

constexpr int PanelWidth = 448;

QString Title() { return QString::fromUtf16(ApplicationTitle); }

// Draws the route list's rows with tab stops every 25 dialog units.
class TabStopDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem o = option;
        initStyleOption(&o, index);
        const QString text = o.text;
        o.text.clear();
        o.widget->style()->drawControl(QStyle::CE_ItemViewItem, &o, painter, o.widget);
        QTextOption layout;
        layout.setTabStopDistance(o.fontMetrics.averageCharWidth() * 25.0 / 4.0);
        layout.setWrapMode(QTextOption::NoWrap);
        painter->save();
        painter->setPen(o.palette.color(o.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(QRectF(o.rect.adjusted(2, 0, 0, 0)), text, layout);
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), 13};
    }
};

// The chart picture with its bottom-left colour left unpainted, so the panel shows through.
QPixmap TransparentChart(const QImage& image) {
    QImage keyed = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = keyed.pixel(0, keyed.height() - 1);
    for (int y = 0; y < keyed.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x)
            if (row[x] == key) row[x] = 0;
    }
    return QPixmap::fromImage(keyed);
}

}  // namespace

void ChartImage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit moved(p.x(), p.y());
}

void ChartImage::mousePressEvent(QMouseEvent* event) { emit pressed(event->button()); }

void MarkerShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor(255, 0, 0));
    painter.drawEllipse(QRect(0, 0, width() - 1, height() - 1));
}

TForm1::TForm1(WindowSetup setup) : setup_(std::move(setup)), state_(ChartFont()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Title());
    if (!setup_.TileDownloader) setup_.TileDownloader = std::make_unique<CurlDownloader>();
    if (!setup_.HostLookup) setup_.HostLookup = MakeHostWindowLookup();
    if (!setup_.Shell) setup_.Shell = MakeShellOpener();
    if (!setup_.Quit) setup_.Quit = [] { QCoreApplication::quit(); };

    setFont(QFont(QString::fromUtf16(ScreenFontFamily), 8));
    setMouseTracking(true);

    browser_ = new QWebEngineView(this);
    browser_->setObjectName(QStringLiteral("WebBrowser1"));
    bridge_ = new PageBridge(browser_->page(), this);
    connect(bridge_, &PageBridge::reported, this, &TForm1::WebBrowser1CommandStateChange);

    for (int i = 0; i < 4; ++i) {
        cross_[i] = new QWidget(this);
        cross_[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 3));
        cross_[i]->setAutoFillBackground(true);
        QPalette red = cross_[i]->palette();
        red.setColor(QPalette::Window, QColor(255, 0, 0));
        cross_[i]->setPalette(red);
        cross_[i]->resize(i < 2 ? QSize(3, 41) : QSize(41, 3));
        cross_[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    BuildPanel();

    StartSession(state_, setup_.ExeDir.isEmpty() ? QCoreApplication::applicationDirPath() : setup_.ExeDir,
                 setup_.TileBase.isEmpty() ? QString::fromLatin1(ProductionTileBase) : setup_.TileBase);
    browser_->load(QUrl::fromLocalFile(state_.Paths.MapPagePath));
    // The worker takes the downloader: it alone downloads, to the one download target.
    lookups_ = std::make_unique<LookupQueue>(
        std::move(setup_.TileDownloader),
        LookupQueue::Handlers{[this](const AcceptedClick& click, float elevation) { ClickLookedUp(click, elevation); },
                              [this](const AcceptedClick& click) { ClickDropped(click); },
                              [this](bool pending) {
                                  // Over the side panel only: the map keeps taking clicks meanwhile.
                                  if (pending)
                                      panel1_->setCursor(Qt::WaitCursor);
                                  else
                                      panel1_->unsetCursor();
                              }});
    autosave_ = std::make_unique<Autosave>(setup_.StateDir);
    history_ = std::make_unique<RouteHistory>(state_);
    history_->changed = [this] { SaveRoute(); };
    BuildRouteActions();

    resize(1103, 736);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        move(s.width() - frameGeometry().width() - 250, s.height() - frameGeometry().height() - 40);
    }
    timer1_.setInterval(1000);
    connect(&timer1_, &QTimer::timeout, this, &TForm1::Timer1Timer);
    timer1_.start();
    shape1_->hide();
    SyncReadouts();
}

TForm1::~TForm1() {
    // Aborts the transfer in flight and joins the worker before anything it reports to goes.
    lookups_.reset();
}

QLineEdit* TForm1::AddMemo(const char* name, int x, int y, int w, int h) {
    auto* memo = new QLineEdit(panel1_);
    memo->setObjectName(QString::fromLatin1(name));
    memo->setGeometry(x, y, w, h);
    memo->setReadOnly(true);
    memo->setAlignment(Qt::AlignCenter);
    // The line edit keeps 2 pixels clear inside each side of its contents for its cursor; a
    // readout has none, and "1234.56 Km" needs that room to stay whole and centred in Memo4.
    memo->setTextMargins(-2, 0, -2, 0);
    memo->setStyleSheet(QStringLiteral("QLineEdit { padding: 0px; }"));
    memo->setFocusPolicy(Qt::NoFocus);
    memo->unsetCursor();  // the panel's, so that its wait cursor covers the readouts too
    return memo;
}

QLabel* TForm1::AddLabel(const QString& text, int x, int y) {
    auto* label = new QLabel(text, panel1_);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QPushButton* TForm1::AddButton(const char* name, const QString& text, int x, int y, int w, int h, const QString& hint) {
    auto* button = new QPushButton(text, panel1_);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(x, y, w, h);
    if (!hint.isEmpty()) button->setToolTip(hint);
    return button;
}

void TForm1::BuildPanel() {
    panel1_ = new QFrame(this);
    panel1_->setObjectName(QStringLiteral("Panel1"));
    panel1_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel1_->setAutoFillBackground(true);

    AddLabel(QStringLiteral("No.　 　　　緯度　　　　　　　　経度　　　　　標高"), 26, 7);
    memo3_ = AddMemo("Memo3", 16, 24, 33, 21);
    memo1_ = AddMemo("Memo1", 58, 24, 73, 21);
    memo2_ = AddMemo("Memo2", 137, 24, 72, 21);
    edit1_ = AddMemo("Edit1", 215, 24, 50, 21);

    panel2_ = new QFrame(panel1_);
    panel2_->setObjectName(QStringLiteral("Panel2"));
    panel2_->setGeometry(-1, 53, 429, 396);
    panel2_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel2_->setLineWidth(1);
    image1_ = new ChartImage(panel2_);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setGeometry(1, 1, ChartWidth, ChartHeight);
    image1_->setMouseTracking(true);
    image1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(image1_, &ChartImage::moved, this, &TForm1::Image1MouseMove);
    connect(image1_, &ChartImage::pressed, this, &TForm1::Image1MouseDown);
    shape1_ = new MarkerShape(panel2_);
    shape1_->setObjectName(QStringLiteral("Shape1"));
    shape1_->resize(8, 8);
    shape1_->setAttribute(Qt::WA_TransparentForMouseEvents);
    shape1_->hide();
    memo9_ = new QLabel(panel2_);
    memo9_->setObjectName(QStringLiteral("Memo9"));
    memo9_->resize(129, 60);
    memo9_->setAlignment(Qt::AlignCenter);
    memo9_->setFrameStyle(QFrame::Box | QFrame::Plain);
    memo9_->setAutoFillBackground(true);
    QPalette white = memo9_->palette();
    white.setColor(QPalette::Window, Qt::white);
    memo9_->setPalette(white);
    memo9_->setAttribute(Qt::WA_TransparentForMouseEvents);
    memo9_->hide();

    AddLabel(QStringLiteral("最低高度　最高高度　高度差"), 6, 459);
    AddLabel(QStringLiteral("累計距離"), 182, 459);
    memo5_ = AddMemo("memo5", 8, 476, 42, 17);
    memo6_ = AddMemo("Memo6", 60, 476, 42, 17);
    memo7_ = AddMemo("Memo7", 113, 477, 42, 17);
    memo4_ = AddMemo("Memo4", 178, 475, 58, 17);
    auto* button6 = AddButton("Button6", QStringLiteral("復　路"), 272, 475, 41, 23,
                              QStringLiteral("最終指定地点から同じ道を引き返す"));
    auto* button1 = AddButton("Button1", QStringLiteral("全データ　クリアー"), 328, 475, 96, 22,
                              QStringLiteral("全入力データをクリアします"));
    // Nine full-width characters are 99 pixels, the button's inside 94: one pixel less per step.
    QFont tight = button1->font();
    tight.setLetterSpacing(QFont::AbsoluteSpacing, -1);
    button1->setFont(tight);
    AddLabel(QStringLiteral("上り標高累計(m)"), 26, 502);
    memo10_ = AddMemo("Memo10", 112, 500, 42, 17);
    button7_ = AddButton("Button7", QStringLiteral("末尾一点クリア"), 328, 507, 97, 22,
                         QStringLiteral("末尾のデータを一点クリアします"));
    button7_->hide();
    AddLabel(QStringLiteral("下り標高累計(m)"), 25, 522);
    memo11_ = AddMemo("Memo11", 112, 520, 42, 17);
    // The course readouts sit in the free space right of the climb and descent totals.
    AddLabel(QStringLiteral("コースタイム"), 166, 502);
    courseTime_ = AddMemo("CourseTime", 236, 500, 50, 17);
    courseTime_->setToolTip(QStringLiteral("標準コースタイム（時:分）：整備された登山道を歩く場合の目安"));
    AddLabel(QStringLiteral("コース定数"), 166, 522);
    courseConstant_ = AddMemo("CourseConstant", 236, 520, 50, 17);
    courseConstant_->setToolTip(
        QStringLiteral("コース定数：時間・距離・上り下りから見た体力の要る度合い（整備された登山道を想定）"));
    AddLabel(QStringLiteral("(Km)         (m)       (km) "), 33, 551);
    AddLabel(QStringLiteral("区間距離　高度  累計距離     地名"), 25, 570);
    listBox1_ = new QListWidget(panel1_);
    listBox1_->setObjectName(QStringLiteral("ListBox1"));
    listBox1_->setGeometry(8, 589, 258, 126);
    listBox1_->setItemDelegate(new TabStopDelegate(listBox1_));
    listBox1_->setUniformItemSizes(true);
    auto* button5 = AddButton("Button5", QStringLiteral("現在表示画面を保存(JPG)"), 275, 588, 161, 23);
    auto* button2 = AddButton("Button2", QStringLiteral("エクセルデータを出力(CSV)"), 274, 621, 160, 20);
    auto* button3 = AddButton("Button3", QStringLiteral("地図データを出力（HTML)"), 274, 656, 161, 20,
                              QStringLiteral("スマホ、PCのブラウザで見るファイルを出力"));
    auto* panel7 = new ClickPanel(QStringLiteral("地図画面に戻る"), panel1_);
    panel7->setObjectName(QStringLiteral("Panel7"));
    panel7->setGeometry(336, 688, 97, 25);
    panel7->setAlignment(Qt::AlignCenter);
    panel7->setAutoFillBackground(true);
    QPalette redPanel = panel7->palette();
    redPanel.setColor(QPalette::Window, QColor(255, 0, 0));
    redPanel.setColor(QPalette::WindowText, Qt::white);
    panel7->setPalette(redPanel);
    panel7->setFrameStyle(QFrame::Panel | QFrame::Raised);

    // The hidden diagnostic pair.
    button4_ = new QPushButton(QStringLiteral("Button4"), this);
    button4_->setObjectName(QStringLiteral("Button4"));
    button4_->hide();
    memo8_ = new QLineEdit(this);
    memo8_->setObjectName(QStringLiteral("Memo8"));
    memo8_->hide();

    connect(button1, &QPushButton::clicked, this, [this] { Guard([this] { Button1Click(); }); });
    connect(button2, &QPushButton::clicked, this, [this] { InTurn([this] { Button2Click(); }); });
    connect(button3, &QPushButton::clicked, this, [this] { InTurn([this] { Button3Click(); }); });
    connect(button4_, &QPushButton::clicked, this, [this] { Guard([this] { Button4Click(); }); });
    connect(button5, &QPushButton::clicked, this, [this] { InTurn([this] { Button5Click(); }); });
    connect(button6, &QPushButton::clicked, this, [this] { InTurn([this] { Button6Click(); }); });
    connect(button7_, &QPushButton::clicked, this, [this] { InTurn([this] { Button7Click(); }); });
    connect(panel7, &ClickPanel::clicked, this, &TForm1::Panel7Click);
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void TForm1::FormResize() {
    panel1_->setGeometry(width() - PanelWidth, 0, PanelWidth, height());
    browser_->setGeometry(0, 0, width() - PanelWidth, height());
    const CrosshairLayout c = CrosshairLayout::For(browser_->width(), browser_->height(), browser_->y());
    cross_[0]->move(c.Panel3);
    cross_[1]->move(c.Panel4);
    cross_[2]->move(c.Panel5);
    cross_[3]->move(c.Panel6);
    for (QWidget* bar : cross_) bar->raise();
}

void TForm1::Guard(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        SyncReadouts();
        QMessageBox box(QMessageBox::Critical, Title(), QString::fromUtf8(e.what()), QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("ErrorBox"));
        box.exec();
        return;
    }
    SyncReadouts();
}

void TForm1::ShowMessage(const QString& text) {
    // A plain box: no icon, one OK button, centred on the screen.
    QMessageBox box(QMessageBox::NoIcon, Title(), text, QMessageBox::Ok);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.exec();
}

void TForm1::Timer1Timer() {
    if (setup_.HostLookup->CanSee() && !setup_.HostLookup->Exists(QString::fromUtf16(HostWindowTitle))) {
        lookups_->Stop();
        setup_.Quit();
    }
}

void TForm1::Panel7Click() {
    lookups_->Stop();
    setup_.Quit();
}

void TForm1::Button1Click() {
    // Clicks not yet appended are part of what is cleared; none is appended later.
    lookups_->DropPending();
    browser_->load(QUrl::fromLocalFile(state_.Paths.MapPagePath));
    Change(QStringLiteral("全データ　クリアー"), [this] { ClearAll(state_); });
}

void TForm1::WebBrowser1CommandStateChange(const PageInputs& inputs) {
    // Accepted or refused now, by the readouts as they are; the lookup runs on the worker and
    // the point follows in ClickLookedUp, after the clicks accepted before it.
    if (const std::optional<AcceptedClick> click = AcceptReport(state_.Shown, inputs))
        lookups_->Look(*click, state_.Sources);
    ++reportsHandled_;
    SyncReadouts();
}

void TForm1::ClickLookedUp(const AcceptedClick& click, float elevation) {
    Change(QStringLiteral("地点の追加"), [&] { FinishClick(state_, click, elevation); });
    SyncReadouts();
}

void TForm1::ClickDropped(const AcceptedClick& click) {
    DropClick(state_.Shown, click);
    SyncReadouts();
}

bool TForm1::LookupsPending() const { return lookups_->Pending(); }

void TForm1::InTurn(const std::function<void()>& handler) {
    lookups_->AfterPending([this, handler] { Guard(handler); });
}

void TForm1::Image1MouseMove(int x, int y) {
    HoverChart(state_, image1_->width(), image1_->height(), x, y);
    SyncHover();
}

void TForm1::Image1MouseDown(Qt::MouseButton button) {
    const ChartButton b = button == Qt::LeftButton     ? ChartButton::Left
                          : button == Qt::MiddleButton ? ChartButton::Middle
                                                       : ChartButton::Right;
    // The point is the one under the mouse now; what is done with it waits its turn.
    lookups_->AfterPending([this, click = ClickChart(state_, b)] { ChartClicked(click); });
}

void TForm1::ChartClicked(const ChartClick& click) {
    if (click.kind == ChartClick::AskName) {
        Guard([this, n = click.point] {
            QInputDialog dialog(this);
            dialog.setObjectName(QStringLiteral("NameBox"));
            dialog.setWindowTitle(QString::fromUtf16(NameBoxCaption));
            dialog.setLabelText(QString::fromUtf16(NameBoxPrompt));
            dialog.setTextValue(QString());
            const QString answer = dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
            Change(QStringLiteral("地名の入力"), [&] { NamePoint(state_, n, answer); });
        });
    } else if (click.kind == ChartClick::Recentre) {
        Guard([this, n = click.point] { RecentreMap(n); });
    }
}

void TForm1::RecentreMap(int point) { bridge_->RecentreMap(RecentreScript(state_, point)); }

void TForm1::Button2Click() {
    if (!HasRoute(state_)) return ShowMessage(QString::fromUtf16(session_messages::NoData));
    setup_.Shell->Open(ExportCsv(state_), this, QStringLiteral("OPEN"));
}

void TForm1::Button3Click() {
    if (!HasRoute(state_)) return ShowMessage(QString::fromUtf16(session_messages::NoData));
    QFileDialog dialog(this);
    dialog.setObjectName(QStringLiteral("SaveDialog1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDirectory(HtmlSaveFolder(state_));
    dialog.setNameFilter(QStringLiteral("WEB (*.HTML)"));
    dialog.setDefaultSuffix(QString());
    dialog.selectFile(QString::fromUtf16(HtmlDefaultFileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    ExportHtml(state_, dialog.selectedFiles().first());
    setup_.Shell->Open(state_.Paths.HtmlOutPath, this, QStringLiteral("OPEN"));
}

void TForm1::Button4Click() {
    // On the worker, like the lookups: one download at a time into the one target.
    lookups_->Diagnose(state_.Sources, [this](const QString& text, bool failed) {
        if (failed)
            Guard([&] { throw Failure(text); });
        else
            memo8_->setText(text);
    });
}

QImage TForm1::Snapshot() { return grab().toImage().convertToFormat(QImage::Format_RGB888); }

void TForm1::Button5Click() { setup_.Shell->Open(ExportSnapshot(state_, Snapshot()), nullptr, QString()); }

void TForm1::Button6Click() {
    Change(QStringLiteral("復路"), [this] { ReturnRoute(state_); });
}

void TForm1::Button7Click() {
    Change(QStringLiteral("末尾一点クリア"), [this] { RemoveLast(state_); });
}

void TForm1::SyncReadouts() {
    const Readouts& r = state_.Shown;
    memo1_->setText(r.Memo1);
    memo2_->setText(r.Memo2);
    memo3_->setText(r.Memo3);
    memo4_->setText(r.Memo4);
    memo5_->setText(r.memo5);
    memo6_->setText(r.Memo6);
    memo7_->setText(r.Memo7);
    memo10_->setText(r.Memo10);
    memo11_->setText(r.Memo11);
    edit1_->setText(r.Edit1);
    courseTime_->setText(r.CourseTime);
    courseConstant_->setText(r.CourseConstant);

    // Rows are usually only appended: add the new ones instead of rebuilding the list.
    const int shownRows = listBox1_->count();
    bool onlyAppended = shownRows <= r.ListBox1.size();
    for (int i = shownRows - 1; onlyAppended && i >= 0; --i) onlyAppended = listBox1_->item(i)->text() == r.ListBox1[i];
    if (!onlyAppended) listBox1_->clear();
    if (listBox1_->count() < r.ListBox1.size()) listBox1_->addItems(r.ListBox1.mid(listBox1_->count()));
    if (r.ListBox1TopIndex >= 0 && r.ListBox1TopIndex < listBox1_->count())
        listBox1_->scrollToItem(listBox1_->item(r.ListBox1TopIndex), QAbstractItemView::PositionAtTop);

    // The picture is keyed and handed over only when the chart was drawn anew.
    const QImage chart = state_.Chart.Image();
    if (chart.cacheKey() != shownChart_) {
        shownChart_ = chart.cacheKey();
        if (chart.isNull())
            image1_->clear();
        else
            image1_->setPixmap(TransparentChart(chart));
    }
}

void TForm1::SyncHover() {
    const HoverState& h = state_.Hover;
    memo9_->setText(h.Memo9Text);
    memo9_->move(h.Memo9Left, h.Memo9Top);
    memo9_->setVisible(h.Memo9Visible);
    shape1_->move(h.Shape1Left, h.Shape1Top);
    shape1_->setVisible(h.Shape1Visible);
    memo9_->raise();
    shape1_->raise();
}
