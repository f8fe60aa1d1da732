#include "reminders/FicRAvis.h"

#include "bound/DBEdit.h"
#include "controls/FancyButton.h"
#include "data/ModGen.h"
#include "platform/Furniture.h"
#include "records/BoundBoxes.h"

#include <QFrame>
#include <QLabel>

namespace furniture = platform::furniture;

TFichaRegAvisos::TFichaRegAvisos(TModuloGeneral& dataModule, QWidget* parent)
    : records::RecordWindow(parent)
    , m_data(dataModule)
{
    setObjectName(QStringLiteral("FichaRegAvisos"));
    setWindowTitle(QStringLiteral("Datos del Aviso."));
    setClientSize(537, 232);
    setHelpTopic(8, true);
    furniture::setGround(this, furniture::Ground::White);

    buildUnlessDeferred();
}

void TFichaRegAvisos::build()
{
    // Built from back to front. The picture's frame is wider than the
    // window, so the window shows its left part.
    Image1 = furniture::addBackground(this, QRect(0, 0, 742, 232));
    addAcceptButton(QRect(120, 200, 113, 20));
    addCancelButton(QRect(304, 200, 113, 20));
    Bevel1 = furniture::addSeparator(this, 184);
    Bevel1->setGeometry(0, 184, 537, 5);
    // The labels sit on an opaque white ground over the picture.
    const auto back = furniture::LabelBack::White;
    Label1 = furniture::addFieldLabel(
        this, QStringLiteral("Inicio del Aviso :"), 106, 17, back, QStringLiteral("Label1"));
    Label3 = furniture::addFieldLabel(
        this, QStringLiteral("Final del Aviso :"), 106, 49, back, QStringLiteral("Label3"));
    Label2 = furniture::addFieldLabel(
        this, QStringLiteral("Descripción :"), 106, 81, back, QStringLiteral("Label2"));
    Label4 = furniture::addFieldLabel(
        this, QStringLiteral("Observaciones :"), 106, 113, back, QStringLiteral("Label4"));
    But_cerrar = addCloseButton(QRect(212, 200, 113, 20));
    But_cerrar->setObjectName(QStringLiteral("But_cerrar"));

    engine::DataSource* avisos = m_data.SourceAvisos;
    EditInicio = records::addBoundBox(this, "EditInicio", avisos, "INICIO", QRect(121, 16, 73, 21), false);
    EditFin = records::addBoundBox(this, "EditFin", avisos, "FIN", QRect(121, 48, 73, 21), false);
    EditConcepto
        = records::addBoundBox(this, "EditConcepto", avisos, "CONCEPTO", QRect(122, 79, 391, 21), true);
    // The description box takes fewer characters than the field holds.
    EditConcepto->setFieldMaxLength(45);
    EditObserva1
        = records::addBoundBox(this, "EditObserva1", avisos, "OBSERVA1", QRect(122, 111, 391, 21), true);
    EditObserva2
        = records::addBoundBox(this, "EditObserva2", avisos, "OBSERVA2", QRect(122, 143, 391, 21), true);
    Label2->setBuddy(EditConcepto);

    QWidget::setTabOrder(EditInicio, EditFin);
    QWidget::setTabOrder(EditFin, EditConcepto);
    QWidget::setTabOrder(EditConcepto, EditObserva1);
    QWidget::setTabOrder(EditObserva1, EditObserva2);
}

engine::Table& TFichaRegAvisos::recordTable() const
{
    return *m_data.TablaAvisos;
}

void TFichaRegAvisos::activate()
{
    records::RecordWindow::activate();
    // Whatever opened the window, typing starts at the first day.
    EditInicio->setFocus(Qt::OtherFocusReason);
    EditInicio->selectAll();
}

void TFichaRegAvisos::closeRecord()
{
    // The focused box's typed text is dropped with the rest.
    recordTable().cancel();
    records::RecordWindow::closeRecord();
}
