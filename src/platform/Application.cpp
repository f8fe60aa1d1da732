#include "platform/Application.h"

#include "engine/EngineError.h"
#include "platform/Dialogs.h"

#include <cstdio>
#include <new>

namespace platform {

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

QString Application::withFullStop(const QString& text)
{
    if (!text.isEmpty() && text.back() > QLatin1Char('.'))
        return text + QLatin1Char('.');
    return text;
}

void Application::showError(const QString& text)
{
    showMessage(nullptr, QStringLiteral("Huellario"), withFullStop(text), MessageIcon::Error);
}

namespace {

// Showing the box may itself fail (no memory left): the error then goes to
// the terminal rather than out of the loop.
void report(const QString& text) noexcept
{
    try {
        Application::showError(text);
    } catch (...) {
        fprintf(stderr, "Huellario: %s\n", text.toLocal8Bit().constData());
    }
}

} // namespace

bool Application::notify(QObject* receiver, QEvent* event)
{
    // The failed operation stops here; the loop, and the program, go on.
    try {
        return QApplication::notify(receiver, event);
    } catch (const engine::EngineError& error) {
        report(error.message());
    } catch (const std::bad_alloc&) {
        report(QStringLiteral("No hay memoria suficiente para terminar la operación"));
    } catch (const std::exception& error) {
        report(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        report(QStringLiteral("Se ha producido un error desconocido"));
    }
    return false;
}

} // namespace platform
