#include "platform/Application.h"

#include "engine/EngineError.h"
#include "platform/Dialogs.h"
#include "platform/Guarded.h"

#include <atomic>
#include <cstdio>
#include <exception>
#include <new>

namespace platform {

namespace {

std::atomic<bool> lastResortIsFault = false;

// Showing the box may itself fail (no memory left): the error then goes to
// the terminal rather than out of the handler.
void report(const QString& text) noexcept
{
    try {
        Application::showError(text);
    } catch (...) {
        fprintf(stderr, "Huellario: %s\n", text.toLocal8Bit().constData());
    }
}

} // namespace

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

void Application::setLastResortIsFault(bool fault)
{
    lastResortIsFault = fault;
}

void showCurrentError() noexcept
{
    try {
        throw;
    } catch (const engine::EngineError& error) {
        report(error.message());
    } catch (const std::bad_alloc&) {
        report(QStringLiteral("No hay memoria suficiente para terminar la operación"));
    } catch (const std::exception& error) {
        report(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        report(QStringLiteral("Se ha producido un error desconocido"));
    }
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    // Handlers catch their own errors (guarded()); one that got this far
    // has already unwound through Qt. The program still goes on.
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (lastResortIsFault)
            qFatal("An error left a handler unguarded and reached Application::notify");
        showCurrentError();
    }
    return false;
}

} // namespace platform
