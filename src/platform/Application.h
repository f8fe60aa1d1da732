// The application object: one place that catches every error raised while
// events are processed and shows it in the "Huellario" error box.
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
};

} // namespace platform
