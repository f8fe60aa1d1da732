// The about window:
// the product's title and version, links to the maker and the news sign-up.
#pragma once

#include "about/SignUpMail.h"
#include "platform/Window.h"

class QFrame;
class QLabel;
class QPlainTextEdit;
class TDsFancyButton;

class TAboutBox : public platform::Window {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QWidget* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr; // the maker's mail address, a link
    QLabel* Label5 = nullptr; // the maker's web address, a link
    QFrame* Bevel1 = nullptr;
    TDsFancyButton* But_Modificar = nullptr; // "&Registro"
    TDsFancyButton* But_Salir = nullptr; // "&Cerrar"
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QFrame* Bevel2 = nullptr;
    // Never shown: holds the lines of the sign-up form.
    QPlainTextEdit* Memo1 = nullptr;

    // The values the last mail was composed from; they outlive each showing.
    about::MailRequest& mailRequest() { return m_mail; }

    void openMailLink();
    void openWebLink();
    // Fills the mail request with the sign-up e-mail and sends it.
    void signUp();
    // Composes the mail request and hands it to the desktop's mail handler.
    void sendMail();

protected:
    void build() override;

private:
    QLabel* addLabel(const QString& name, const QString& text, const QFont& font, const QColor& color);
    QLabel* addCentredLabel(
        const QString& name, const QString& text, int top, const QFont& font, const QColor& color);

    about::MailRequest m_mail;
};
