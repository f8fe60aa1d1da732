#include "AliasRegistry.h"

#include "EngineError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <fcntl.h>
#include <unistd.h>

namespace engine {

namespace {

// The file is read by hand rather than through QSettings, so a path with a
// comma or a percent sign comes back exactly as written. Lines stay bytes, so
// a rewrite keeps every other line as it was, whatever its encoding.
QByteArray readFile(const QString& file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

// One line as text, without the carriage return of a CRLF file.
QString textOf(QByteArray line)
{
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

bool isSection(const QString& line, QString* name = nullptr)
{
    const QString t = line.trimmed();
    if (t.size() < 2 || !t.startsWith(QLatin1Char('[')) || !t.endsWith(QLatin1Char(']')))
        return false;
    if (name)
        *name = t.mid(1, t.size() - 2).trimmed();
    return true;
}

bool isPathKey(const QString& line, QString* value = nullptr)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0 || line.left(eq).trimmed().compare(QLatin1String("path"), Qt::CaseInsensitive) != 0)
        return false;
    if (value)
        *value = line.mid(eq + 1).trimmed();
    return true;
}

std::optional<QString> folderIn(const QByteArray& contents, const QString& alias)
{
    bool inSection = false;
    for (const QByteArray& raw : contents.split('\n')) {
        const QString line = textOf(raw);
        QString section;
        QString value;
        if (isSection(line, &section))
            inSection = section.compare(alias, Qt::CaseInsensitive) == 0;
        else if (inSection && isPathKey(line, &value) && !value.isEmpty())
            return value;
    }
    return std::nullopt;
}

// Syncs the folder, so the rename that replaced the file survives a power cut.
void syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

QString AliasRegistry::defaultFile()
{
    QString explicitFile = qEnvironmentVariable("HLR_ALIASES");
    if (!explicitFile.isEmpty())
        return explicitFile;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/huellario/aliases.conf");
}

AliasRegistry::AliasRegistry(QString file)
    : m_file(std::move(file))
{
}

bool AliasRegistry::canHold(const QString& folder)
{
    // Values are read back trimmed and one per line.
    return !folder.isEmpty() && folder == folder.trimmed() && !folder.contains(QLatin1Char('\n'));
}

std::optional<QString> AliasRegistry::folderOf(const QString& alias) const
{
    return folderIn(readFile(m_file), alias);
}

void AliasRegistry::setFolder(const QString& alias, const QString& folder)
{
    if (!canHold(folder))
        throw EngineError(QStringLiteral("El archivo de alias %1 no puede guardar la carpeta «%2»: tiene "
                                         "saltos de línea o espacios en blanco al principio o al final.")
                              .arg(m_file, folder));
    const QByteArray before = readFile(m_file);
    QList<QByteArray> lines = before.split('\n');
    // A file that ends with a line break splits into a last empty piece.
    const bool endsWithBreak = lines.size() > 1 && lines.last().isEmpty();
    if (endsWithBreak)
        lines.removeLast();
    const bool crlf = !lines.isEmpty() && lines.first().endsWith('\r');
    const QByteArray entry = QByteArrayLiteral("path=") + folder.toUtf8();

    qsizetype header = -1;
    qsizetype pathLine = -1;
    for (qsizetype i = 0; i < lines.size() && pathLine < 0; ++i) {
        const QString line = textOf(lines[i]);
        QString section;
        if (isSection(line, &section)) {
            if (header >= 0)
                break;
            if (section.compare(alias, Qt::CaseInsensitive) == 0)
                header = i;
        } else if (header >= 0 && isPathKey(line)) {
            pathLine = i;
        }
    }
    if (pathLine >= 0) {
        lines[pathLine] = entry + (lines[pathLine].endsWith('\r') ? "\r" : "");
    } else if (header >= 0) {
        lines.insert(header + 1, entry + (crlf ? "\r" : ""));
    } else {
        if (!lines.isEmpty() && !(lines.size() == 1 && lines.first().isEmpty()))
            lines << QByteArray(crlf ? "\r" : "");
        else
            lines.clear();
        lines << QByteArray('[' + alias.toUtf8() + ']' + (crlf ? "\r" : "")) << entry + (crlf ? "\r" : "");
    }
    QByteArray after = lines.join('\n');
    if (endsWithBreak || pathLine < 0)
        after += '\n';
    // Checked before anything is written, so the file never holds an entry
    // that reads back as another folder.
    if (folderIn(after, alias) != folder)
        throw EngineError(QStringLiteral("No se puede registrar el alias %1 en el archivo de alias %2: la "
                                         "carpeta no se leería igual.")
                              .arg(alias, m_file));

    // Replaced in one step: a crash leaves the old file or the new one.
    const QString dir = QFileInfo(m_file).absolutePath();
    QSaveFile out(m_file);
    if (!QDir().mkpath(dir) || !out.open(QIODevice::WriteOnly) || out.write(after) != after.size()
        || !out.commit())
        throw EngineError(QStringLiteral("No se puede escribir el archivo de alias %1.").arg(m_file));
    syncFolder(dir);
}

} // namespace engine
