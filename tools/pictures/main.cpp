// Draws the main window's logo at build time into the form the program keeps
// in its resources, so start-up copies finished pixels instead of laying out
// large text. Usage: huellario-pictures FILE
#include "app/MainPictures.h"
#include "controls/Fonts.h"

#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fputs("Uso: huellario-pictures FICHERO\n", stderr);
        return 2;
    }
    // The faces the program itself asks for.
    controls::installFontSubstitutions();
    QSaveFile file(args[1]);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(app::pictures::rawPicture(app::pictures::drawLogo())) < 0 || !file.commit()) {
        std::fprintf(
            stderr, "No se pudo escribir %s: %s\n", qPrintable(args[1]), qPrintable(file.errorString()));
        return 1;
    }
    return 0;
}
