// Enter acts as Tab in every window of the program: an application-wide
// event filter that turns a key press of Enter into Tab before any widget sees it.
#pragma once

#include <QObject>

namespace platform {

class EnterAsTab : public QObject {
    Q_OBJECT
public:
    // Installs itself on the application object for its whole life.
    explicit EnterAsTab(QObject* parent = nullptr);
    ~EnterAsTab() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace platform
