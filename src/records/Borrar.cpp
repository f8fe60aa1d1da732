#include "records/Borrar.h"

#include "controls/ButtonLook.h"
#include "platform/Furniture.h"
#include "records/Shared.h"

#include <QFrame>
#include <QLabel>

namespace furniture = platform::furniture;

TFichaBorrar::TFichaBorrar(QWidget* parent)
    : platform::Window(parent)
{
    setObjectName(QStringLiteral("FichaBorrar"));
    setWindowTitle(QStringLiteral("Eliminar Registro"));
    setClientSize(401, 110);
    furniture::setGround(this, furniture::Ground::ButtonFace);

    buildUnlessDeferred();
}

void TFichaBorrar::build()
{
    // Built from back to front.
    Image1 = furniture::addBackground(this);
    But_Aceptar = controls::makeWindowButton(
        this, QStringLiteral("But_Aceptar"), QStringLiteral("&Eliminar"), QRect(75, 81, 113, 20));
    But_Cancelar = controls::makeWindowButton(
        this, QStringLiteral("But_Cancelar"), QStringLiteral("&Cancelar"), QRect(213, 81, 113, 20));
    Bevel1 = furniture::addSeparator(this, 70);
    Label1 = new QLabel(QStringLiteral("Esta seguro de querer eliminar el registro "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    furniture::styleFieldLabel(Label1);
    Label1->setFont(furniture::font(QStringLiteral("MS Sans Serif"), 13, true));
    Label1->adjustSize();
    Label1->move(82, 26);
    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(furniture::stopSignPicture());
    Image2->setGeometry(26, 16, 32, 32);

    connect(But_Aceptar, &TDsFancyButton::clicked, this, &TFichaBorrar::confirm);
    connect(But_Cancelar, &TDsFancyButton::clicked, this, &TFichaBorrar::cancel);
}

void TFichaBorrar::activate()
{
    BorrarConfirmado = 0;
}

void TFichaBorrar::confirm()
{
    BorrarConfirmado = 1;
    close();
}

void TFichaBorrar::cancel()
{
    BorrarConfirmado = 0;
    close();
}
