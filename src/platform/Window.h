// Base of every window of the program: the standard frame (centred, no
// title-bar buttons), a fixed client size, the activation step that runs
// once per showing, the closing step however the window closes, F1 help.
#pragma once

#include <QDialog>

namespace platform {

class Window : public QDialog {
    Q_OBJECT
public:
    explicit Window(QWidget* parent = nullptr);

    // Fixed client area; the window is centred on the screen at each showing.
    void setClientSize(int width, int height);
    // Help topic for F1; 0: F1 does nothing. A pop-up topic shows at the
    // top-left corner of the client area.
    void setHelpTopic(int topic, bool popup = false);
    int helpTopic() const { return m_helpTopic; }
    bool helpIsPopup() const { return m_helpPopup; }

    // Shows the window modally and returns when it closes.
    void showModal();

    // Makes the window's controls if they are not made yet. Windows made while
    // a DeferBuilding lives (the registry's, at start-up) make them at their
    // first showing, so the main window appears without waiting for them.
    void ensureBuilt();
    bool isBuilt() const { return m_built; }

    class DeferBuilding {
    public:
        DeferBuilding();
        ~DeferBuilding();
        DeferBuilding(const DeferBuilding&) = delete;
        DeferBuilding& operator=(const DeferBuilding&) = delete;
    };

    void setVisible(bool visible) override;
    // Every way of closing ends here (public, as in QDialog).
    void done(int result) override;

protected:
    // Makes the controls; runs once, before the first showing at the latest.
    virtual void build() { }
    // The last step of each window class's constructor.
    void buildUnlessDeferred();

    // Runs once each time the window is shown, before the user can act; not
    // when a dialog it showed closes, nor on coming back from another program.
    virtual void activate() { }
    // Runs once each time the window closes, by its buttons or otherwise.
    virtual void closing() { }

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void endShowing();

    int m_helpTopic = 0;
    bool m_helpPopup = false;
    bool m_shown = false;
    bool m_built = false;
};

} // namespace platform
