#include <QFontInfo>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>

#include "profile/canvas.h"
#include "window_fixture.h"

namespace {

// The width a read-only line edit gives its text: the style's contents rect less the text
// margins and the 2 pixels the edit keeps clear on each side of the line.
int LineRoom(const QLineEdit* edit) {
    QStyleOptionFrame o;
    o.initFrom(edit);
    o.rect = edit->contentsRect();
    o.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &o, edit) : 0;
    o.midLineWidth = 0;
    o.state |= QStyle::State_Sunken | QStyle::State_ReadOnly;
    o.features = QStyleOptionFrame::None;
    const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &o, edit);
    return contents.marginsRemoved(edit->textMargins()).width() - 2 * 2;
}

// The width a push button gives its caption.
int CaptionRoom(const QPushButton* button) {
    QStyleOptionButton o;
    o.initFrom(button);
    o.text = button->text();
    o.features = QStyleOptionButton::None;
    if (button->autoDefault()) o.features |= QStyleOptionButton::AutoDefaultButton;
    if (button->isDefault()) o.features |= QStyleOptionButton::DefaultButton;
    return button->style()->subElementRect(QStyle::SE_PushButtonContents, &o, button).width();
}

using PanelTextTest = WindowTest;

TEST_F(PanelTextTest, TheWindowAndTheChartWriteInThePinnedFace) {
    Open();
    const QString family = QString::fromUtf16(ScreenFontFamily);
    EXPECT_EQ(family, "VL Gothic");
    EXPECT_EQ(QFontInfo(form->font()).family(), family);
    EXPECT_EQ(form->font().pointSize(), 8);
    for (const char* name : {"Memo4", "ListBox1", "Button1"})
        EXPECT_EQ(QFontInfo(form->findChild<QWidget*>(name)->font()).family(), family) << name;
    const QFont chart = form->State().Chart.Font();
    EXPECT_EQ(QFontInfo(chart).family(), family);
    EXPECT_EQ(QFontInfo(chart).pixelSize(), 11);
}

TEST_F(PanelTextTest, LongestTotalAndClearCaptionFitTheirUnchangedControls) {
    Open();
    // A route of 1000 km or more: its total keeps the first digit and is centred, not scrolled.
    auto* memo4 = form->findChild<QLineEdit*>("Memo4");
    EXPECT_EQ(memo4->geometry(), QRect(178, 475, 58, 17));
    const QString total = QStringLiteral("1234.56 Km");
    // The edit's text needs its advance and one pixel for the cursor it never shows.
    EXPECT_LE(QFontMetrics(memo4->font()).horizontalAdvance(total) + 1, LineRoom(memo4));
    // Centring stays centring: the room is taken back equally on both sides.
    EXPECT_EQ(memo4->textMargins().left(), memo4->textMargins().right());

    auto* button1 = form->findChild<QPushButton*>("Button1");
    EXPECT_EQ(button1->geometry(), QRect(328, 475, 96, 22));
    EXPECT_EQ(button1->text(), QStringLiteral("全データ　クリアー"));
    EXPECT_LE(QFontMetrics(button1->font()).horizontalAdvance(button1->text()), CaptionRoom(button1));
    // The tightening is that button's own.
    auto* button7 = form->findChild<QPushButton*>("Button7");
    EXPECT_EQ(button7->font().letterSpacing(), 0);
}

}  // namespace
