#include "health/TabVeter.h"

#include "bound/DBGrid.h"
#include "controls/FancyButton.h"
#include "data/ModGen.h"

#include <QFrame>
#include <QLabel>

TFicheroVeterinarios::TFicheroVeterinarios(TModuloGeneral& dataModule, QWidget* parent)
    : records::ListWindow(parent)
    , m_data(dataModule)
{
    setObjectName(QStringLiteral("FicheroVeterinarios"));
    setWindowTitle(QStringLiteral("Tabla de Clínicas Veterinarias y Veterinarios."));
    setClientSize(742, 390);
    setHelpTopic(7);

    buildUnlessDeferred();
}

void TFicheroVeterinarios::build()
{
    // Built from back to front.
    const ListFurniture made = addListFurniture();
    Image1 = made.picture;

    DBGrid1 = new bound::DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(14, 16, 713, 289);
    DBGrid1->setDataSource(m_data.SourceVeterinarios);
    // Each column as wide as its field, so the grid scrolls sideways. The
    // second phone has no title of its own and shows its field's name.
    DBGrid1->setColumns({
        { QStringLiteral("CLINICA"), QStringLiteral("Clínica Veterinaria") },
        { QStringLiteral("VETERINARIO"), QStringLiteral("Veterinario") },
        { QStringLiteral("TELF1"), QStringLiteral("Teléfono") },
        { QStringLiteral("TELF2"), QStringLiteral("TELF2") },
        { QStringLiteral("MOVIL"), QStringLiteral("Móvil") },
        { QStringLiteral("EMAIL"), QStringLiteral("E-Mail") },
        { QStringLiteral("WEB"), QStringLiteral("Página Web") },
    });

    Bevel1 = made.band;
    Bevel1->setGeometry(0, 320, 750, 9);
    Bevel1->raise();
    But_Anadir = addOperationButton(Operation::Append, 48);
    But_Modificar = addOperationButton(Operation::Modify, 185);
    But_Ver = addOperationButton(Operation::View, 323);
    But_Borrar = addOperationButton(Operation::Delete, 461);
    But_Salir = addOperationButton(Operation::Leave, 599);

    // The grid is the only control that takes the focus, so letters typed
    // alone work the buttons.
    DBGrid1->setFocus();
}

engine::Table& TFicheroVeterinarios::listTable() const
{
    return *m_data.TablaVeterinarios;
}

std::vector<engine::Table*> TFicheroVeterinarios::tablesToOpen() const
{
    return { m_data.TablaVeterinarios };
}

std::vector<engine::Table*> TFicheroVeterinarios::tablesToClose() const
{
    return { m_data.TablaVeterinarios };
}

void TFicheroVeterinarios::activate()
{
    records::ListWindow::activate();
    DBGrid1->setFocus();
}
