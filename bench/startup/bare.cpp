// The baseline of the start-up benchmark: a plain Qt program that shows one
// empty 742 x 390 window.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.setFixedSize(742, 390);
    window.show();
    return QApplication::exec();
}
