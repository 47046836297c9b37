#include <QFileDialog>
#include <QImageReader>
#include <QLineEdit>

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
    OnePoint();
    Press("Button2");
    const QString path = MyData() + QStringLiteral("高低図.csv");
    ASSERT_EQ(shellCalls.size(), 1u);
    EXPECT_EQ(shellCalls[0].path, path);
    EXPECT_EQ(shellCalls[0].owner, form.get());
    EXPECT_EQ(shellCalls[0].verb, "OPEN");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("\r\n1,35.6812362670898,139.767120361328,40,0,\r\n"));
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

TEST_F(ExportsWindowTest, SnapshotOfTheWholeClientArea) {
    Open();  // no route needed
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
    // The exit panel's red shows where it stands on screen.
    const QWidget* panel7 = form->findChild<QWidget*>("Panel7");
    const QPoint centre = panel7->mapTo(form.get(), panel7->rect().center() + QPoint(-40, 0));
    const QColor c = picture.pixelColor(centre);
    EXPECT_GT(c.red(), 200);
    EXPECT_LT(c.green(), 60);
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
