#include "records/RecordWindow.h"

#include "controls/ButtonLook.h"
#include "engine/Table.h"
#include "platform/Furniture.h"
#include "platform/Guarded.h"

#include <QFrame>
#include <QLabel>

namespace records {

RecordWindow::RecordWindow(QWidget* parent)
    : platform::Window(parent)
{
}

void RecordWindow::activate()
{
    if (!But_Cerrar)
        return;
    const engine::TableState state = recordTable().state();
    const bool editing = state == engine::TableState::Edit || state == engine::TableState::Insert;
    if (But_Aceptar)
        But_Aceptar->setVisible(editing);
    if (But_Cancelar)
        But_Cancelar->setVisible(editing);
    But_Cerrar->setVisible(!editing);
}

void RecordWindow::acceptRecord()
{
    // The focused box writes its pending text as part of the post.
    recordTable().post();
    close();
}

void RecordWindow::cancelRecord()
{
    recordTable().cancel();
    close();
}

void RecordWindow::closeRecord()
{
    close();
}

TDsFancyButton* RecordWindow::addAcceptButton(const QRect& geometry)
{
    But_Aceptar = controls::makeWindowButton(
        this, QStringLiteral("But_Aceptar"), QStringLiteral("&Aceptar"), geometry);
    connect(But_Aceptar, &TDsFancyButton::clicked, this, platform::guard(this, &RecordWindow::acceptRecord));
    return But_Aceptar;
}

TDsFancyButton* RecordWindow::addCancelButton(const QRect& geometry)
{
    But_Cancelar = controls::makeWindowButton(
        this, QStringLiteral("But_Cancelar"), QStringLiteral("&Cancelar"), geometry);
    connect(But_Cancelar, &TDsFancyButton::clicked, this, platform::guard(this, &RecordWindow::cancelRecord));
    return But_Cancelar;
}

TDsFancyButton* RecordWindow::addCloseButton(const QRect& geometry)
{
    But_Cerrar
        = controls::makeWindowButton(this, QStringLiteral("But_Cerrar"), QStringLiteral("&Cerrar"), geometry);
    connect(But_Cerrar, &TDsFancyButton::clicked, this, platform::guard(this, &RecordWindow::closeRecord));
    return But_Cerrar;
}

RecordWindow::RecordFurniture RecordWindow::addRecordFurniture()
{
    QLabel* picture = platform::furniture::addBackground(this);
    QFrame* band = platform::furniture::addSeparator(this, 336);
    band->setGeometry(0, 336, 729, 9);
    addAcceptButton(QRect(230, 353, 113, 30));
    addCancelButton(QRect(398, 353, 113, 30));
    addCloseButton(QRect(314, 352, 113, 30));
    return { picture, band };
}

} // namespace records
