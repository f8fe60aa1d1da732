// Base of the list windows: a table's records in a grid and the operations
// Añadir, Modificar, Ver, Borrar and Salir on the current record.
//
// How a window gets what it uses: a window that uses data takes the data module
// first in its constructor, `TWindow(TModuloGeneral& dataModule, QWidget*
// parent = nullptr)` (not `data`, which QWidget already has), and keeps it as
// `m_data`. A list window gets the windows it shows through the setters below.
// Only src/app/Registry.cpp calls them, right after creating every window; no
// window reads the registry's global references.
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
class QFrame;
class QLabel;
class TDsFancyButton;
class TFichaBorrar;
class TFichaBuscar;

namespace records {

class ListWindow : public platform::Window {
    Q_OBJECT
public:
    enum class Operation { Append, Modify, View, Delete, Leave };

    explicit ListWindow(QWidget* parent = nullptr);

    // The operations of the buttons; each stops at a step that fails.
    // Windows whose records need more than the table gives (a code of their
    // own, records that belong to them) add or delete in their own way.
    virtual void addRecord();
    void modifyRecord();
    void viewRecord();
    virtual void deleteRecord();
    void leave();

    // The windows this one shows: the record window of the pair (Añadir,
    // Modificar, Ver), the confirmation for Borrar and the search text dialog.
    // An operation whose window is not set stops before showing it.
    void setRecordWindow(platform::Window* window) { m_recordWindow = window; }
    void setDeleteDialog(TFichaBorrar* dialog) { m_deleteDialog = dialog; }
    void setSearchDialog(TFichaBuscar* dialog) { m_searchDialog = dialog; }

protected:
    // The table listed.
    virtual engine::Table& listTable() const = 0;
    // Tables opened on every activation and closed on every close, in order.
    virtual std::vector<engine::Table*> tablesToOpen() const = 0;
    virtual std::vector<engine::Table*> tablesToClose() const = 0;

    platform::Window* recordWindow() const { return m_recordWindow; }
    TFichaBorrar* deleteDialog() const { return m_deleteDialog; }
    TFichaBuscar* searchDialog() const { return m_searchDialog; }

    void showRecordWindow();

    // Windows with more steps on showing or closing call these too.
    void activate() override;
    void closing() override;

    // A button of the standard look with the operation's name and caption,
    // by default 95 x 30 in the row at 345.
    TDsFancyButton* addOperationButton(Operation operation, int left, QSize size = { 95, 30 }, int top = 345);
    // Modificar on a double click of a record of the grid.
    void modifyOnDoubleClick(bound::DBGrid* grid);
    // What addListFurniture() made.
    struct ListFurniture {
        QLabel* picture;
        QFrame* band;
    };
    // White client area with the background picture and the band at 320.
    ListFurniture addListFurniture(int separatorTop = 320);

private:
    platform::Window* m_recordWindow = nullptr;
    TFichaBorrar* m_deleteDialog = nullptr;
    TFichaBuscar* m_searchDialog = nullptr;
};

} // namespace records
