// The application object. Errors are caught where a handler starts
// (platform::guarded); its notify() keeps a last-resort catch for one that
// was missed, which shows it in the "Huellario" error box all the same.
#pragma once

#include <QApplication>

namespace platform {

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The error box's text: a full stop is added when the last character
    // sorts after "." (an empty text stays empty).
    static QString withFullStop(const QString& text);
    // Shows `text` as the application's error box.
    static void showError(const QString& text);
    // For tests: an error reaching the last-resort catch stops the program,
    // so a handler left unguarded fails the test that reaches it.
    static void setLastResortIsFault(bool fault);
};

} // namespace platform
