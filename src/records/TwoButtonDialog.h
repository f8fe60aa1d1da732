// Base of the small shared dialogs: a picture ground, a band, a question or a
// field over two buttons, the first choosing and the second cancelling.
#pragma once

#include "platform/Window.h"

class QFrame;
class QLabel;
class TDsFancyButton;

namespace records {

class TwoButtonDialog : public platform::Window {
    Q_OBJECT
public:
    // The first button: the choice, then close.
    void choose();
    // Cancelar: no choice, then close.
    void cancel();

    QLabel* Image1 = nullptr;
    TDsFancyButton* But_Aceptar = nullptr;
    TDsFancyButton* But_Cancelar = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* Label1 = nullptr;

protected:
    // `objectName` and `title` name the window, `acceptCaption` its first button.
    TwoButtonDialog(const QString& objectName, const QString& title, QString acceptCaption, QWidget* parent);

    // Makes the ground, the two buttons and the band, then the dialog's own
    // controls through buildContent().
    void build() override;
    virtual void buildContent() = 0;
    // What each button answers to the caller, before the dialog closes.
    virtual void answerChosen() = 0;
    virtual void answerCancelled() = 0;

private:
    QString m_acceptCaption;
};

} // namespace records
