// The menu entry runs the set-up with --ventana before the program: its
// message is then also shown in a window, since no terminal shows stderr.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QIODevice>
#include <QString>

#include <memory>

namespace setup {

// The application object for this run: one that can show windows when
// `window` is asked for and a display is at hand, else a console one.
// `drawing`: the run draws pages (a card to PDF), which needs a graphical
// application; without a display it draws offscreen.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv, bool window, bool drawing = false);

// Standard error, keeping a copy of what was written for the window.
class ErrorOutput : public QIODevice {
public:
    ErrorOutput();
    QString text() const { return QString::fromUtf8(m_copy); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    QByteArray m_copy;
};

// With `window`, shows `message` in an error box titled "Huellario" when
// the application can show windows. Returns `exitCode`.
int reportFailure(bool window, int exitCode, const QString& message);

} // namespace setup
