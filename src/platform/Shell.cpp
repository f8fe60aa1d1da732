#include "platform/Shell.h"

#include "platform/MailtoUrl.h"
#include "platform/WebUrl.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace platform {

namespace {

class DesktopShell : public Shell {
public:
    int openWebAddress(const QString& text) override;
    int openText(const QString& text) override
    {
        // A path is a local file; anything else must already be a complete
        // address: nothing is guessed from a partial text.
        QUrl url;
        if (QDir::isAbsolutePath(text)) {
            if (!QFileInfo::exists(text))
                return kShellFileNotFound;
            url = QUrl::fromLocalFile(text);
        } else if (text.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive)) {
            url = QUrl::fromEncoded(mailtoUrl(text), QUrl::StrictMode);
        } else {
            url = QUrl(text, QUrl::StrictMode);
        }
        if (!url.isValid() || url.scheme().isEmpty())
            return kShellNoHandler;
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
