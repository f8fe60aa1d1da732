#include "platform/Shell.h"

#include "platform/MailtoUrl.h"
#include "platform/WebUrl.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace platform {

namespace {

bool hasPictureExtension(const QString& path)
{
    static const QStringList extensions { QStringLiteral("bmp"), QStringLiteral("jpg"),
        QStringLiteral("jpeg"), QStringLiteral("emf"), QStringLiteral("wmf"), QStringLiteral("ico") };
    return extensions.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive);
}

// The album's "Abrir": a local file is opened only when it is a picture.
bool openPictureFile(const QString& path)
{
    if (!isOpenablePictureFile(path))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

class DesktopShell : public Shell {
public:
    int openWebAddress(const QString& text) override;
    int openText(const QString& text) override
    {
        // A path is a local file; anything else must already be a complete
        // address: nothing is guessed from a partial text.
        QUrl url;
        if (QDir::isAbsolutePath(text)) {
            url = QUrl::fromLocalFile(text);
        } else if (text.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive)) {
            url = QUrl::fromEncoded(mailtoUrl(text), QUrl::StrictMode);
        } else {
            url = QUrl(text, QUrl::StrictMode);
        }
        if (!url.isValid() || url.scheme().isEmpty())
            return kShellNoHandler;
        if (url.isLocalFile()) {
            if (!QFileInfo::exists(url.toLocalFile()))
                return kShellFileNotFound;
            return openPictureFile(url.toLocalFile()) ? kShellOpened : kShellNoHandler;
        }
        return QDesktopServices::openUrl(url) ? kShellOpened : kShellNoHandler;
    }
};

int DesktopShell::openWebAddress(const QString& text)
{
    // Never a path or another scheme: the text goes to the web browser or nowhere.
    const QUrl url = webUrlFor(text);
    if (!url.isValid())
        return kShellNoHandler;
    return QDesktopServices::openUrl(url) ? kShellOpened : kShellNoHandler;
}

std::unique_ptr<Shell>& current()
{
    static std::unique_ptr<Shell> instance;
    return instance;
}

} // namespace

bool isOpenablePictureFile(const QString& path)
{
    if (!QDir::isAbsolutePath(path) || !hasPictureExtension(path))
        return false;
    const QFileInfo file(path);
    return file.exists() && file.isFile() && hasPictureExtension(file.canonicalFilePath());
}

Shell& shell()
{
    if (!current())
        current() = std::make_unique<DesktopShell>();
    return *current();
}

void setShell(std::unique_ptr<Shell> replacement)
{
    current() = std::move(replacement);
}

} // namespace platform
