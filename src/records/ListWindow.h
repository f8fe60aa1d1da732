// Base of the list windows: a table's records in a grid and the operations
// Añadir, Modificar, Ver, Borrar and Salir on the current record.
#pragma once

#include "platform/Window.h"

#include <QRect>
#include <vector>

namespace engine {
class Table;
}
namespace bound {
class DBGrid;
}
class TDsFancyButton;
class TFichaBorrar;

namespace records {

class ListWindow : public platform::Window {
    Q_OBJECT
public:
    enum class Operation { Append, Modify, View, Delete, Leave };

    explicit ListWindow(QWidget* parent = nullptr);

    // The operations of the buttons; each stops at a step that fails.
    void addRecord();
    void modifyRecord();
    void viewRecord();
    void deleteRecord();
    void leave();

    // The confirmation dialog for Borrar, when the window does not name its own.
    void setDeleteDialog(TFichaBorrar* dialog) { m_deleteDialog = dialog; }

protected:
    // The table listed, and the window that shows its current record.
    virtual engine::Table& listTable() const = 0;
    virtual platform::Window* recordWindow() const = 0;
    // Tables opened on every activation and closed on every close, in order.
    virtual std::vector<engine::Table*> tablesToOpen() const = 0;
    virtual std::vector<engine::Table*> tablesToClose() const = 0;
    virtual TFichaBorrar* deleteDialog() const { return m_deleteDialog; }

    // Windows with more steps on showing or closing call these too.
    void activate() override;
    void closing() override;

    // A button of the standard look with the operation's name and caption,
    // by default 95 x 30 in the row at 345.
    TDsFancyButton* addOperationButton(Operation operation, int left, QSize size = { 95, 30 }, int top = 345);
    // Modificar on a double click of a record of the grid.
    void modifyOnDoubleClick(bound::DBGrid* grid);
    // White client area with the background picture and the band at 320.
    void addListFurniture(int separatorTop = 320);

private:
    TFichaBorrar* m_deleteDialog = nullptr;
};

} // namespace records
