#include <unistd.h>
#include <QApplication>
#include <QMessageBox>

#include "app/main_window.h"
#include "format/failure.h"

int main(int argc, char** argv) {
    // The embedded browser's process runs without a sandbox when started as root.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The map page's browser is composed into the window by Qt Quick. With its software renderer
    // an update of the side panel repaints what changed; through OpenGL every update composes
    // the whole window again, which made each map click wait a frame or two for it.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")) qputenv("QT_QUICK_BACKEND", "software");
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("mirevale-map"));
    app.setApplicationDisplayName(QString::fromUtf16(ApplicationTitle));
    try {
        TForm1 form;
        form.showMaximized();
        return app.exec();
    } catch (const Failure& f) {
        QMessageBox::critical(nullptr, QString::fromUtf16(ApplicationTitle), f.text());
        return 1;
    }
}
