// A small list-and-record pair over the test notes, built on the shared
// bases as the program's windows are, and the means to work its buttons.
#pragma once

#include "bound/DBCheckBox.h"
#include "bound/DBEdit.h"
#include "bound/DBGrid.h"
#include "controls/FancyButton.h"
#include "records/Borrar.h"
#include "records/ListWindow.h"
#include "records/RecordWindow.h"
#include "support/BoundTesting.h"

#include <QMouseEvent>
#include <QTest>

#include <tuple>
#include <vector>

namespace recordtest {

// The record window: the name, the date and the done tick of a note.
class NoteRecord : public records::RecordWindow {
public:
    NoteRecord(boundtest::TestData& testData, bool withClose)
        : m_data(testData)
    {
        setWindowTitle(QStringLiteral("Nota"));
        setClientSize(400, 200);
        EditNombre = bind(new bound::DBEdit(this), "NOMBRE", 20);
        EditFecha = bind(new bound::DBEdit(this), "FECHA", 50);
        EditHecho = new bound::DBCheckBox(QStringLiteral("Hecho"), this);
        EditHecho->setDataSource(testData.notes.source.get());
        EditHecho->setDataField(QStringLiteral("HECHO"));
        EditHecho->move(100, 80);
        addAcceptButton(QRect(20, 150, 95, 30));
        addCancelButton(QRect(280, 150, 95, 30));
        if (withClose)
            addCloseButton(QRect(150, 150, 95, 30));
    }

    bound::DBEdit* EditNombre;
    bound::DBEdit* EditFecha;
    bound::DBCheckBox* EditHecho;

protected:
    engine::Table& recordTable() const override { return *m_data.notes.table; }

private:
    bound::DBEdit* bind(bound::DBEdit* box, const char* field, int top)
    {
        box->setDataSource(m_data.notes.source.get());
        box->setDataField(QString::fromLatin1(field));
        box->setGeometry(100, top, 150, 21);
        return box;
    }
    boundtest::TestData& m_data;
};

// The list window: the notes of the current pet in a grid, five buttons.
class NoteList : public records::ListWindow {
public:
    NoteList(boundtest::TestData& testData, NoteRecord& record, TFichaBorrar& deleteDialog)
        : m_data(testData)
    {
        setWindowTitle(QStringLiteral("Notas"));
        addListFurniture();
        DbGridNotas = new bound::DBGrid(this);
        DbGridNotas->setObjectName(QStringLiteral("DbGridNotas"));
        DbGridNotas->setGeometry(10, 100, 700, 200);
        DbGridNotas->setDataSource(testData.notes.source.get());
        DbGridNotas->setColumns({ { QStringLiteral("NOMBRE"), QStringLiteral("Nombre") },
            { QStringLiteral("FECHA"), QStringLiteral("Fecha") } });
        int left = 20;
        for (auto operation :
            { Operation::Append, Operation::Modify, Operation::View, Operation::Delete, Operation::Leave }) {
            addOperationButton(operation, left);
            left += 140;
        }
        modifyOnDoubleClick(DbGridNotas);
        setRecordWindow(&record);
        setDeleteDialog(&deleteDialog);
    }

    bound::DBGrid* DbGridNotas;

protected:
    engine::Table& listTable() const override { return *m_data.notes.table; }
    std::vector<engine::Table*> tablesToOpen() const override
    {
        return { m_data.pets.table.get(), m_data.notes.table.get() };
    }
    std::vector<engine::Table*> tablesToClose() const override
    {
        return { m_data.notes.table.get(), m_data.pets.table.get() };
    }

private:
    boundtest::TestData& m_data;
};

inline TDsFancyButton* button(QWidget* window, const char* name)
{
    return window->findChild<TDsFancyButton*>(QString::fromLatin1(name));
}

// A pointer click in the middle of a fancy button. A wrong name ends the
// test program at once: inside a modal window a warning would leave the
// window waiting until the test's time runs out.
inline void click(QWidget* window, const char* name)
{
    TDsFancyButton* b = button(window, name);
    if (!b)
        qFatal("no button %s in %s", name, qPrintable(window->objectName()));
    // The button answers a press only while the pointer is over it. The move
    // goes to the button itself: with windows stacked the offscreen desktop
    // would hand a pointer move to the lowest window.
    const QPoint centre = b->rect().center();
    QMouseEvent move(
        QEvent::MouseMove, centre, b->mapToGlobal(centre), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(b, &move);
    QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
}

// Shows a window non-modally, as the main window leaves it, and waits until
// it is active.
inline void showActive(QWidget* window)
{
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

inline bool shown(QWidget* window, const char* name)
{
    TDsFancyButton* b = button(window, name);
    return b && b->isVisible();
}

// The frame every list window shares: 742 × 390, the five buttons along the
// bottom with their captions, the band above them and the grid. Check
// QTest::currentTestFailed() after it.
template <typename List> void checkListFrame(const List& w)
{
    QCOMPARE(w.size(), QSize(742, 390));
    const std::vector<std::tuple<TDsFancyButton*, QString, QRect>> buttons {
        { w.But_Anadir, "Aña&dir", { 48, 345, 95, 30 } },
        { w.But_Modificar, "&Modificar", { 185, 345, 95, 30 } },
        { w.But_Ver, "&Ver", { 323, 345, 95, 30 } },
        { w.But_Borrar, "&Borrar", { 461, 345, 95, 30 } },
        { w.But_Salir, "&Salir", { 599, 345, 95, 30 } },
    };
    for (const auto& [button, caption, place] : buttons) {
        QCOMPARE(button->caption(), caption);
        QCOMPARE(button->geometry(), place);
    }
    QCOMPARE(w.Bevel1->geometry(), QRect(0, 320, 750, 9));
    QCOMPARE(w.DBGrid1->geometry(), QRect(14, 16, 713, 289));
}

} // namespace recordtest
