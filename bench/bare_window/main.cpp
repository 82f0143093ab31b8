// The reference of the start-up figure: the least a Qt Widgets program does to show a window.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.setCentralWidget(new QLabel(QStringLiteral("身長体重"), &window));
    window.resize(640, 480);
    window.show();
    return app.exec();
}
