// Renders the scalable icon at the fixed sizes the desktop's icon theme
// looks for, since some menus and docks read only PNG icons.
// Usage: huellario-icons ICON.svg OUTPUT_FOLDER SIZE...
// writes OUTPUT_FOLDER/SIZExSIZE/apps/<name of ICON>.png for each size.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QGuiApplication application(argc, argv);
    QTextStream err(stderr);
    const QStringList args = application.arguments();
    if (args.size() < 4) {
        err << "uso: huellario-icons ICONO.svg CARPETA TAMAÑO...\n";
        return 2;
    }
    QSvgRenderer svg(args[1]);
    if (!svg.isValid()) {
        err << "no se puede leer el icono " << args[1] << "\n";
        return 1;
    }
    const QString name = QFileInfo(args[1]).completeBaseName();
    for (const QString& arg : args.mid(3)) {
        bool ok = false;
        const int size = arg.toInt(&ok);
        if (!ok || size <= 0 || size > 1024) {
            err << "tamaño no válido: " << arg << "\n";
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            svg.render(&painter, QRectF(0, 0, size, size));
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args[2]).arg(size);
        const QString file = QStringLiteral("%1/%2.png").arg(folder, name);
        if (!QDir().mkpath(folder) || !image.save(file, "PNG")) {
            err << "no se puede escribir " << file << "\n";
            return 1;
        }
    }
    return 0;
}
