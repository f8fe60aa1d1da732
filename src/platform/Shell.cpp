#include "platform/Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace platform {

namespace {

class DesktopShell : public Shell {
public:
    bool openText(const QString& text) override
    {
        // A path is a local file; anything else must already be a complete
        // address: nothing is guessed from a partial text.
        const QUrl url
            = QDir::isAbsolutePath(text) ? QUrl::fromLocalFile(text) : QUrl(text, QUrl::StrictMode);
        if (!url.isValid() || url.scheme().isEmpty())
            return false;
        return QDesktopServices::openUrl(url);
    }
};

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
