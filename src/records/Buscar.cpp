#include "records/Buscar.h"

#include "controls/ButtonLook.h"
#include "platform/Furniture.h"
#include "records/Shared.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>

namespace furniture = platform::furniture;

TFichaBuscar::TFichaBuscar(QWidget* parent)
    : platform::Window(parent)
{
    setObjectName(QStringLiteral("FichaBuscar"));
    setWindowTitle(QStringLiteral("Buscar"));
    setClientSize(401, 110);
    furniture::setGround(this, furniture::Ground::ButtonFace);

    buildUnlessDeferred();
}

void TFichaBuscar::build()
{
    // Built from back to front.
    Image1 = furniture::addBackground(this);
    But_Aceptar = controls::makeWindowButton(
        this, QStringLiteral("But_Aceptar"), QStringLiteral("&Aceptar"), QRect(75, 81, 113, 20));
    But_Cancelar = controls::makeWindowButton(
        this, QStringLiteral("But_Cancelar"), QStringLiteral("&Cancelar"), QRect(213, 81, 113, 20));
    Bevel1 = furniture::addSeparator(this, 70);
    Label1 = new QLabel(QStringLiteral("Buscar :"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    furniture::styleFieldLabel(Label1);
    Label1->adjustSize();
    Label1->move(16, 26);
    TextoBusqueda = new QLineEdit(this);
    TextoBusqueda->setObjectName(QStringLiteral("TextoBusqueda"));
    TextoBusqueda->setGeometry(72, 24, 313, 21);
    furniture::styleBoundBox(TextoBusqueda);
    TextoBusqueda->setProperty("hlrTakesCharacters", true);

    connect(But_Aceptar, &TDsFancyButton::clicked, this, &TFichaBuscar::acceptText);
    connect(But_Cancelar, &TDsFancyButton::clicked, this, &TFichaBuscar::cancel);
}

void TFichaBuscar::activate()
{
    TextoBusqueda->clear();
    TextoBusqueda->setFocus(Qt::OtherFocusReason);
}

void TFichaBuscar::acceptText()
{
    TextoBuscado = TextoBusqueda->text();
    close();
}

void TFichaBuscar::cancel()
{
    TextoBuscado.clear();
    close();
}
