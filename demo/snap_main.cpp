// Saves a picture of one X11 window (by id) as PNG: the demo's screenshot without a desktop.

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <window id> <out.png>\n", argv[0]);
        return 2;
    }
    const WId window = static_cast<WId>(std::strtoull(argv[1], nullptr, 0));
    const QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(window);
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "could not save %s\n", argv[2]);
        return 1;
    }
    return 0;
}
