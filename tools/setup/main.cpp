// huellario-setup: installs a new Huellario data folder and registers the
// alias HLR10 for it. Options are read here; the work is in Installer.
#include "CalendarExport.h"
#include "CardPrint.h"
#include "FailureWindow.h"
#include "Importer.h"
#include "Installer.h"
#include "Upgrading.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <cstring>

namespace {

const char* const kHelp
    = R"(Uso: huellario-setup [--dir CARPETA] [--aliases ARCHIVO] [--if-missing] [--ventana]
     huellario-setup --importar CARPETA [--dir CARPETA] [--aliases ARCHIVO] [--ventana]
     huellario-setup --actualizar [--dir CARPETA] [--aliases ARCHIVO]
     huellario-setup --copia [COPIAS] [--dir CARPETA] [--aliases ARCHIVO]
     huellario-setup --restaurar COPIA [--dir CARPETA] [--aliases ARCHIVO]
     huellario-setup --comprobar [--dir CARPETA] [--aliases ARCHIVO]
     huellario-setup --exportar-avisos ARCHIVO.ics [--dir CARPETA] [--aliases ARCHIVO]
     huellario-setup --cartilla CODIGO --pdf ARCHIVO.pdf [--dir CARPETA] [--aliases ARCHIVO]

Instala los datos iniciales de Huellario: crea la carpeta de datos con las
nueve tablas (FICMAES.DB, ESPECIES.db, RAZAS.DB, ALBUM.DB, SANIDAD.db,
VETERIN.DB, VACUNAS.db, AVISOS.DB, INIAVIS.DB), las especies, las razas y
las dos fichas de mascota "0000001" y "0000002", y registra el alias HLR10
apuntando a esa carpeta.

Opciones:
  --dir CARPETA       Carpeta de datos. Por omisión $XDG_DATA_HOME/huellario
                      (o ~/.local/share/huellario).
  --aliases ARCHIVO   Archivo de alias donde se registra HLR10. Por omisión
                      el del programa: $HLR_ALIASES, o si no existe
                      $XDG_CONFIG_HOME/huellario/aliases.conf
                      (o ~/.config/huellario/aliases.conf).
  --if-missing        Si el alias HLR10 ya está registrado y su carpeta tiene
                      las nueve tablas, lo indica y termina sin hacer nada.
                      Si no, instala como siempre: en la carpeta registrada
                      cuando el alias existe, o en la indicada o la de
                      omisión cuando no.
  --importar CARPETA  En lugar de los datos iniciales, importa las nueve
                      tablas Paradox de la versión anterior para Windows
                      (FICMAES.DB ... INIAVIS.DB, con FICMAES.MB) que hay
                      en CARPETA, campo por campo, y dice cuántos registros
                      trae cada una. Escribe en la carpeta de --dir (o la de
                      omisión) y solo entonces registra HLR10. Un archivo
                      dañado o ajeno, o un texto más largo que su campo,
                      se nombra y no se importa nada.
  --actualizar       Pone las tablas de la carpeta de datos (la de --dir, o
                      la que indica HLR10) al formato de esta versión de
                      Huellario. Antes copia la carpeta tal como está en
                      $XDG_DATA_HOME/huellario/copias (o
                      ~/.local/share/huellario/copias). Si se interrumpe, la
                      carpeta queda como estaba o actualizada del todo, y la
                      siguiente ejecución (o Huellario al abrirla) lo termina.
                      No actualiza mientras Huellario tiene la carpeta abierta.
  --copia [COPIAS]    Copia las nueve tablas de la carpeta de datos (la de
                      --dir, o la que indica HLR10) en una carpeta con la
                      fecha y la hora dentro de COPIAS (por omisión
                      $XDG_DATA_HOME/huellario/copias). Cada tabla se copia
                      entera, sin cortar un guardado a medias, aunque
                      Huellario esté abierto, y se comprueba antes de dar la
                      copia por hecha. Se guardan las 10 copias más
                      recientes; las anteriores se borran. Las imágenes del
                      álbum no se copian (son archivos suyos); las que ya no
                      existen se listan en imagenes-que-faltan.txt.
  --restaurar COPIA   Pone la copia COPIA en lugar de la carpeta de datos.
                      Comprueba antes la copia; la carpeta actual no se
                      borra: queda al lado con el nombre
                      CARPETA.antes-de-restaurar-FECHA. El alias no cambia.
                      No restaura mientras Huellario tiene la carpeta
                      abierta. Si se interrumpe, queda la carpeta anterior o
                      la restaurada, nunca una mezcla.
  --comprobar         Comprueba las nueve tablas de la carpeta de datos con
                      la prueba de integridad de SQLite y borra las visitas,
                      cartillas de vacunación y fotografías de mascotas que
                      ya no existen (no las imágenes del disco). No comprueba
                      mientras Huellario tiene la carpeta abierta.
  --exportar-avisos ARCHIVO.ics
                      Escribe los avisos de la carpeta de datos (la de
                      --dir, o la que indica HLR10) en un archivo de
                      calendario iCalendar: un evento de día completo por
                      aviso, del inicio al final, con la descripción como
                      título y las observaciones como notas. Los avisos sin
                      fecha de inicio o de fin no se exportan. Solo lee la
                      carpeta; puede hacerse con Huellario abierto.
  --cartilla CODIGO --pdf ARCHIVO.pdf
                      Escribe en ARCHIVO.pdf la cartilla de vacunación de la
                      mascota de código CODIGO (siete cifras, como 0000001):
                      sus datos, sus vacunas y sus últimas visitas. Solo lee
                      la carpeta; puede hacerse con Huellario abierto.
  --ventana           Si algo falla, muestra el mensaje también en una ventana
                      (la entrada del menú lo usa antes de abrir Huellario).
  -h, --help          Muestra esta ayuda.

Nunca sobrescribe: si alguna de las nueve tablas ya existe en la carpeta,
la nombra y termina con error sin cambiar nada. Si la instalación falla o se
interrumpe (Ctrl-C), borra lo que había creado; lo que deje una ejecución
cortada de golpe lo retira la siguiente.

Códigos de salida: 0 instalado (o ya instalado con --if-missing),
1 tablas ya existentes, 2 opciones incorrectas, 3 error al instalar.
Con --actualizar, 0 actualizada (o nada que actualizar) y 3 no actualizada.
Con --copia, 0 copia hecha y 3 sin copia. Con --restaurar, 0 restaurada,
1 carpeta abierta en Huellario y 3 no restaurada. Con --comprobar, 0 tablas
bien, 1 carpeta abierta en Huellario y 3 una tabla dañada (se nombra).
Con --exportar-avisos y --cartilla, 0 archivo escrito y 3 sin escribir (se
dice por qué).
Con --importar, 3 es también una tabla de origen que falta, está dañada o
no es de la versión anterior.
)";

} // namespace

int main(int argc, char* argv[])
{
    // Looked for before the application object, which depends on them.
    bool window = false;
    bool drawing = false;
    for (int i = 1; i < argc; ++i) {
        window = window || std::strcmp(argv[i], "--ventana") == 0;
        drawing = drawing || std::strncmp(argv[i], "--cartilla", 10) == 0;
    }
    const auto app = setup::makeApplication(argc, argv, window, drawing);
    QTextStream out(stdout);
    setup::ErrorOutput errors;
    QTextStream err(&errors);

    setup::Options options;
    QString importFolder;
    bool upgrading = false;
    bool copying = false;
    QString copiesFolder;
    QString restoreFrom;
    bool checking = false;
    QString calendarFile;
    QString cardCode;
    QString cardFile;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        // "--dir X" and "--dir=X" alike.
        const auto value = [&](const QString& option, QString& target) {
            if (arg == option) {
                if (i + 1 >= args.size() || args[i + 1].isEmpty())
                    return false;
                target = args[++i];
                return true;
            }
            target = arg.mid(option.size() + 1);
            return !target.isEmpty();
        };
        bool ok = true;
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            out << QString::fromUtf8(kHelp);
            return 0;
        } else if (arg == QLatin1String("--if-missing")) {
            options.ifMissing = true;
        } else if (arg == QLatin1String("--actualizar")) {
            upgrading = true;
        } else if (arg == QLatin1String("--copia") || arg.startsWith(QLatin1String("--copia="))) {
            // The folder of copies is optional: "--copia", "--copia X", "--copia=X".
            copying = true;
            if (arg != QLatin1String("--copia"))
                ok = value(QStringLiteral("--copia"), copiesFolder);
            else if (i + 1 < args.size() && !args[i + 1].startsWith(QLatin1String("--")))
                copiesFolder = args[++i];
        } else if (arg == QLatin1String("--comprobar")) {
            checking = true;
        } else if (arg == QLatin1String("--restaurar") || arg.startsWith(QLatin1String("--restaurar="))) {
            ok = value(QStringLiteral("--restaurar"), restoreFrom);
        } else if (arg == QLatin1String("--exportar-avisos")
            || arg.startsWith(QLatin1String("--exportar-avisos="))) {
            ok = value(QStringLiteral("--exportar-avisos"), calendarFile);
        } else if (arg == QLatin1String("--cartilla") || arg.startsWith(QLatin1String("--cartilla="))) {
            ok = value(QStringLiteral("--cartilla"), cardCode);
        } else if (arg == QLatin1String("--pdf") || arg.startsWith(QLatin1String("--pdf="))) {
            ok = value(QStringLiteral("--pdf"), cardFile);
        } else if (arg == QLatin1String("--ventana")) {
            // Taken into account before the application object was made.
        } else if (arg == QLatin1String("--dir") || arg.startsWith(QLatin1String("--dir="))) {
            ok = value(QStringLiteral("--dir"), options.folder);
        } else if (arg == QLatin1String("--aliases") || arg.startsWith(QLatin1String("--aliases="))) {
            ok = value(QStringLiteral("--aliases"), options.aliasFile);
        } else if (arg == QLatin1String("--importar") || arg.startsWith(QLatin1String("--importar="))) {
            ok = value(QStringLiteral("--importar"), importFolder);
        } else {
            err << "Opción desconocida: " << arg << Qt::endl
                << "Use --help para ver las opciones." << Qt::endl;
            return setup::Usage;
        }
        if (!ok) {
            err << "Falta el valor de " << arg.section(QLatin1Char('='), 0, 0) << "." << Qt::endl
                << "Use --help para ver las opciones." << Qt::endl;
            return setup::Usage;
        }
    }
    if (int(upgrading) + int(copying) + int(checking) + int(!restoreFrom.isEmpty())
            + int(!importFolder.isEmpty()) + int(!calendarFile.isEmpty()) + int(!cardCode.isEmpty())
        > 1) {
        err << "--actualizar, --copia, --restaurar, --comprobar, --importar, --exportar-avisos y --cartilla "
               "no se "
               "pueden combinar."
            << Qt::endl
            << "Use --help para ver las opciones." << Qt::endl;
        return setup::Usage;
    }
    if ((copying || checking || !restoreFrom.isEmpty() || !calendarFile.isEmpty() || !cardCode.isEmpty())
        && options.ifMissing) {
        err << "--copia, --restaurar, --comprobar, --exportar-avisos y --cartilla no se pueden combinar con "
               "--if-missing."
            << Qt::endl
            << "Use --help para ver las opciones." << Qt::endl;
        return setup::Usage;
    }
    if (cardCode.isEmpty() != cardFile.isEmpty()) {
        err << "--cartilla y --pdf van juntas: la mascota y el archivo donde escribir su cartilla."
            << Qt::endl
            << "Use --help para ver las opciones." << Qt::endl;
        return setup::Usage;
    }
    if (!cardCode.isEmpty())
        return setup::reportFailure(
            window, setup::printCard(options, cardCode, cardFile, out, err), errors.text());
    if (!calendarFile.isEmpty())
        return setup::reportFailure(
            window, setup::exportReminders(options, calendarFile, out, err), errors.text());
    if (checking)
        return setup::reportFailure(window, setup::checkData(options, out, err), errors.text());
    if (copying)
        return setup::reportFailure(window, setup::copyData(options, copiesFolder, out, err), errors.text());
    if (!restoreFrom.isEmpty())
        return setup::reportFailure(
            window, setup::restoreData(options, restoreFrom, out, err), errors.text());
    if (upgrading) {
        if (options.ifMissing || !importFolder.isEmpty()) {
            err << "--actualizar no se puede combinar con --if-missing ni con --importar." << Qt::endl
                << "Use --help para ver las opciones." << Qt::endl;
            return setup::Usage;
        }
        return setup::reportFailure(window, setup::upgrade(options, out, err), errors.text());
    }
    if (!importFolder.isEmpty()) {
        if (options.ifMissing) {
            err << "--importar no se puede combinar con --if-missing." << Qt::endl
                << "Use --help para ver las opciones." << Qt::endl;
            return setup::Usage;
        }
        const int code = setup::importTables(importFolder, options, out, err);
        return setup::reportFailure(window, code, errors.text());
    }
    const int code = setup::install(options, out, err);
    return setup::reportFailure(window, code, errors.text());
}
