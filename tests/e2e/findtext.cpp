// Finds texts on a window as the screen shows them, without reading the
// program's memory or its accessibility tree: each text is drawn with the
// desktop's default font on this same display, reduced to ink and paper,
// and looked for in the window's pixels reduced the same way. Prints, for
// each text, the positions "x,y" where it shows (top-left of its ink), one
// line per text, "-" when it shows nowhere.
//   hlr-e2e-findtext [--font=FAMILIA:PÍXELES] VENTANA TEXTO...
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

struct Ink {
    int width = 0;
    int height = 0;
    std::vector<char> dark;
    bool at(int x, int y) const { return dark[size_t(y) * size_t(width) + size_t(x)] != 0; }
};

// Dark text on a light ground, whatever the ground's shade or gradient.
Ink inkOf(const QImage& image)
{
    Ink ink { image.width(), image.height(), {} };
    ink.dark.resize(size_t(ink.width) * size_t(ink.height));
    for (int y = 0; y < ink.height; ++y)
        for (int x = 0; x < ink.width; ++x)
            ink.dark[size_t(y) * size_t(ink.width) + size_t(x)] = qGray(image.pixel(x, y)) < 110;
    return ink;
}

// The text's ink, cropped to the pixels it inks.
Ink textInk(const QString& text, const QFont& font)
{
    const QFontMetrics metrics(font);
    QImage image(metrics.horizontalAdvance(text) + 8, metrics.height() + 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(4, 4 + metrics.ascent(), text);
    }
    const Ink all = inkOf(image);
    int left = all.width, top = all.height, right = -1, bottom = -1;
    for (int y = 0; y < all.height; ++y)
        for (int x = 0; x < all.width; ++x)
            if (all.at(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < 0)
        return {};
    return inkOf(image.copy(left, top, right - left + 1, bottom - top + 1));
}

} // namespace

int main(int argc, char** argv)
{
    // --font=FAMILY:PIXELS: the texts as a window that sets its own font draws them.
    QString fontSpec;
    if (argc > 1 && std::strncmp(argv[1], "--font=", 7) == 0) {
        fontSpec = QString::fromUtf8(argv[1] + 7);
        --argc;
        ++argv;
    }
    if (argc < 3) {
        std::fputs("Uso: hlr-e2e-findtext [--font=FAMILIA:PÍXELES] VENTANA TEXTO...\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication application(argc, argv);
    QFont font = QGuiApplication::font();
    if (!fontSpec.isEmpty()) {
        font = QFont(fontSpec.section(QLatin1Char(':'), 0, 0));
        font.setPixelSize(fontSpec.section(QLatin1Char(':'), 1).toInt());
    }
    bool ok = false;
    const WId window = QByteArray(argv[1]).toULongLong(&ok, 0);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!ok || !screen) {
        std::fputs("Uso: hlr-e2e-findtext VENTANA TEXTO...\n", stderr);
        return 2;
    }
    const QImage shot = screen->grabWindow(window).toImage();
    if (shot.isNull()) {
        std::fputs("No se pudo leer la ventana\n", stderr);
        return 1;
    }
    const Ink screenInk = inkOf(shot);
    for (int i = 2; i < argc; ++i) {
        const Ink text = textInk(QString::fromUtf8(argv[i]), font);
        QStringList found;
        // Antialiased edges may fall either way: a few pixels in twenty may differ.
        const int allowed = text.width * text.height / 20;
        for (int y = 0; text.width > 0 && y + text.height <= screenInk.height; ++y)
            for (int x = 0; x + text.width <= screenInk.width; ++x) {
                int wrong = 0;
                for (int ty = 0; ty < text.height && wrong <= allowed; ++ty)
                    for (int tx = 0; tx < text.width; ++tx)
                        wrong += screenInk.at(x + tx, y + ty) != text.at(tx, ty);
                if (wrong <= allowed)
                    found << QStringLiteral("%1,%2").arg(x).arg(y);
            }
        std::printf("%s\n", found.isEmpty() ? "-" : qPrintable(found.join(QLatin1Char(' '))));
    }
    return 0;
}
