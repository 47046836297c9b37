#include <QLabel>

#include "format/number_text.h"
#include "window_fixture.h"

namespace {

TEST_F(WindowTest, ClickingTheMapAppendsPoints) {
    Open();
    EXPECT_EQ(Points(), 0);
    ClickPage("35.681236", "139.767125");
    ASSERT_TRUE(WaitFor([&] { return Points() == 1; }));
    EXPECT_EQ(Text("Memo1"), "35.6812");
    EXPECT_EQ(Text("Memo2"), "139.7671");
    EXPECT_EQ(Text("Edit1"), "40 m");
    EXPECT_EQ(Text("Memo3"), "1");
    EXPECT_EQ(Rows(), QStringList{"  1\t-\t40\t-"});
    EXPECT_EQ(form->State().Table.Lat[1], 35.681236f);
    EXPECT_TRUE(form->Chart().IsEmpty());  // one point draws no chart

    // The same position reported again appends nothing.
    SetInputsAndWait(
        "document.getElementById('lat').value = '35.681239'; document.getElementById('lng').value = '139.767128';");
    EXPECT_EQ(Points(), 1);

    // Only the longitude's first 8 characters change: appended.
    Serve(35.681236f, 139.7681f, "52");
    ClickPage("35.681236", "139.7681");
    ASSERT_TRUE(WaitFor([&] { return Points() == 2; }));
    EXPECT_EQ(Text("Edit1"), "52 m");
    EXPECT_EQ(Rows().size(), 2);
    EXPECT_FALSE(form->Chart().IsEmpty());
    EXPECT_NE(form->findChild<QLabel*>("Image1")->pixmap().isNull(), true);
    EXPECT_EQ(Text("Memo10"), "12");
}

TEST_F(WindowTest, AFieldThatDoesNotParseDoesNotLoseTheClick) {
    Open();
    SetInputs("document.getElementById('zoomLevel').value = 'abc';");
    ClickPageAndWait("35.681236", "139.767125");
    EXPECT_EQ(Points(), 0);
    EXPECT_EQ(Text("Memo1"), "");  // put back, so the same position counts later
    SetInputs("document.getElementById('zoomLevel').value = '15';");
    ASSERT_TRUE(WaitFor([&] { return Points() == 1; }));
    EXPECT_EQ(Text("Memo1"), "35.6812");
}

TEST_F(WindowTest, TheLaterOfTwoMatchingInputsWins) {
    QString page = QString::fromUtf8(ContractPage);
    page.replace("<input id=\"zoomLevel\"", "<input id=\"LAT\" value=\"\"><input id=\"zoomLevel\"");
    page.replace("document.getElementById('lat').value = nextLat;",
                 "document.getElementById('lat').value = '10.000000'; document.getElementById('LAT').value = nextLat;");
    Open(page);
    ClickPage("35.681236", "139.767125");
    ASSERT_TRUE(WaitFor([&] { return Points() == 1; }));
    EXPECT_EQ(Text("Memo1"), "35.6812");
}

TEST_F(WindowTest, APrefilledPageAddsItsPointAfterLoadAndAfterClearAll) {
    QString page = QString::fromUtf8(ContractPage);
    page.replace("<input id=\"lat\" value=\"\"><input id=\"lng\" value=\"\">",
                 "<input id=\"lat\" value=\"35.681236\"><input id=\"lng\" value=\"139.767125\">");
    Open(page);
    ASSERT_TRUE(WaitFor([&] { return Points() == 1; }));
    SetInputsAndWait("document.getElementById('clat').value = '35.5';");  // reported again
    EXPECT_EQ(Points(), 1);
    Press("Button1");
    EXPECT_EQ(Points(), 0);
    ASSERT_TRUE(WaitFor([&] { return Points() == 1; }));
    EXPECT_EQ(Text("Memo2"), "139.7671");
}

TEST_F(WindowTest, OfflineClicksTakeTheMeshValueAndAMissingMeshGivesZero) {
    Open();
    ClickPage("36.5", "138.5");  // no tile served there, no mesh file: -1999 stored as 0
    ASSERT_TRUE(WaitFor([&] { return Points() == 1; }));
    EXPECT_EQ(Text("Edit1"), "0 m");
}

TEST_F(WindowTest, RecentringRunsGotoLatLngWithTheGeneralFormat) {
    Open();
    ClickPage("35.68123", "139.76712");
    ASSERT_TRUE(WaitFor([&] { return Points() == 1; }));
    form->RecentreMap(1);
    EXPECT_EQ(Js("recentred.join(';')").toString(), "35.6812286376953,139.767120361328");
    Press("Button1");  // the page handle stays valid across reloads
    ASSERT_TRUE(WaitForLoad());
    form->State().Table.PointCount = 1;  // recentring on a stored point of the cleared route
    form->RecentreMap(1);
    EXPECT_EQ(Js("recentred.join(';')").toString(), "35.6812286376953,139.767120361328");
}

TEST_F(WindowTest, APageWithoutGotoLatLngGivesTheErrorBox) {
    QString page = QString::fromUtf8(ContractPage);
    page.replace("function GotoLatLng(lat, lng) { recentred.push(lat + ',' + lng); }", "");
    Open(page);
    ClickPage("35.681236", "139.767125");
    ASSERT_TRUE(WaitFor([&] { return Points() == 1; }));
    // A right click on the hovered point of the chart, through the window's own handlers.
    form->State().Drawn = {{0, 40}, {0, 0}};
    form->Image1MouseMove(40, 100);
    QString shown;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenShown<QMessageBox>([&](QMessageBox* box) {
        shown = box->text();
        icon = box->icon();
        box->accept();
    });
    form->Image1MouseDown(Qt::RightButton);
    EXPECT_TRUE(shown.contains("GotoLatLng")) << shown.toStdString();
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_TRUE(form->isVisible());
}

TEST_F(WindowTest, CourseReadoutsAppearWithTheFirstLegAndGoWithClearAll) {
    ThreePoints();
    EXPECT_EQ(Text("CourseTime"), form->State().Shown.CourseTime);
    EXPECT_FALSE(Text("CourseTime").isEmpty());
    EXPECT_FALSE(Text("CourseConstant").isEmpty());
    Press("Button1");
    EXPECT_EQ(Text("CourseTime"), "");
    EXPECT_EQ(Text("CourseConstant"), "");
}

TEST_F(WindowTest, CourseReadoutsCoverNoOtherControl) {
    Open();
    auto* panel = form->findChild<QWidget*>("Panel1");
    QList<QWidget*> visible;
    for (QWidget* w : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->isVisible()) visible << w;
    for (const char* name : {"CourseTime", "CourseConstant"}) {
        QWidget* readout = form->findChild<QWidget*>(name);
        ASSERT_TRUE(readout && readout->isVisible()) << name;
        for (QWidget* other : visible) {
            if (other == readout) continue;
            EXPECT_FALSE(readout->geometry().intersects(other->geometry()))
                << name << " overlaps " << other->objectName().toStdString() << " " << other->metaObject()->className();
        }
    }
    // Their headings fit before the readouts.
    for (QLabel* label : panel->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (label->text() == "コースタイム" || label->text() == "コース定数") EXPECT_LE(label->geometry().right(), 235);
}

}  // namespace
