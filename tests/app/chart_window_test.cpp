#include <QInputDialog>
#include <QLabel>

#include "format/number_text.h"
#include "window_fixture.h"

namespace {

struct ChartWindowTest : WindowTest {
    QWidget* Image1() { return form->findChild<QWidget*>("Image1"); }
    QWidget* Memo9() { return form->findChild<QWidget*>("Memo9"); }
    QWidget* Shape1() { return form->findChild<QWidget*>("Shape1"); }

    void MoveMouse(int x, int y) {
        QTest::mouseMove(Image1(), QPoint(x, y));
        QTest::qWait(30);
    }
};

TEST_F(ChartWindowTest, HoverShowsTheTooltipAndMarkerInsideTheMargins) {
    ThreePoints();
    EXPECT_EQ(Image1()->size(), QSize(427, 394));
    const auto& t = form->State().Table;
    const auto& drawn = form->State().Drawn;
    EXPECT_EQ(drawn.ChartX[1], 40);
    EXPECT_EQ(drawn.ChartX[3], 412);

    const struct {
        int x, y;
        bool shown;
    } edges[] = {{33, 100, false}, {34, 100, true}, {418, 100, true}, {419, 100, false},
                 {200, 29, false}, {200, 30, true}, {200, 293, true}, {200, 294, false}};
    for (const auto& e : edges) {
        MoveMouse(e.x, e.y);
        EXPECT_EQ(Memo9()->isVisible(), e.shown) << e.x << "," << e.y;
        EXPECT_EQ(Shape1()->isVisible(), e.shown) << e.x << "," << e.y;
    }

    MoveMouse(drawn.ChartX[2] - 3, 100);
    EXPECT_EQ(form->State().Hover.HoverIndex, 2);
    EXPECT_EQ(qobject_cast<QLabel*>(Memo9())->text(),
              QStringLiteral("(N0.2)  \r\n%1 Km  標高：250 m\r\n(左クリックで地名記入）\r\n（右クリックで地図移動）")
                  .arg(PatternFormat(t.CumulativeKm[2])));
    EXPECT_EQ(Memo9()->pos(), QPoint(drawn.ChartX[2] - 65, 130));
    EXPECT_EQ(Shape1()->pos(), QPoint(drawn.ChartX[2] - 3, drawn.ChartY[2] - 3));
    MoveMouse(36, 100);
    EXPECT_EQ(Memo9()->pos().x(), 10);
    MoveMouse(418, 100);
    EXPECT_EQ(Memo9()->pos().x(), 297);
}

TEST_F(ChartWindowTest, ALeftClickNamesThePointThroughTheInputBox) {
    ThreePoints();
    MoveMouse(form->State().Drawn.ChartX[2], 100);
    QString caption, prompt, preset = "unset";
    WhenShown<QInputDialog>([&](QInputDialog* box) {
        caption = box->windowTitle();
        prompt = box->labelText();
        preset = box->textValue();
        box->setTextValue(QStringLiteral("峠ー1"));
        box->accept();
    });
    QTest::mouseClick(Image1(), Qt::LeftButton, {}, QPoint(form->State().Drawn.ChartX[2], 100));
    ASSERT_TRUE(WaitFor([&] { return form->State().Table.PointName[2] == QStringLiteral("峠ー1"); }));
    EXPECT_EQ(caption, QStringLiteral("地名の入力"));
    EXPECT_EQ(prompt, QStringLiteral("地名："));
    EXPECT_EQ(preset, "");
    EXPECT_TRUE(Rows()[1].endsWith(QStringLiteral("\t峠ー1")));
    int drawn = 0;
    for (const auto& text : form->Chart().Texts()) drawn += text.text == QStringLiteral("｜");
    EXPECT_EQ(drawn, 2);  // the long dash, once per pass

    // Cancel clears the name, and the list and chart follow.
    WhenShown<QInputDialog>([](QInputDialog* box) { box->reject(); });
    QTest::mouseClick(Image1(), Qt::LeftButton, {}, QPoint(form->State().Drawn.ChartX[2], 100));
    ASSERT_TRUE(WaitFor([&] { return form->State().Table.PointName[2].isEmpty(); }));
    EXPECT_TRUE(Rows()[1].endsWith("\t"));
    for (const auto& text : form->Chart().Texts()) EXPECT_NE(text.text, QStringLiteral("峠"));
}

TEST_F(ChartWindowTest, RightAndMiddleClicksRecentreTheMap) {
    ThreePoints();
    MoveMouse(form->State().Drawn.ChartX[3], 100);
    QTest::mouseClick(Image1(), Qt::RightButton, {}, QPoint(form->State().Drawn.ChartX[3], 100));
    QTest::mouseClick(Image1(), Qt::MiddleButton, {}, QPoint(form->State().Drawn.ChartX[3], 100));
    ASSERT_TRUE(WaitFor([&] { return Js("recentred.length").toInt() == 2; }));
    EXPECT_EQ(Js("recentred[0]").toString(), "35.0224990844727,139");
    EXPECT_EQ(Points(), 3);

    // After the margins (no hovered point), a click does nothing.
    MoveMouse(10, 100);
    QTest::mouseClick(Image1(), Qt::RightButton, {}, QPoint(10, 100));
    QTest::qWait(300);
    EXPECT_EQ(Js("recentred.length").toInt(), 2);
}

TEST_F(ChartWindowTest, ReturnRouteAndRemoveLastPoint) {
    ThreePoints();
    Press("Button6");
    EXPECT_EQ(Points(), 5);
    EXPECT_EQ(Rows().size(), 5);
    EXPECT_TRUE(Rows()[4].startsWith("  5\t"));
    EXPECT_EQ(Text("Memo3"), "5");
    // +150 -70 out, +70 -150 back.
    EXPECT_EQ(Text("Memo10"), "220");
    EXPECT_EQ(Text("Memo11"), "-220");
    EXPECT_EQ(form->State().Drawn.ChartX[5], 412);
    EXPECT_FALSE(Text("Memo4").endsWith("Km"));

    EXPECT_FALSE(form->findChild<QWidget*>("Button7")->isVisible());
    Press("Button7");
    EXPECT_EQ(Points(), 4);
    EXPECT_EQ(Rows().size(), 4);
    EXPECT_EQ(Text("Memo3"), "4");
}

}  // namespace
