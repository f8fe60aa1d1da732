#include "records/Buscar.h"

#include "platform/Furniture.h"
#include "records/Shared.h"

#include <QLabel>
#include <QLineEdit>

namespace furniture = platform::furniture;

TFichaBuscar::TFichaBuscar(QWidget* parent)
    : records::TwoButtonDialog(
        QStringLiteral("FichaBuscar"), QStringLiteral("Buscar"), QStringLiteral("&Aceptar"), parent)
{
    buildUnlessDeferred();
}

void TFichaBuscar::buildContent()
{
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
}

void TFichaBuscar::activate()
{
    TextoBusqueda->clear();
    TextoBusqueda->setFocus(Qt::OtherFocusReason);
}

void TFichaBuscar::answerChosen()
{
    TextoBuscado = TextoBusqueda->text();
}

void TFichaBuscar::answerCancelled()
{
    TextoBuscado.clear();
}
