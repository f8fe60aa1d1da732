// Picture files: the extension picks the format, the file is read within
// the caps, and the decoders' failures become the messages the user sees.
#include "platform/Picture.h"

#include "platform/PictureDecoders.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

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
    explicit Descriptor(int fd)
        : m_fd(fd)
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Opens the file and checks that it is a regular file within the size cap,
// then reads it when `contents` is given. Non-blocking, so a FIFO or a device
// named like a picture cannot hold the program.
void readPictureFile(const QString& path, QByteArray* contents)
{
    Descriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0)
        cannotOpen(path, systemReason(errno));
    struct stat info { };
    if (::fstat(fd.get(), &info) != 0)
        cannotOpen(path, systemReason(errno));
    if (S_ISDIR(info.st_mode))
        cannotOpen(path, systemReason(EISDIR));
    if (!S_ISREG(info.st_mode))
        cannotOpen(path, QStringLiteral("No es un fichero normal"));
    if (info.st_size > PictureLimits::maxFileBytes)
        tooLarge(path);
    if (!contents)
        return;
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
    *contents = std::move(data);
}

QString failureMessage(Format format, const pictures::DecodeError& error, const QString& path)
{
    switch (error.failure) {
    case pictures::Failure::TooLarge:
        return QStringLiteral("La imagen \"%1\" es demasiado grande para mostrarla").arg(path);
    case pictures::Failure::TooComplex:
        return QStringLiteral("La imagen \"%1\" es demasiado compleja para mostrarla").arg(path);
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
    const auto field = [bytes](int i) { return qFromLittleEndian<qint32>(bytes + 4 + 4 * i); };
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

} // namespace

namespace pictures {

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
    return QCoreApplication::applicationDirPath() + QStringLiteral("/huellario-metafile");
}

void setMetafileHelper(const QString& path)
{
    helperOverride() = path;
}

} // namespace pictures

QImage loadPicture(const QString& path, QSize frame, Fit fit, BitmapTransparency transparency)
{
    checkFrame(frame);
    const Format format = formatOf(path);
    if (isMetafile(format)) {
        readPictureFile(path, nullptr);
        return runMetafileHelper(path, format, frame, fit == Fit::Stretch ? "stretch" : "own").image;
    }
    QByteArray data;
    readPictureFile(path, &data);
    try {
        return imageFromBytes(format, data, { frame, fit, transparency });
    } catch (const pictures::DecodeError& error) {
        throw PictureError(failureMessage(format, error, path));
    }
}

QSize pictureSize(const QString& path)
{
    const Format format = formatOf(path);
    if (isMetafile(format)) {
        readPictureFile(path, nullptr);
        return runMetafileHelper(path, format, QSize(1, 1), "size").own;
    }
    QByteArray data;
    readPictureFile(path, &data);
    try {
        return sizeFromBytes(format, data);
    } catch (const pictures::DecodeError& error) {
        throw PictureError(failureMessage(format, error, path));
    }
}

} // namespace platform
