#include "about/Acerca.h"

// An empty window for now: its controls and behaviour come with its own part.
TAboutBox::TAboutBox(QWidget* parent)
    : platform::Window(parent)
{
    setWindowTitle(QStringLiteral("AboutBox"));
    setClientSize(543, 336);
    setHelpTopic(1);
}
