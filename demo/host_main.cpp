// A stand-in for the host application: a window titled "d_Mirevale6". The tool runs while
// it exists and closes itself when it is gone.

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("d_Mirevale6"));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(
        new QLabel(QStringLiteral("デモ用の代替ホストです。\nこのウィンドウを閉じると地図ツールも終了します。")));
    auto* close = new QPushButton(QStringLiteral("ホストを終了"));
    layout->addWidget(close);
    QObject::connect(close, &QPushButton::clicked, &window, &QWidget::close);
    window.move(20, 20);
    window.show();
    return app.exec();
}
