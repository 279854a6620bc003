// The start-up baseline: a bare Qt window of the main window's size and flags, with nothing in it.
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(1200, 750);
    window.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
    window.setAttribute(Qt::WA_TranslucentBackground);
    window.show();
    return app.exec();
}
