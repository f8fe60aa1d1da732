#include "AliasRegistry.h"

#include "EngineError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace engine {

namespace {

// The file is read by hand rather than through QSettings, so a path with a
// comma or a percent sign comes back exactly as written. Lines stay bytes, so
// a rewrite keeps every other line as it was, whatever its encoding.
// A file that is there but cannot be read is an error, not an empty file: a
// rewrite would otherwise drop every other entry.
QByteArray readFile(const QString& file)
{
    // Far more than any alias file; a device or a stray large file named by
    // HLR_ALIASES is refused instead of read to the end.
    constexpr qint64 kLimit = 1 << 20;
    QFile in(file);
    if (!in.exists())
        return {};
    if (!in.open(QIODevice::ReadOnly))
        throw EngineError(
            QStringLiteral("No se puede leer el archivo de alias %1: %2.").arg(file, in.errorString()));
    // Read in pieces: a whole megabyte asked for at once would be set
    // aside for every few-line file.
    QByteArray bytes;
    char piece[16384];
    for (;;) {
        const qint64 n = in.read(piece, sizeof piece);
        if (n < 0)
            throw EngineError(
                QStringLiteral("No se puede leer el archivo de alias %1: %2.").arg(file, in.errorString()));
        if (n == 0)
            break;
        bytes.append(piece, n);
        if (bytes.size() > kLimit)
            throw EngineError(
                QStringLiteral("El archivo de alias %1 mide más de 1 MiB; no es un archivo de alias.")
                    .arg(file));
    }
    return bytes;
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

QString reasonOf(int error)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("el disco está lleno");
    case EDQUOT:
        return QStringLiteral("se ha agotado la cuota de disco");
    case EFBIG:
        return QStringLiteral("el archivo supera el tamaño permitido");
    case EACCES:
    case EPERM:
        return QStringLiteral("no hay permiso");
    case EROFS:
        return QStringLiteral("el disco es de solo lectura");
    case EIO:
        return QStringLiteral("error de lectura o escritura en el disco");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

// A file descriptor closed however the write ends.
struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    void close()
    {
        ::close(fd);
        fd = -1;
    }
};

bool writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        done += n;
    }
    return true;
}

bool readBack(int fd, const QByteArray& expected)
{
    QByteArray read(expected.size() + 1, Qt::Uninitialized);
    qsizetype done = 0;
    for (;;) {
        const ssize_t n = ::pread(fd, read.data() + done, size_t(read.size() - done), off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        done += n;
        if (n == 0 || done == read.size())
            break;
    }
    if (done != expected.size() || read.left(done) != expected) {
        errno = EIO;
        return false;
    }
    return true;
}

QString temporaryName(const QString& dir, const QString& fileName)
{
    return QDir(dir).filePath(QStringLiteral(".%1.%2").arg(fileName).arg(
        QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
}

// A temporary file of ours that a killed run left beside the alias file
// more than a minute ago; a run at work names one only for an instant.
void removeStaleTemporaries(const QString& dir, const QString& fileName)
{
    const QRegularExpression ours(
        QStringLiteral("^\\.%1\\.[0-9a-f]{8}$").arg(QRegularExpression::escape(fileName)));
    const QDateTime old = QDateTime::currentDateTimeUtc().addSecs(-60);
    for (const QFileInfo& entry : QDir(dir).entryInfoList(
             { QLatin1Char('.') + fileName + QStringLiteral(".*") }, QDir::Files | QDir::Hidden))
        if (ours.match(entry.fileName()).hasMatch() && entry.lastModified().toUTC() < old)
            QFile::remove(entry.absoluteFilePath());
}

// Replaces `file` by `bytes` in one step. The new contents go to a file
// beside it that has no name while it is written (where the file system
// allows), so a killed run leaves nothing; every write and the sync are
// checked and the file is read back before it is renamed over the old one,
// so a full disk or a failing write leaves the old file as it was, byte
// for byte.
void replaceFile(const QString& file, const QByteArray& bytes)
{
    const QFileInfo info(file);
    const QString dir = info.absolutePath();
    const auto fail = [&](int error) {
        return EngineError(
            QStringLiteral("No se puede escribir el archivo de alias %1: %2.").arg(file, reasonOf(error)));
    };
    if (!QDir().mkpath(dir))
        throw EngineError(QStringLiteral("No se puede crear la carpeta del archivo de alias %1.").arg(dir));
    removeStaleTemporaries(dir, info.fileName());

    // The new file keeps the old one's permissions; a first one gets the
    // usual ones less the umask, as any program's new file does.
    struct stat old { };
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    const bool existed = ::stat(target.constData(), &old) == 0;
    QByteArray temporary; // named only once it is complete, or all along
    Descriptor out { ::open(QFile::encodeName(dir).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666) };
    const bool unnamed = out.fd >= 0;
    for (int attempt = 0; attempt < 100 && out.fd < 0; ++attempt) {
        temporary = QFile::encodeName(temporaryName(dir, info.fileName()));
        out.fd = ::open(temporary.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (out.fd < 0 && errno != EEXIST)
            break;
    }
    if (out.fd < 0)
        throw fail(errno);
    const auto abandon = [&](int error) {
        if (!temporary.isEmpty())
            ::unlink(temporary.constData());
        return fail(error);
    };
    if (existed && ::fchmod(out.fd, old.st_mode & 07777) != 0)
        throw abandon(errno);
    if (!writeAll(out.fd, bytes) || ::fsync(out.fd) != 0 || !readBack(out.fd, bytes))
        throw abandon(errno);
    if (unnamed) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(out.fd);
        for (int attempt = 0; attempt < 100; ++attempt) {
            temporary = QFile::encodeName(temporaryName(dir, info.fileName()));
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, temporary.constData(), AT_SYMLINK_FOLLOW) == 0)
                break;
            const int error = errno;
            temporary.clear();
            if (error != EEXIST)
                throw fail(error);
        }
        if (temporary.isEmpty())
            throw fail(EEXIST);
    }
    if (::rename(temporary.constData(), target.constData()) != 0)
        throw abandon(errno);
    out.close();
    syncFolder(dir);
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
    replaceFile(m_file, after);
}

void AliasRegistry::restore(const std::optional<QByteArray>& contents) const
{
    if (!contents) {
        if (QFile::exists(m_file) && !QFile::remove(m_file))
            throw EngineError(QStringLiteral("No se puede borrar el archivo de alias %1.").arg(m_file));
        return;
    }
    replaceFile(m_file, *contents);
}

std::optional<QByteArray> AliasRegistry::contents() const
{
    if (!QFileInfo::exists(m_file))
        return std::nullopt;
    return readFile(m_file);
}

} // namespace engine
