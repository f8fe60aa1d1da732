// Huellario's entry point: the application object, the window registry and
// the message loop; everything else lives in the windows and the data module.
#include "app/Main.h"
#include "app/FormatUpgrade.h"
#include "app/Registry.h"
#include "controls/Accelerators.h"
#include "controls/Fonts.h"
#include "engine/EngineError.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "reminders/DesktopNotice.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

bool hasDisplay()
{
    for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" }) {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    // Run at login, maybe before the desktop is ready: no window, so no display needed.
    if (argc == 2 && std::strcmp(argv[1], "--avisos") == 0) {
        QCoreApplication application(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Huellario"));
        return reminders::postDueReminders();
    }

    // Without a display Qt would abort with a crash report; say it plainly.
    if (!hasDisplay()) {
        std::fputs("Huellario necesita una pantalla gráfica y no hay ninguna (DISPLAY y WAYLAND_DISPLAY "
                   "están vacías). Para usarlo sin escritorio: xvfb-run -a huellario\n",
            stderr);
        return 2;
    }

    platform::Application application(argc, argv);
    // The name alone: a display name would be appended to every window caption.
    QCoreApplication::setApplicationName(QStringLiteral("Huellario"));
    // The program ends when the main window closes, not when the last window does.
    QApplication::setQuitOnLastWindowClosed(false);
    controls::installFontSubstitutions();
    controls::installAccelerators(application);
    app::loadQtTranslations(application);

    // Leaving at the question is the user's choice; a failed upgrade is not.
    switch (app::offerFormatUpgrade()) {
    case app::UpgradeAnswer::Start:
        break;
    case app::UpgradeAnswer::Declined:
        return 0;
    case app::UpgradeAnswer::Failed:
        return 1;
    }

    std::unique_ptr<app::Registry> registry;
    try {
        registry = std::make_unique<app::Registry>();
    } catch (const engine::EngineError& error) {
        // The registry has already been taken down, Enter-as-Tab hook included,
        // so Enter answers this box.
        platform::showMessage(
            nullptr, QStringLiteral("Application Error"), error.message(), platform::MessageIcon::Error);
        return 1;
    }

    QObject::connect(MenuGeneral, &QDialog::finished, &application, &QCoreApplication::quit);
    MenuGeneral->show();
    const int code = QApplication::exec();
    registry.reset();
    return code;
}
