#include "FailureWindow.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace setup {

namespace {

bool displayAtHand()
{
    // Without one QApplication would end the process; the message still
    // reaches stderr.
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY")
        || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

} // namespace

std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv, bool window, bool drawing)
{
    if (window && displayAtHand())
        return std::make_unique<QApplication>(argc, argv);
    if (drawing) {
        if (!displayAtHand())
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QApplication>(argc, argv);
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

ErrorOutput::ErrorOutput()
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 ErrorOutput::writeData(const char* data, qint64 size)
{
    m_copy.append(data, size);
    std::fwrite(data, 1, size_t(size), stderr);
    std::fflush(stderr);
    return size;
}

int reportFailure(bool window, int exitCode, const QString& message)
{
    if (window && exitCode != 0 && !message.trimmed().isEmpty()
        && qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QMessageBox box(
            QMessageBox::Critical, QStringLiteral("Huellario"), message.trimmed(), QMessageBox::Ok);
        box.exec();
    }
    return exitCode;
}

} // namespace setup
