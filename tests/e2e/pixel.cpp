// Prints the colour of one pixel of a window's client area as #rrggbb, so an
// end-to-end case can check what a window shows.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fputs("Uso: hlr-e2e-pixel VENTANA X Y\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication application(argc, argv);
    bool ok[3] = {};
    const WId window = QByteArray(argv[1]).toULongLong(&ok[0], 0);
    const int x = QByteArray(argv[2]).toInt(&ok[1]);
    const int y = QByteArray(argv[3]).toInt(&ok[2]);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!ok[0] || !ok[1] || !ok[2] || !screen) {
        std::fputs("Uso: hlr-e2e-pixel VENTANA X Y\n", stderr);
        return 2;
    }
    const QImage pixel = screen->grabWindow(window, x, y, 1, 1).toImage();
    if (pixel.isNull()) {
        std::fputs("No se pudo leer la ventana\n", stderr);
        return 1;
    }
    std::printf("%s\n", qPrintable(pixel.pixelColor(0, 0).name()));
    return 0;
}
