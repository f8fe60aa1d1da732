#include "records/ListWindow.h"

#include "bound/DBGrid.h"
#include "controls/ButtonLook.h"
#include "engine/Table.h"
#include "platform/Furniture.h"
#include "platform/Guarded.h"
#include "records/Borrar.h"
#include "records/Shared.h"

namespace records {

namespace {

struct OperationLook {
    const char* name;
    const char* caption;
};

OperationLook lookOf(ListWindow::Operation operation)
{
    switch (operation) {
    case ListWindow::Operation::Append:
        return { "But_Anadir", "Aña&dir" };
    case ListWindow::Operation::Modify:
        return { "But_Modificar", "&Modificar" };
    case ListWindow::Operation::View:
        return { "But_Ver", "&Ver" };
    case ListWindow::Operation::Delete:
        return { "But_Borrar", "&Borrar" };
    case ListWindow::Operation::Leave:
        break;
    }
    return { "But_Salir", "&Salir" };
}

} // namespace

ListWindow::ListWindow(QWidget* parent)
    : platform::Window(parent)
{
    setClientSize(742, 390);
}

void ListWindow::activate()
{
    for (engine::Table* table : tablesToOpen())
        table->open();
}

void ListWindow::closing()
{
    for (engine::Table* table : tablesToClose())
        table->close();
}

void ListWindow::addRecord()
{
    // The table settles a pending change itself before the new record.
    listTable().append();
    showRecordWindow();
}

void ListWindow::modifyRecord()
{
    // Unchanged when already editing; an empty list starts an insert.
    listTable().edit();
    showRecordWindow();
}

void ListWindow::viewRecord()
{
    showRecordWindow();
}

void ListWindow::showRecordWindow()
{
    if (m_recordWindow)
        m_recordWindow->showModal();
}

void ListWindow::deleteRecord()
{
    BorrarConfirmado = 0;
    if (m_deleteDialog)
        m_deleteDialog->showModal();
    if (BorrarConfirmado == 1)
        listTable().remove();
}

void ListWindow::leave()
{
    close();
}

TDsFancyButton* ListWindow::addOperationButton(Operation operation, int left, QSize size, int top)
{
    const OperationLook look = lookOf(operation);
    TDsFancyButton* button = controls::makeWindowButton(this, QString::fromLatin1(look.name),
        QString::fromUtf8(look.caption), QRect(QPoint(left, top), size));
    switch (operation) {
    case Operation::Append:
        connect(button, &TDsFancyButton::clicked, this, platform::guard(this, &ListWindow::addRecord));
        break;
    case Operation::Modify:
        connect(button, &TDsFancyButton::clicked, this, platform::guard(this, &ListWindow::modifyRecord));
        break;
    case Operation::View:
        connect(button, &TDsFancyButton::clicked, this, platform::guard(this, &ListWindow::viewRecord));
        break;
    case Operation::Delete:
        connect(button, &TDsFancyButton::clicked, this, platform::guard(this, &ListWindow::deleteRecord));
        break;
    case Operation::Leave:
        connect(button, &TDsFancyButton::clicked, this, platform::guard(this, &ListWindow::leave));
        break;
    }
    return button;
}

void ListWindow::modifyOnDoubleClick(bound::DBGrid* grid)
{
    connect(
        grid, &bound::DBGrid::recordDoubleClicked, this, platform::guard(this, &ListWindow::modifyRecord));
}

ListWindow::ListFurniture ListWindow::addListFurniture(int separatorTop)
{
    platform::furniture::setGround(this, platform::furniture::Ground::White);
    QLabel* picture = platform::furniture::addBackground(this);
    QFrame* band = platform::furniture::addSeparator(this, separatorTop);
    return { picture, band };
}

} // namespace records
