// Picture files: the extension picks the format, the file is read within
// the caps, and the decoders' failures become the messages the user sees.
#include "pictures/Picture.h"

#include "pictures/PictureDecoders.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace pictures {

namespace {

enum class Format { Bitmap, Jpeg, EnhancedMetafile, Metafile, Icon };

Format formatOf(const QString& path)
{
    const QString extension = QFileInfo(path).suffix();
    const QString lower = extension.toLower();
    if (lower == QLatin1String("bmp"))
        return Format::Bitmap;
    if (lower == QLatin1String("jpg") || lower == QLatin1String("jpeg"))
        return Format::Jpeg;
    if (lower == QLatin1String("emf"))
        return Format::EnhancedMetafile;
    if (lower == QLatin1String("wmf"))
        return Format::Metafile;
    if (lower == QLatin1String("ico"))
        return Format::Icon;
    throw PictureError(QStringLiteral("Unknown picture file extension (.%1)").arg(extension));
}

[[noreturn]] void cannotOpen(const QString& path, const QString& reason)
{
    throw PictureError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

[[noreturn]] void tooLarge(const QString& path)
{
    throw PictureError(QStringLiteral("La imagen \"%1\" es demasiado grande para mostrarla").arg(path));
}

// An open descriptor that closes itself.
class Descriptor {
public:
    Descriptor() = default;
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    void reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    int get() const { return m_fd; }

private:
    int m_fd = -1;
};

// Opens the file into `fd` and checks that it is a regular file within the
// size cap. Non-blocking, so a FIFO or a device named like a picture cannot
// hold the program.
void openPictureFile(const QString& path, Descriptor& fd, struct stat* info)
{
    fd.reset(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0)
        cannotOpen(path, systemReason(errno));
    if (::fstat(fd.get(), info) != 0)
        cannotOpen(path, systemReason(errno));
    if (S_ISDIR(info->st_mode))
        cannotOpen(path, systemReason(EISDIR));
    if (!S_ISREG(info->st_mode))
        cannotOpen(path, QStringLiteral("No es un fichero normal"));
    if (info->st_size > PictureLimits::maxFileBytes)
        tooLarge(path);
}

// Reads the file opened by openPictureFile().
QByteArray readContents(const QString& path, const Descriptor& fd, const struct stat& info)
{
    // The file may grow while it is read: never past the cap.
    QByteArray data(qsizetype(info.st_size) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    while (true) {
        if (filled == data.size()) {
            if (data.size() > PictureLimits::maxFileBytes)
                tooLarge(path);
            data.resize(std::min<qsizetype>(data.size() * 2, PictureLimits::maxFileBytes + 1));
        }
        const ssize_t got = ::read(fd.get(), data.data() + filled, size_t(data.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            cannotOpen(path, systemReason(errno));
        if (got == 0)
            break;
        filled += got;
    }
    data.truncate(filled);
    return data;
}

QString failureMessage(Format format, const pictures::DecodeError& error, const QString& path)
{
    switch (error.failure) {
    case pictures::Failure::TooLarge:
        return QStringLiteral("La imagen \"%1\" es demasiado grande para mostrarla").arg(path);
    case pictures::Failure::TooComplex:
        return QStringLiteral("La imagen \"%1\" es demasiado compleja para mostrarla").arg(path);
    case pictures::Failure::Cancelled:
        return QStringLiteral("La lectura de la imagen \"%1\" se ha cancelado").arg(path);
    case pictures::Failure::NotValid:
        break;
    }
    switch (format) {
    case Format::Bitmap:
        return QStringLiteral("Bitmap image is not valid");
    case Format::Jpeg:
        return QStringLiteral("JPEG error #%1").arg(error.jpegCode);
    case Format::Icon:
        return QStringLiteral("Icon image is not valid");
    case Format::EnhancedMetafile:
    case Format::Metafile:
        break;
    }
    return QStringLiteral("Metafile is not valid");
}

void checkFrame(QSize frame)
{
    if (frame.width() < 1 || frame.height() < 1 || frame.width() > PictureLimits::maxFrameSide
        || frame.height() > PictureLimits::maxFrameSide)
        throw std::invalid_argument("loadPicture: frame out of range");
}

struct MetafileReply {
    QSize own;
    QImage image;
};

// The metafile libraries run in huellario-metafile beside the program, under
// a time cap; whatever becomes of that process, this one goes on.
MetafileReply runMetafileHelper(const QString& path, Format format, QSize frame, const char* mode)
{
    const QString helper = pictures::metafileHelper();
    if (!QFileInfo(helper).isExecutable())
        throw PictureError(QStringLiteral("No se encuentra el programa auxiliar \"%1\"").arg(helper));
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(helper,
        { format == Format::EnhancedMetafile ? QStringLiteral("emf") : QStringLiteral("wmf"),
            QString::number(frame.width()), QString::number(frame.height()), QString::fromLatin1(mode),
            path });
    const auto invalid = [&] {
        process.kill();
        process.waitForFinished(1000);
        return PictureError(QStringLiteral("Metafile is not valid"));
    };
    if (!process.waitForStarted(PictureLimits::metafileMilliseconds))
        throw PictureError(QStringLiteral("No se encuentra el programa auxiliar \"%1\"").arg(helper));

    const qint64 maxReply = 20 + qint64(frame.width()) * frame.height() * 4;
    QByteArray reply;
    QDeadlineTimer deadline(PictureLimits::metafileMilliseconds);
    while (process.state() != QProcess::NotRunning) {
        if (deadline.hasExpired())
            throw invalid();
        if (!process.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime()))))
            process.waitForFinished(int(std::max<qint64>(1, deadline.remainingTime())));
        reply += process.readAllStandardOutput();
        if (reply.size() > maxReply)
            throw invalid();
    }
    reply += process.readAllStandardOutput();
    if (process.exitStatus() != QProcess::NormalExit)
        throw invalid();
    if (process.exitCode() == 3)
        tooLarge(path);
    if (process.exitCode() != 0 || reply.size() < 20 || !reply.startsWith("HLRM"))
        throw invalid();

    const auto* bytes = reinterpret_cast<const uchar*>(reply.constData());
    const auto field
        = [bytes](int i) { return qFromLittleEndian<qint32>(bytes + 4 + std::ptrdiff_t(4) * i); };
    MetafileReply result { QSize(field(0), field(1)), {} };
    const QSize imageSize(field(2), field(3));
    if (result.own.isEmpty() || imageSize.width() < 0 || imageSize.height() < 0
        || imageSize.width() > frame.width() || imageSize.height() > frame.height()
        || reply.size() != 20 + qint64(imageSize.width()) * imageSize.height() * 4)
        throw invalid();
    if (imageSize.isEmpty())
        return result;
    QImage image(imageSize, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < imageSize.height(); ++y)
        std::memcpy(
            image.scanLine(y), bytes + 20 + qint64(y) * imageSize.width() * 4, size_t(imageSize.width()) * 4);
    result.image = std::move(image);
    return result;
}

QSize sizeFromBytes(Format format, const QByteArray& data)
{
    switch (format) {
    case Format::Bitmap:
        return pictures::bitmapSize(data);
    case Format::Jpeg:
        return pictures::jpegSize(data);
    case Format::Icon:
        return pictures::iconSize(data);
    case Format::EnhancedMetafile:
    case Format::Metafile:
        break;
    }
    return {};
}

QImage imageFromBytes(Format format, const QByteArray& data, const pictures::Request& request)
{
    switch (format) {
    case Format::Bitmap:
        return pictures::decodeBitmap(data, request);
    case Format::Jpeg:
        return pictures::decodeJpeg(data, request);
    case Format::Icon:
        return pictures::decodeIcon(data, request);
    case Format::EnhancedMetafile:
    case Format::Metafile:
        break;
    }
    return {};
}

bool isMetafile(Format format)
{
    return format == Format::EnhancedMetafile || format == Format::Metafile;
}

// The last few results, most recently used last. The album reloads its
// photograph on every data change of its table (each move, edit, post and
// field written), so the same picture is asked for again and again. The file
// is still opened and stat-ed on each call: a file moved, removed or replaced
// behaves as without the cache, and failures are never kept. The read-ahead
// thread shares it, so it has a lock, and a request being decoded by one
// thread is waited for by the other rather than decoded twice.
enum class Wanted { Size, OwnSize, Stretch };

bool operator==(const timespec& a, const timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

struct CacheKey {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified {};
    timespec changed {}; // also moves when a file is rewritten and its time set back
    Wanted wanted = Wanted::Size;
    QSize frame;
    BitmapTransparency transparency = BitmapTransparency::Opaque;

    bool operator==(const CacheKey&) const = default;
};

struct Result {
    QImage image;
    QSize size;
};

struct CacheEntry {
    CacheKey key;
    Result result;
    qint64 bytes = 0;
    // Written to so lately that a rewrite of the same size could still leave
    // the same times; such an entry is served only when its contents hash
    // matches again (not done for metafiles, which are then not kept).
    bool racy = false;
    size_t contentHash = 0;
};

struct Cache {
    std::mutex mutex;
    std::condition_variable settled; // a request in flight was finished
    std::vector<CacheEntry> entries;
    std::vector<CacheKey> inFlight;
};

Cache& cache()
{
    static Cache shared;
    return shared;
}

std::atomic<int> decodes { 0 }; // asked for by the program
std::atomic<int> decodesAhead { 0 }; // by the read-ahead

// Timestamps come in steps (a clock tick; two seconds on FAT), so a file
// changed within this margin of the present may change again with no trace.
std::atomic<int> racyMilliseconds { pictures::defaultRacyMilliseconds };

// Marks a request as being worked on by this thread until it goes out of scope.
class InFlight {
public:
    InFlight(Cache& shared, const CacheKey& key)
        : m_shared(shared)
        , m_key(key)
    {
    }
    ~InFlight()
    {
        {
            const std::lock_guard lock(m_shared.mutex);
            auto& keys = m_shared.inFlight;
            keys.erase(std::find(keys.begin(), keys.end(), m_key));
        }
        m_shared.settled.notify_all();
    }
    InFlight(const InFlight&) = delete;
    InFlight& operator=(const InFlight&) = delete;

private:
    Cache& m_shared;
    CacheKey m_key;
};

qint64 nanoseconds(const timespec& time)
{
    return qint64(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

qint64 now()
{
    timespec time {};
    ::clock_gettime(CLOCK_REALTIME, &time);
    return nanoseconds(time);
}

bool isRacy(const struct stat& info, qint64 openedAt)
{
    const qint64 latest = std::max(nanoseconds(info.st_mtim), nanoseconds(info.st_ctim));
    return latest > openedAt - qint64(racyMilliseconds.load()) * 1'000'000;
}

void store(CacheEntry entry)
{
    const std::lock_guard lock(cache().mutex);
    auto& entries = cache().entries;
    entry.bytes = qint64(sizeof(CacheEntry)) + entry.result.image.sizeInBytes();
    if (entry.bytes > pictures::cacheBytes)
        return;
    entries.push_back(std::move(entry));
    qint64 total = 0;
    for (const CacheEntry& kept : entries)
        total += kept.bytes;
    auto oldest = entries.begin();
    while (entries.end() - oldest > pictures::cacheEntries || total > pictures::cacheBytes)
        total -= (oldest++)->bytes;
    entries.erase(entries.begin(), oldest);
}

// Opens the file, answers from the cache when it can, else decodes.
Result obtain(const QString& path, Format format, Wanted wanted, QSize frame, BitmapTransparency transparency,
    const std::atomic<bool>* cancelled = nullptr)
{
    const qint64 openedAt = now();
    Descriptor fd;
    struct stat info { };
    openPictureFile(path, fd, &info);
    const CacheKey key { info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim, wanted, frame,
        transparency };
    const bool metafile = isMetafile(format);

    Cache& shared = cache();
    std::optional<CacheEntry> cached;
    {
        std::unique_lock lock(shared.mutex);
        shared.settled.wait(lock, [&] {
            return std::find(shared.inFlight.begin(), shared.inFlight.end(), key) == shared.inFlight.end();
        });
        shared.inFlight.push_back(key);
        auto& entries = shared.entries;
        const auto found = std::find_if(
            entries.begin(), entries.end(), [&key](const CacheEntry& entry) { return entry.key == key; });
        if (found != entries.end()) {
            cached = std::move(*found);
            entries.erase(found);
        }
    }
    const InFlight working(shared, key);

    QByteArray data;
    if (cached) {
        CacheEntry& entry = *cached;
        bool same = !entry.racy;
        if (entry.racy && !metafile) {
            data = readContents(path, fd, info);
            same = qHash(data) == entry.contentHash;
            if (same)
                entry.racy = isRacy(info, openedAt);
        }
        if (same) {
            Result result = entry.result;
            store(std::move(entry));
            return result;
        }
    }

    ++(cancelled ? decodesAhead : decodes);
    CacheEntry entry { key, {}, 0, isRacy(info, openedAt), 0 };
    if (metafile) {
        const char* mode = wanted == Wanted::Size ? "size" : wanted == Wanted::Stretch ? "stretch" : "own";
        MetafileReply reply = runMetafileHelper(path, format, frame, mode);
        entry.result = { std::move(reply.image), reply.own };
        if (entry.racy)
            return entry.result;
    } else {
        if (data.isNull())
            data = readContents(path, fd, info);
        // Only a file changed just now is ever checked by its contents.
        if (entry.racy)
            entry.contentHash = qHash(data);
        try {
            if (wanted == Wanted::Size)
                entry.result.size = sizeFromBytes(format, data);
            else
                entry.result.image = imageFromBytes(format, data,
                    { frame, wanted == Wanted::Stretch ? Fit::Stretch : Fit::OwnSize, transparency,
                        cancelled });
        } catch (const pictures::DecodeError& error) {
            throw PictureError(failureMessage(format, error, path));
        }
    }
    Result result = entry.result;
    store(std::move(entry));
    return result;
}

// Decodes the pictures the album will probably ask for next, one at a time
// on a thread of its own, into the cache. Each new list replaces what is
// left of the last one, and the picture being decoded is abandoned unless the
// new list still wants it. Failures are dropped: the album meets them, with
// their message, when it shows that picture.
class ReadAhead {
public:
    ~ReadAhead() { stop(); }

    void want(std::vector<PictureRequest> requests)
    {
        {
            const std::lock_guard lock(m_mutex);
            if (m_stopping)
                return;
            if (m_current) {
                const auto stillWanted = std::find(requests.begin(), requests.end(), *m_current);
                if (stillWanted == requests.end())
                    m_cancelCurrent = true;
                else
                    requests.erase(stillWanted);
            }
            m_queue = std::move(requests);
            if (!m_thread.joinable() && !m_queue.empty()) {
                m_thread = std::thread([this] { run(); });
                // The worker must be gone before Qt's application object.
                if (QCoreApplication::instance())
                    qAddPostRoutine([] { shared().stop(); });
            }
        }
        m_changed.notify_all();
    }

    void wait()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_queue.empty() && !m_current; });
    }

    void stop()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
            m_queue.clear();
            m_cancelCurrent = true;
        }
        m_changed.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }

    static ReadAhead& shared()
    {
        static ReadAhead worker;
        return worker;
    }

private:
    void run()
    {
        std::unique_lock lock(m_mutex);
        while (true) {
            m_changed.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_stopping)
                return;
            m_current = m_queue.front();
            m_queue.erase(m_queue.begin());
            m_cancelCurrent = false;
            const PictureRequest request = *m_current;
            lock.unlock();
            try {
                checkFrame(request.frame);
                obtain(request.path, formatOf(request.path),
                    request.fit == Fit::Stretch ? Wanted::Stretch : Wanted::OwnSize, request.frame,
                    request.transparency, &m_cancelCurrent);
            } catch (...) {
                // Met again, and reported, when the picture is shown.
            }
            lock.lock();
            m_current.reset();
            m_changed.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<PictureRequest> m_queue;
    std::optional<PictureRequest> m_current;
    std::atomic<bool> m_cancelCurrent { false };
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace

namespace {
QString& helperOverride()
{
    static QString path;
    return path;
}
} // namespace

QString metafileHelper()
{
    if (!helperOverride().isEmpty())
        return helperOverride();
    return metafileHelperIn(QCoreApplication::applicationDirPath());
}

QString metafileHelperIn(const QString& binDir)
{
    QString beside = binDir + QStringLiteral("/huellario-metafile");
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed
        = QDir::cleanPath(binDir + QStringLiteral("/" HLR_LIBEXEC_FROM_BIN "/huellario-metafile"));
    return QFileInfo::exists(installed) ? installed : beside;
}

void setMetafileHelper(const QString& path)
{
    helperOverride() = path;
    // Another helper may draw the same file otherwise.
    clearCache();
}

int decodeCount()
{
    return decodes;
}

int readAheadDecodeCount()
{
    return decodesAhead;
}

void clearCache()
{
    const std::lock_guard lock(cache().mutex);
    cache().entries.clear();
}

void setRacyMilliseconds(int milliseconds)
{
    racyMilliseconds = milliseconds;
}

QImage loadPicture(const QString& path, QSize frame, Fit fit, BitmapTransparency transparency)
{
    checkFrame(frame);
    const Format format = formatOf(path);
    return obtain(path, format, fit == Fit::Stretch ? Wanted::Stretch : Wanted::OwnSize, frame, transparency)
        .image;
}

QSize pictureSize(const QString& path)
{
    return obtain(path, formatOf(path), Wanted::Size, QSize(1, 1), BitmapTransparency::Opaque).size;
}

void readAhead(std::vector<PictureRequest> requests)
{
    ReadAhead::shared().want(std::move(requests));
}

void waitForReadAhead()
{
    ReadAhead::shared().wait();
}

} // namespace pictures

// The entry the album's front looks for: by name in the module, or linked in
// where a program links these objects.
extern "C" const pictures::Loaders* hlr_pictures_loaders()
{
    static const pictures::Loaders loaders { &pictures::loadPicture, &pictures::readAhead };
    return &loaders;
}
