#include "AliasRegistry.h"

#include "EngineError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

namespace engine {

namespace {

// The file is read by hand rather than through QSettings, so a path with a
// comma or a percent sign comes back exactly as written.
QStringList readLines(const QString& file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'));
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

std::optional<QString> AliasRegistry::folderOf(const QString& alias) const
{
    bool inSection = false;
    for (const QString& line : readLines(m_file)) {
        QString section;
        QString value;
        if (isSection(line, &section))
            inSection = section.compare(alias, Qt::CaseInsensitive) == 0;
        else if (inSection && isPathKey(line, &value) && !value.isEmpty())
            return value;
    }
    return std::nullopt;
}

void AliasRegistry::setFolder(const QString& alias, const QString& folder)
{
    QStringList lines = readLines(m_file);
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();

    const QString entry = QStringLiteral("path=") + folder;
    bool inSection = false;
    bool written = false;
    qsizetype sectionEnd = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString section;
        if (isSection(lines[i], &section)) {
            if (inSection)
                break;
            inSection = section.compare(alias, Qt::CaseInsensitive) == 0;
            if (inSection)
                sectionEnd = i + 1;
        } else if (inSection) {
            sectionEnd = i + 1;
            if (isPathKey(lines[i])) {
                lines[i] = entry;
                written = true;
                break;
            }
        }
    }
    if (!written) {
        if (sectionEnd >= 0) {
            lines.insert(sectionEnd, entry);
        } else {
            if (!lines.isEmpty())
                lines << QString();
            lines << QLatin1Char('[') + alias + QLatin1Char(']') << entry;
        }
    }

    const QString dir = QFileInfo(m_file).absolutePath();
    QSaveFile out(m_file);
    if (!QDir().mkpath(dir) || !out.open(QIODevice::WriteOnly | QIODevice::Text)
        || out.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8()) < 0 || !out.commit())
        throw EngineError(QStringLiteral("No se puede escribir el archivo de alias %1.").arg(m_file));
}

} // namespace engine
