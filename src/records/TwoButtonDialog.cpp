#include "records/TwoButtonDialog.h"

#include "controls/ButtonLook.h"
#include "platform/Furniture.h"
#include "platform/Guarded.h"

#include <QFrame>
#include <QLabel>

namespace records {

namespace furniture = platform::furniture;

TwoButtonDialog::TwoButtonDialog(
    const QString& objectName, const QString& title, QString acceptCaption, QWidget* parent)
    : platform::Window(parent)
    , m_acceptCaption(std::move(acceptCaption))
{
    setObjectName(objectName);
    setWindowTitle(title);
    setClientSize(401, 110);
    furniture::setGround(this, furniture::Ground::ButtonFace);
}

void TwoButtonDialog::build()
{
    // Built from back to front.
    Image1 = furniture::addBackground(this);
    But_Aceptar = controls::makeWindowButton(
        this, QStringLiteral("But_Aceptar"), m_acceptCaption, QRect(75, 81, 113, 20));
    But_Cancelar = controls::makeWindowButton(
        this, QStringLiteral("But_Cancelar"), QStringLiteral("&Cancelar"), QRect(213, 81, 113, 20));
    Bevel1 = furniture::addSeparator(this, 70);
    buildContent();

    connect(But_Aceptar, &TDsFancyButton::clicked, this, platform::guard(this, &TwoButtonDialog::choose));
    connect(But_Cancelar, &TDsFancyButton::clicked, this, platform::guard(this, &TwoButtonDialog::cancel));
}

void TwoButtonDialog::choose()
{
    answerChosen();
    close();
}

void TwoButtonDialog::cancel()
{
    answerCancelled();
    close();
}

} // namespace records
