#include "reminders/FicAvis.h"

#include "bound/DBGrid.h"
#include "controls/FancyButton.h"
#include "data/ModGen.h"

#include <QFrame>
#include <QLabel>

TFicheroAvisos::TFicheroAvisos(TModuloGeneral& dataModule, QWidget* parent)
    : records::ListWindow(parent)
    , m_data(dataModule)
{
    setObjectName(QStringLiteral("FicheroAvisos"));
    setWindowTitle(QStringLiteral("  Registro de Avisos y Recordatorios."));
    setHelpTopic(8);

    buildUnlessDeferred();
}

void TFicheroAvisos::build()
{
    // Built from back to front.
    const ListFurniture made = addListFurniture();
    Image1 = made.picture;
    Bevel1 = made.band;
    Bevel1->setGeometry(0, 320, 750, 9);
    But_Anadir = addOperationButton(Operation::Append, 48);
    But_Salir = addOperationButton(Operation::Leave, 599);
    Bevel1->raise();
    But_Borrar = addOperationButton(Operation::Delete, 461);
    But_Modificar = addOperationButton(Operation::Modify, 185);
    But_Ver = addOperationButton(Operation::View, 323);

    DBGrid1 = new bound::DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(14, 16, 713, 289);
    DBGrid1->setDataSource(m_data.SourceAvisos);
    DBGrid1->setColumns({
        { QStringLiteral("INICIO"), QStringLiteral("Inicio") },
        { QStringLiteral("FIN"), QStringLiteral("Fin") },
        { QStringLiteral("CONCEPTO"), QStringLiteral("Descripción") },
        { QStringLiteral("OBSERVA1"), QStringLiteral("Observaciones") },
        { QStringLiteral("OBSERVA2"), QStringLiteral("Observaciones") },
    });
    // The grid is the only control that takes the focus, so it starts with it
    // and letters typed alone work the buttons.
    DBGrid1->setFocus();
}

engine::Table& TFicheroAvisos::listTable() const
{
    return *m_data.TablaAvisos;
}

std::vector<engine::Table*> TFicheroAvisos::tablesToOpen() const
{
    return { m_data.TablaAvisos };
}

std::vector<engine::Table*> TFicheroAvisos::tablesToClose() const
{
    return { m_data.TablaAvisos };
}

void TFicheroAvisos::activate()
{
    records::ListWindow::activate();
    DBGrid1->setFocus();
}
