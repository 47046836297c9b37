#include <QFileDialog>
#include <QImageReader>
#include <QLineEdit>

#include "export/csv_export.h"
#include "export/text_file_writer.h"
#include "window_fixture.h"

namespace {

struct ExportsWindowTest : WindowTest {
    QString MyData() { return root + QStringLiteral("マイデータ/"); }
    void OnePoint() {
        Open();
        ClickPage("35.681236", "139.767125");
        ASSERT_TRUE(WaitFor([&] { return Points() == 1; }));
    }
    /// presses the button expecting a message box; returns its text and icon
    std::pair<QString, QMessageBox::Icon> PressForBox(const char* button) {
        std::pair<QString, QMessageBox::Icon> seen{"<none>", QMessageBox::NoIcon};
        WhenShown<QMessageBox>([&](QMessageBox* box) {
            seen = {box->text(), box->icon()};
            EXPECT_EQ(box->windowTitle(), QStringLiteral("d_Mirevale6 MAP"));
            box->accept();
        });
        Press(button);
        WaitFor([&] { return seen.first != "<none>"; }, 5000);
        return seen;
    }
};

TEST_F(ExportsWindowTest, AnEmptyRouteOnlyGivesTheMessage) {
    Open();
    QFile old(MyData() + QStringLiteral("高低図.csv"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    for (const char* button : {"Button2", "Button3"}) {
        const auto [text, icon] = PressForBox(button);
        EXPECT_EQ(text, QStringLiteral("データがありません")) << button;
        EXPECT_EQ(icon, QMessageBox::NoIcon) << button;
    }
    QFile again(MyData() + QStringLiteral("高低図.csv"));
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), "old");
    EXPECT_TRUE(shellCalls.empty());
}

TEST_F(ExportsWindowTest, CsvIsWrittenAndOpened) {
    ThreePoints();
    Press("Button2");
    const QString path = MyData() + QStringLiteral("高低図.csv");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QStringList lines = RouteCsvLines(form->State().Table, form->State().Stats, path);
        EXPECT_EQ(f.readAll(), ToAnsi(lines.join("\r\n") + "\r\n"));
        EXPECT_EQ(lines.size(), 9);
    }
    ASSERT_EQ(shellCalls.size(), 1u);
    EXPECT_EQ(shellCalls[0].path, path);
    EXPECT_EQ(shellCalls[0].owner, form.get());
    EXPECT_EQ(shellCalls[0].verb, "OPEN");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("\r\n1,35,139,100,0,\r\n"));
}

TEST_F(ExportsWindowTest, HtmlGoesWhereTheSaveDialogSays) {
    OnePoint();
    QString folder, file, filters, suffix;
    bool confirms = true;
    WhenShown<QFileDialog>([&](QFileDialog* d) {
        folder = d->directory().absolutePath() + "/";
        file = d->findChild<QLineEdit*>("fileNameEdit")->text();
        filters = d->nameFilters().join("|");
        suffix = d->defaultSuffix();
        confirms = !d->testOption(QFileDialog::DontConfirmOverwrite);
        d->findChild<QLineEdit*>("fileNameEdit")->setText("route");  // no extension: stays so
        QMetaObject::invokeMethod(d, "accept");
    });
    Press("Button3");
    ASSERT_TRUE(WaitFor([&] { return !shellCalls.empty(); }, 10000));
    EXPECT_EQ(folder, MyData());
    EXPECT_EQ(file, QStringLiteral("行程図.html"));
    EXPECT_EQ(filters, "WEB (*.HTML)");
    EXPECT_EQ(suffix, "");
    EXPECT_FALSE(confirms);
    EXPECT_EQ(shellCalls[0].path, MyData() + "route");
    EXPECT_EQ(form->Paths().HtmlOutPath, MyData() + "route");
    EXPECT_EQ(shellCalls[0].verb, "OPEN");
    EXPECT_TRUE(QFile::exists(MyData() + "route"));

    // Cancel: nothing written, the path kept.
    WhenShown<QFileDialog>([](QFileDialog* d) { QMetaObject::invokeMethod(d, "reject"); });
    Press("Button3");
    QTest::qWait(300);
    EXPECT_EQ(shellCalls.size(), 1u);
    EXPECT_EQ(form->Paths().HtmlOutPath, MyData() + "route");
}

TEST_F(ExportsWindowTest, SnapshotWithAnEmptyRoute) {
    Open();
    Press("Button5");
    ASSERT_EQ(shellCalls.size(), 1u);
    EXPECT_EQ(QImageReader(shellCalls[0].path).size(), form->size());
}

TEST_F(ExportsWindowTest, SnapshotOfTheWholeClientArea) {
    ThreePoints();
    Press("Button5");
    const QString path = MyData() + QStringLiteral("高低図.jpg");
    ASSERT_EQ(shellCalls.size(), 1u);
    EXPECT_EQ(shellCalls[0].path, path);
    EXPECT_EQ(shellCalls[0].owner, nullptr);
    EXPECT_EQ(shellCalls[0].verb, "");
    QImageReader reader(path);
    EXPECT_EQ(reader.format(), "jpeg");
    const QImage picture = reader.read();
    EXPECT_EQ(picture.size(), form->size());
    // Regions match what the window shows, within JPEG loss: the crosshair's red bar, the red
    // exit panel's edge, the chart's light-blue plot area.
    const QImage screen = form->Snapshot();
    auto at = [&](const char* name, QPoint offset) {
        const QWidget* w = form->findChild<QWidget*>(name);
        return w->mapTo(form.get(), offset);
    };
    const QPoint probes[] = {at("Panel3", {1, 20}), at("Panel7", {4, 12}), at("Image1", {60, 35})};
    for (const QPoint& p : probes) {
        const QColor want = screen.pixelColor(p), got = picture.pixelColor(p);
        EXPECT_NEAR(got.red(), want.red(), 40) << p.x() << "," << p.y();
        EXPECT_NEAR(got.green(), want.green(), 40) << p.x() << "," << p.y();
        EXPECT_NEAR(got.blue(), want.blue(), 40) << p.x() << "," << p.y();
    }
    EXPECT_EQ(screen.pixelColor(probes[0]), QColor(255, 0, 0));
    EXPECT_EQ(screen.pixelColor(probes[2]), QColor(100, 200, 255));
}

TEST_F(ExportsWindowTest, AMissingOutputFolderGivesTheErrorBox) {
    OnePoint();
    QDir(MyData()).removeRecursively();
    for (const char* button : {"Button2", "Button5"}) {
        const auto [text, icon] = PressForBox(button);
        EXPECT_TRUE(text.contains(MyData())) << button << ": " << text.toStdString();
        EXPECT_EQ(icon, QMessageBox::Critical) << button;
    }
    EXPECT_TRUE(shellCalls.empty());
    EXPECT_TRUE(form->isVisible());
}

}  // namespace
