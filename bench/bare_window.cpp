// The start-up baseline: a bare Qt window of the main window's size and flags, with nothing in it. With --text it
// also shows one line of the window's Chinese text, so that the cost of loading the CJK fonts can be told apart
// from the program's own.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(1200, 750);
    window.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
    window.setAttribute(Qt::WA_TranslucentBackground);
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0) {
        auto *line = new QLabel(QStringLiteral("恢复默认设置"), &window);
        line->setStyleSheet(QStringLiteral("font-size:12px;color:white"));
        line->move(40, 30);
    }
    window.show();
    return app.exec();
}
