#include "app/Main.h"

#include "platform/Help.h"

#include <QCoreApplication>
#include <QDir>

// The window's contents come with the main window's own part; for now it is
// the bare frame, with the application-wide behaviours its creation installs.
TMenuGeneral::TMenuGeneral(QWidget* parent)
    : platform::Window(parent)
{
    // A borderless top-level window: the caption is never drawn, but it names
    // the window for the desktop.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("Huellario  2.0"));
    setClientSize(742, 390);
    setHelpTopic(2);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);

    AppMessage = std::make_unique<platform::EnterAsTab>();
    platform::help::setHelpFile(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("HLR20.HLP")));
}

TMenuGeneral::~TMenuGeneral() = default;
