#include "records/Borrar.h"

#include "platform/Furniture.h"
#include "records/Shared.h"

#include <QLabel>

namespace furniture = platform::furniture;

TFichaBorrar::TFichaBorrar(QWidget* parent)
    : records::TwoButtonDialog(QStringLiteral("FichaBorrar"), QStringLiteral("Eliminar Registro"),
        QStringLiteral("&Eliminar"), parent)
{
    buildUnlessDeferred();
}

void TFichaBorrar::buildContent()
{
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
}

void TFichaBorrar::activate()
{
    BorrarConfirmado = 0;
}

void TFichaBorrar::answerChosen()
{
    BorrarConfirmado = 1;
}

void TFichaBorrar::answerCancelled()
{
    BorrarConfirmado = 0;
}
