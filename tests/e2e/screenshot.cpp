// Saves a picture of the whole X screen to the file given: the end-to-end
// cases keep one when they fail (there is no xwd here).
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("Uso: hlr-e2e-screenshot ARCHIVO.png\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication application(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || !screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "No se pudo guardar la captura en %s\n", argv[1]);
        return 1;
    }
    return 0;
}
