// The clinic record window: one clinic's name, veterinarian, address, phones,
// e-mail and web address, with two buttons that hand the last two to the desktop.
#pragma once

#include "records/RecordWindow.h"

class QFrame;
class QLabel;
class QToolButton;
class TModuloGeneral;
namespace bound {
class DBEdit;
}

class TFichaVeterinarios : public records::RecordWindow {
    Q_OBJECT
public:
    explicit TFichaVeterinarios(TModuloGeneral& dataModule, QWidget* parent = nullptr);

    // "Enviar Correo": "mailto:" and the stored e-mail address, trimmed.
    void sendMail();
    // "Abrir dirección Web": the stored web address, trimmed.
    void openWeb();

    QLabel* Image1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    bound::DBEdit* EditClinica = nullptr;
    bound::DBEdit* DBEdit1 = nullptr;
    bound::DBEdit* Editdomicilio = nullptr;
    bound::DBEdit* Editlocalidad = nullptr;
    bound::DBEdit* EditCodPostal = nullptr;
    bound::DBEdit* EditProvincia = nullptr;
    bound::DBEdit* Edittelf1 = nullptr;
    bound::DBEdit* Edittelf2 = nullptr;
    bound::DBEdit* DBEdit15 = nullptr;
    bound::DBEdit* DBEdit16 = nullptr;
    bound::DBEdit* DBEdit17 = nullptr;
    bound::DBEdit* Editobserv = nullptr;
    bound::DBEdit* Editobserv2 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;

protected:
    void build() override;
    engine::Table& recordTable() const override;

private:
    bound::DBEdit* addBox(const char* name, const char* field, const QRect& geometry, bool upperCase = true);
    QToolButton* addLinkButton(const char* name, const QPixmap& picture, const QString& hint, int top);

    TModuloGeneral& m_data;
};

namespace health {

// A text from the tables as handed to the desktop: without the blanks and
// control characters before and after it, its letters as they are.
QString trimmedAddress(const QString& text);

// The two link buttons' 16 x 16 pictures: an envelope, and a globe with a
// magnifying glass.
const QPixmap& mailPicture();
const QPixmap& webPicture();

} // namespace health
