#include "NewDataFolder.h"

#include "data/schema/Schema.h"
#include "engine/AliasRegistry.h"
#include "engine/EngineError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <vector>

namespace setup {

namespace {

const QString kAlias = QStringLiteral("HLR10");
// The note of a run at work: in its staging folder, and in the target while
// the tables are being brought in and the alias registered. Its lock tells a
// run at work from one that was killed.
const QString kNote = QStringLiteral(".huellario-pendiente");
const QLatin1String kStagingPrefixes[]
    = { QLatin1String(".huellario-setup-"), QLatin1String(".huellario-import-") };

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

QString absoluteClean(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString join(const QString& folder, const QString& name)
{
    return folder + QLatin1Char('/') + name;
}

SetupError systemError(const QString& what, const QString& path, int error)
{
    return SetupError(QStringLiteral("%1 «%2»: %3.").arg(what, shown(path), systemReason(error)));
}

// Makes sure a rename or a removal in the folder survives a power cut.
void syncFolder(const QString& folder)
{
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool isStagingName(const QString& name)
{
    for (const QLatin1String prefix : kStagingPrefixes)
        if (name.startsWith(prefix) && name.size() == prefix.size() + 6)
            return true;
    return false;
}

bool isEmptyFolder(const QString& folder)
{
    return QDir(folder)
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
        .isEmpty();
}

// Opens and locks a note; -1 with errno EWOULDBLOCK while a run holds it.
int lockNote(const QString& path)
{
    const int fd = ::open(native(path).constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

SetupError busy(const QString& where)
{
    return SetupError(QStringLiteral("otra ejecución de huellario-setup está trabajando en «%1»; espere a "
                                     "que termine y vuelva a intentarlo.")
                          .arg(shown(where)));
}

// A staging folder holds nothing but files of ours: they go, and the folder
// with them unless something else was put in it.
void removeStaging(const QString& folder)
{
    for (const QString& name :
        QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks))
        ::unlink(native(join(folder, name)).constData());
    ::rmdir(native(folder).constData());
}

// A table file as it was when it was made; a file that no longer matches was
// changed or put there by someone else and is never removed.
struct Identity {
    QString name;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 mtimeNs = 0;
};

std::optional<Identity> identityOf(const QString& folder, const QString& name)
{
    struct stat st { };
    if (::lstat(native(join(folder, name)).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return Identity { name, quint64(st.st_ino), qint64(st.st_size),
        qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec };
}

bool removeIfSame(const QString& folder, const Identity& id)
{
    const std::optional<Identity> now = identityOf(folder, id.name);
    if (!now || now->inode != id.inode || now->size != id.size || now->mtimeNs != id.mtimeNs)
        return false;
    return ::unlink(native(join(folder, id.name)).constData()) == 0;
}

struct Note {
    QString aliasFile;
    bool madeTheFolder = false;
    std::vector<Identity> tables;
};

QByteArray encode(const Note& note)
{
    QByteArray text = "huellario-setup 1\n";
    text += "alias " + native(note.aliasFile).toPercentEncoding() + '\n';
    text += QByteArray("carpeta ") + (note.madeTheFolder ? "nueva" : "existente") + '\n';
    for (const Identity& t : note.tables)
        text += "tabla " + t.name.toUtf8().toPercentEncoding() + ' ' + QByteArray::number(t.inode) + ' '
            + QByteArray::number(t.size) + ' ' + QByteArray::number(t.mtimeNs) + '\n';
    text += "fin\n";
    return text;
}

std::optional<Note> decode(const QByteArray& text)
{
    const QList<QByteArray> lines = text.split('\n');
    if (lines.size() < 4 || lines[0] != "huellario-setup 1" || !text.endsWith("fin\n"))
        return std::nullopt;
    Note note;
    bool sawAlias = false;
    for (const QByteArray& line : lines.mid(1)) {
        const QList<QByteArray> words = line.split(' ');
        if (words[0] == "alias" && words.size() == 2) {
            note.aliasFile = QFile::decodeName(QByteArray::fromPercentEncoding(words[1]));
            sawAlias = true;
        } else if (words[0] == "carpeta" && words.size() == 2) {
            note.madeTheFolder = words[1] == "nueva";
        } else if (words[0] == "tabla" && words.size() == 5) {
            Identity id;
            id.name = QString::fromUtf8(QByteArray::fromPercentEncoding(words[1]));
            bool ok[3] = {};
            id.inode = words[2].toULongLong(&ok[0]);
            id.size = words[3].toLongLong(&ok[1]);
            id.mtimeNs = words[4].toLongLong(&ok[2]);
            if (!ok[0] || !ok[1] || !ok[2] || id.name.isEmpty() || id.name.contains(QLatin1Char('/')))
                return std::nullopt;
            note.tables.push_back(id);
        } else if (words[0] != "fin" && !line.isEmpty()) {
            return std::nullopt;
        }
    }
    if (!sawAlias)
        return std::nullopt;
    return note;
}

bool writeNote(int fd, const QByteArray& text)
{
    if (::ftruncate(fd, 0) != 0)
        return false;
    qsizetype done = 0;
    while (done < text.size()) {
        const ssize_t n = ::pwrite(fd, text.constData() + done, size_t(text.size() - done), off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return ::fsync(fd) == 0;
}

QByteArray readNote(int fd)
{
    QByteArray text;
    char buffer[4096];
    off_t at = 0;
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || text.size() > (1 << 20))
            break;
        text.append(buffer, n);
        at += n;
    }
    return text;
}

// rename() that never replaces a file which appeared in the meantime.
int renameNoReplace(const QString& from, const QString& to)
{
    if (::renameat2(AT_FDCWD, native(from).constData(), AT_FDCWD, native(to).constData(), RENAME_NOREPLACE)
        == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    // A file system without that flag: a hard link refuses to replace too.
    if (::link(native(from).constData(), native(to).constData()) != 0)
        return -1;
    ::unlink(native(from).constData());
    return 0;
}

// The folders missing on the way to `folder`, outermost first.
QStringList missingFolders(const QString& folder)
{
    QStringList missing;
    QString at = folder;
    while (!QFileInfo::exists(at) && !QFileInfo(at).isSymLink()) {
        missing.prepend(at);
        const QString up = QFileInfo(at).path();
        if (up == at)
            break;
        at = up;
    }
    return missing;
}

void removeFolders(QStringList& made)
{
    while (!made.isEmpty())
        ::rmdir(native(made.takeLast()).constData()); // only while empty
}

} // namespace

struct NewDataFolder::Private {
    enum class Mode { Beside, OverEmpty, Inside };

    QString target;
    QString parent;
    QString aliasFile;
    NewDataFolder::Kind kind;
    QTextStream& out;

    std::optional<InterruptionGuard> guard;
    Mode mode = Mode::Beside;
    QString staging; // empty once it is gone
    int noteFd = -1;
    QStringList madeFolders; // the target's parents this run made
    QStringList madeAliasFolders;
    std::vector<Identity> tables;
    bool inTarget = false; // the tables were brought into the target
    bool committed = false;

    Private(const QString& t, const QString& a, NewDataFolder::Kind k, QTextStream& o)
        : target(t)
        , parent(QFileInfo(t).path())
        , aliasFile(a)
        , kind(k)
        , out(o)
    {
    }

    ~Private()
    {
        if (noteFd >= 0)
            ::close(noteFd);
    }

    void tidy();
    void makeFolders(const QString& folder, QStringList& made);
    void bringIn();
    void registerAlias();
    void undo();
};

// What an interrupted run left: staging folders beside and inside the
// target, and tables it had brought in without registering the alias.
void NewDataFolder::Private::tidy()
{
    bool tidied = false;
    int tablesRemoved = 0;
    for (const QString& folder : { parent, target }) {
        if (!QFileInfo(folder).isDir())
            continue;
        for (const QString& name :
            QDir(folder).entryList(QDir::Dirs | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot)) {
            if (!isStagingName(name))
                continue;
            const QString staged = join(folder, name);
            const QString note = join(staged, kNote);
            int fd = -1;
            if (QFileInfo::exists(note)) {
                fd = lockNote(note);
                if (fd < 0 && errno == EWOULDBLOCK)
                    throw busy(folder);
            }
            removeStaging(staged);
            if (fd >= 0)
                ::close(fd);
            tidied = true;
        }
    }

    const QString notePath = join(target, kNote);
    if (QFileInfo(notePath).isFile()) {
        const int fd = lockNote(notePath);
        if (fd < 0)
            throw errno == EWOULDBLOCK ? busy(target)
                                       : systemError(QStringLiteral("No se puede leer"), notePath, errno);
        const std::optional<Note> note = decode(readNote(fd));
        if (note) {
            std::optional<QString> registered;
            try {
                registered = engine::AliasRegistry(note->aliasFile).folderOf(kAlias);
            } catch (const engine::EngineError& e) {
                ::close(fd);
                throw SetupError(
                    QStringLiteral("una ejecución interrumpida dejó tablas en «%1» y no se puede saber si "
                                   "llegó a registrar el alias %2: %3")
                        .arg(shown(target), kAlias, e.message()));
            }
            // A run that got as far as the alias finished all but its note.
            if (!registered || absoluteClean(*registered) != target) {
                for (const Identity& id : note->tables)
                    tablesRemoved += removeIfSame(target, id) ? 1 : 0;
            }
        }
        ::unlink(native(notePath).constData());
        ::close(fd);
        if (note && note->madeTheFolder)
            ::rmdir(native(target).constData()); // only while empty
        syncFolder(QFileInfo::exists(target) ? target : parent);
        tidied = tidied || tablesRemoved > 0;
    }
    if (tidied) {
        out << "Se ha retirado lo que dejó a medias una instalación o importación interrumpida en «"
            << shown(target) << "»";
        if (tablesRemoved > 0)
            out << " (" << tablesRemoved << (tablesRemoved == 1 ? " tabla" : " tablas") << ")";
        out << "." << Qt::endl;
    }
}

void NewDataFolder::Private::makeFolders(const QString& folder, QStringList& made)
{
    for (const QString& missing : missingFolders(folder)) {
        if (::mkdir(native(missing).constData(), 0777) != 0) {
            const int error = errno;
            const QString up = QFileInfo(missing).path();
            if (error == ENOTDIR || (QFileInfo::exists(up) && !QFileInfo(up).isDir()))
                throw SetupError(QStringLiteral("No se puede crear la carpeta «%1»: «%2» no es una carpeta.")
                                     .arg(shown(folder), shown(up)));
            throw systemError(QStringLiteral("No se puede crear la carpeta"), missing, error);
        }
        made << missing;
        step();
    }
}

void NewDataFolder::Private::bringIn()
{
    if (mode != Mode::Inside) {
        // One rename: the folder appears whole or not at all.
        if (::rename(native(staging).constData(), native(target).constData()) != 0) {
            const int error = errno;
            throw error == ENOTEMPTY || error == EEXIST
                ? SetupError(QStringLiteral("la carpeta «%1» dejó de estar vacía mientras se preparaban las "
                                            "tablas; no se ha tocado.")
                                 .arg(shown(target)))
                : systemError(QStringLiteral("No se puede colocar la carpeta nueva en"), target, error);
        }
        staging.clear();
        inTarget = true;
        commitStep();
        syncFolder(parent);
        commitStep();
        return;
    }
    // Into a folder that holds other files: the note first, so that a run
    // killed half way leaves tables the next run can tell as ours.
    if (::rename(native(join(staging, kNote)).constData(), native(join(target, kNote)).constData()) != 0)
        throw systemError(QStringLiteral("No se puede escribir en la carpeta"), target, errno);
    inTarget = true;
    commitStep();
    for (const Identity& id : tables) {
        if (renameNoReplace(join(staging, id.name), join(target, id.name)) != 0) {
            const int error = errno;
            throw error == EEXIST
                ? SetupError(
                    QStringLiteral("«%1» apareció mientras se preparaban las tablas; no se sobrescribe.")
                        .arg(shown(join(target, id.name))))
                : systemError(QStringLiteral("No se puede colocar"), join(target, id.name), error);
        }
        commitStep();
    }
    removeStaging(staging);
    staging.clear();
    syncFolder(target);
    commitStep();
}

void NewDataFolder::Private::registerAlias()
{
    const engine::AliasRegistry registry(aliasFile);
    std::optional<QByteArray> before;
    try {
        before = registry.contents();
    } catch (const engine::EngineError& e) {
        throw SetupError(QStringLiteral("No se pudo registrar el alias %1: %2").arg(kAlias, e.message()));
    }
    madeAliasFolders = missingFolders(QFileInfo(aliasFile).path());
    try {
        engine::AliasRegistry(aliasFile).setFolder(kAlias, target);
    } catch (const engine::EngineError& e) {
        throw SetupError(QStringLiteral("No se pudo registrar el alias %1: %2").arg(kAlias, e.message()));
    }
    commitStep();
    // Another program may have written the file at the same moment.
    std::optional<QString> now;
    try {
        now = registry.folderOf(kAlias);
    } catch (const engine::EngineError&) {
    }
    if (now != target) {
        try {
            registry.restore(before);
        } catch (const engine::EngineError&) {
        }
        throw SetupError(
            QStringLiteral("No se pudo registrar el alias %1 en «%2»: otro programa lo cambió a la "
                           "vez. Vuelva a intentarlo.")
                .arg(kAlias, shown(aliasFile)));
    }
    madeAliasFolders.clear();
}

void NewDataFolder::Private::undo()
{
    if (committed)
        return;
    if (inTarget) {
        for (const Identity& id : tables)
            removeIfSame(target, id);
        ::unlink(native(join(target, kNote)).constData());
        if (mode == Mode::Beside)
            ::rmdir(native(target).constData());
        syncFolder(QFileInfo::exists(target) ? target : parent);
    }
    if (!staging.isEmpty()) {
        removeStaging(staging);
        staging.clear();
    }
    if (noteFd >= 0) {
        ::close(noteFd);
        noteFd = -1;
    }
    removeFolders(madeFolders);
    removeFolders(madeAliasFolders);
    inTarget = false;
    tables.clear();
    guard.reset();
}

NewDataFolder::NewDataFolder(const QString& target, const QString& aliasFile, Kind kind, QTextStream& out)
    : d(std::make_unique<Private>(target, aliasFile, kind, out))
{
    const QFileInfo info(target);
    if (info.exists() && !info.isDir())
        throw SetupError(QStringLiteral("«%1» existe y no es una carpeta.").arg(shown(target)));
    d->tidy();
}

NewDataFolder::~NewDataFolder()
{
    d->undo();
}

QStringList NewDataFolder::presentTables() const
{
    QStringList present;
    for (const engine::TableDef& def : schema::tables())
        if (QFileInfo::exists(join(d->target, def.fileName)))
            present << def.fileName;
    return present;
}

QString NewDataFolder::begin()
{
    d->guard.emplace();
    step();
    struct stat target { };
    struct stat parent { };
    if (::lstat(native(d->target).constData(), &target) != 0) {
        d->mode = Private::Mode::Beside;
    } else if (S_ISDIR(target.st_mode) && isEmptyFolder(d->target)
        && ::stat(native(d->parent).constData(), &parent) == 0 && parent.st_dev == target.st_dev
        && ::access(native(d->parent).constData(), W_OK | X_OK) == 0) {
        d->mode = Private::Mode::OverEmpty;
    } else {
        d->mode = Private::Mode::Inside;
    }
    const QString where = d->mode == Private::Mode::Inside ? d->target : d->parent;
    d->makeFolders(where, d->madeFolders);

    QByteArray pattern = native(join(where,
        (d->kind == Kind::Install ? QStringLiteral(".huellario-setup-")
                                  : QStringLiteral(".huellario-import-"))
            + QStringLiteral("XXXXXX")));
    if (!::mkdtemp(pattern.data()))
        throw systemError(QStringLiteral("No se puede escribir en la carpeta"), where, errno);
    d->staging = QFile::decodeName(pattern);
    step();
    // The staging folder becomes the data folder: it gets the permissions a
    // new folder would get, or those of the empty one it replaces.
    if (d->mode != Private::Mode::Inside) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        const mode_t mode = d->mode == Private::Mode::OverEmpty ? target.st_mode & 07777 : 0777 & ~mask;
        if (::chmod(native(d->staging).constData(), mode) != 0)
            throw systemError(QStringLiteral("No se puede escribir en la carpeta"), d->staging, errno);
    }

    // Made under another name and locked before it is named as the note, so
    // a run that tidies never sees it unlocked while this run is at work.
    const QString fresh = join(d->staging, kNote + QStringLiteral(".nueva"));
    d->noteFd = ::open(native(fresh).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (d->noteFd < 0 || ::flock(d->noteFd, LOCK_EX) != 0
        || ::rename(native(fresh).constData(), native(join(d->staging, kNote)).constData()) != 0)
        throw systemError(QStringLiteral("No se puede escribir en la carpeta"), d->staging, errno);
    step();
    return d->staging;
}

void NewDataFolder::commit(const QStringList& tableFiles)
{
    step();
    Note note;
    note.aliasFile = d->aliasFile;
    note.madeTheFolder = d->mode == Private::Mode::Beside;
    for (const QString& name : tableFiles) {
        const std::optional<Identity> id = identityOf(d->staging, name);
        if (!id)
            throw SetupError(QStringLiteral("Falta «%1» entre las tablas preparadas.").arg(name));
        note.tables.push_back(*id);
    }
    if (!writeNote(d->noteFd, encode(note)))
        throw systemError(QStringLiteral("No se puede escribir en la carpeta"), d->staging, errno);
    step();
    syncFolder(d->staging);
    // The last point at which a signal stops the run: from here it finishes,
    // or fails and removes what it brought in.
    step();
    d->tables = note.tables;
    d->bringIn();
    d->registerAlias();
    ::unlink(native(join(d->target, kNote)).constData());
    syncFolder(d->target);
    commitStep();
    ::close(d->noteFd);
    d->noteFd = -1;
    d->committed = true;
    d->guard.reset();
}

void NewDataFolder::abandon()
{
    d->undo();
}

void checkAliasFileWritable(const QString& aliasFile)
{
    const QFileInfo info(aliasFile);
    if (info.isDir())
        throw SetupError(
            QStringLiteral("«%1» es una carpeta, no un archivo de alias.").arg(shown(aliasFile)));
    if (info.exists()) {
        QFile file(aliasFile);
        if (!file.open(QIODevice::ReadWrite))
            throw SetupError(QStringLiteral("No se puede escribir el archivo de alias «%1»: %2.")
                                 .arg(shown(aliasFile), file.errorString()));
    }
    // Its folder, or the nearest one that exists, must take a new file.
    QString folder = info.absolutePath();
    while (!QFileInfo::exists(folder) && QFileInfo(folder).path() != folder)
        folder = QFileInfo(folder).path();
    if (!QFileInfo(folder).isDir())
        throw SetupError(
            QStringLiteral("No se puede crear la carpeta del archivo de alias «%1»: «%2» no es una "
                           "carpeta.")
                .arg(shown(info.absolutePath()), shown(folder)));
    if (::access(native(folder).constData(), W_OK | X_OK) != 0)
        throw systemError(QStringLiteral("No se puede escribir el archivo de alias en"), folder, errno);
}

} // namespace setup
