// Base of the record windows: the current record of a table in bound boxes,
// accepted (post), cancelled, or only looked at (Cerrar).
#pragma once

#include "platform/Window.h"

#include <QRect>

namespace engine {
class Table;
}
class QFrame;
class QLabel;
class TDsFancyButton;

namespace records {

class RecordWindow : public platform::Window {
    Q_OBJECT
public:
    explicit RecordWindow(QWidget* parent = nullptr);

    // Aceptar: post, then close; a failed post keeps the window open.
    void acceptRecord();
    // Cancelar: drop the pending change, then close.
    void cancelRecord();
    // Cerrar: close, the table's state untouched (a window may cancel first).
    virtual void closeRecord();

    TDsFancyButton* But_Aceptar = nullptr;
    TDsFancyButton* But_Cancelar = nullptr;
    TDsFancyButton* But_Cerrar = nullptr;

protected:
    virtual engine::Table& recordTable() const = 0;

    // Windows with Cerrar show Aceptar and Cancelar while the table edits or
    // inserts, Cerrar alone in browse state. Windows with more steps call
    // this first.
    void activate() override;

    TDsFancyButton* addAcceptButton(const QRect& geometry);
    TDsFancyButton* addCancelButton(const QRect& geometry);
    TDsFancyButton* addCloseButton(const QRect& geometry);

    // What addRecordFurniture() made.
    struct RecordFurniture {
        QLabel* picture;
        QFrame* band;
    };
    // The furniture of a full-size record window with Cerrar, back to front:
    // the background picture, the band at 336 and Aceptar, Cancelar and
    // Cerrar below it.
    RecordFurniture addRecordFurniture();
};

} // namespace records
