// The baseline of the start-up benchmark: a plain Qt program that shows one
// empty 742 x 390 window, or with HLR_BARE_TEXT set one line of text in it.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.setFixedSize(742, 390);
    // Text makes the baseline load the fonts, as any real window must.
    QLabel text(QStringLiteral("Huellario"), &window);
    text.setVisible(qEnvironmentVariableIsSet("HLR_BARE_TEXT"));
    window.show();
    return QApplication::exec();
}
