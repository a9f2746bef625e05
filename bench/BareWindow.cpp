// The yardstick for the splash: a bare Qt window of the splash's size and
// frame, started the same way, doing nothing else.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.resize(465, 122);
    window.show();
    return QApplication::exec();
}
