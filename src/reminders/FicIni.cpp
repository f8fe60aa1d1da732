#include "reminders/FicIni.h"

#include "bound/DBGrid.h"
#include "controls/ButtonLook.h"
#include "data/ModGen.h"
#include "platform/Furniture.h"

#include <QFrame>
#include <QHeaderView>
#include <QLabel>

namespace furniture = platform::furniture;

TFicheroIniAvisos::TFicheroIniAvisos(TModuloGeneral& dataModule, QWidget* parent)
    : platform::Window(parent)
    , m_data(dataModule)
{
    setObjectName(QStringLiteral("FicheroIniAvisos"));
    setWindowTitle(QStringLiteral("  Existen Avisos pendientes."));
    setClientSize(487, 184);
    setHelpTopic(8);
    furniture::setGround(this, furniture::Ground::White);

    buildUnlessDeferred();
}

void TFicheroIniAvisos::build()
{
    // The picture's frame starts at the left edge and is wider than the
    // window, which cuts it off.
    Image1 = furniture::addBackground(this, QRect(0, 0, 742, 184));
    Bevel1 = furniture::addSeparator(this, 142);

    DBGrid1 = new bound::DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(10, 8, 463, 121);
    DBGrid1->setFont(furniture::windowFont());
    DBGrid1->horizontalHeader()->setFont(furniture::windowFont(true));
    QPalette black = DBGrid1->palette();
    black.setColor(QPalette::Text, Qt::black);
    DBGrid1->setPalette(black);
    DBGrid1->setDataSource(m_data.SourceIniAvisos);
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    DBGrid1->setColumns({
        { QStringLiteral("NOMBRE_CONCEPTO"), QStringLiteral("Descripción del Aviso"), 320, left, left },
        { QStringLiteral("INICIO"), QStringLiteral("Inicio"), -1, centred, right },
        { QStringLiteral("FINAL"), QStringLiteral("Final"), -1, centred, right },
    });

    But_Cancelar = controls::makeWindowButton(
        this, QStringLiteral("But_Cancelar"), QStringLiteral("&Aceptar"), QRect(179, 155, 113, 20));
    connect(But_Cancelar, &TDsFancyButton::clicked, this, &QDialog::close);
}

void TFicheroIniAvisos::activate()
{
    // The grid takes no typed letters, so A alone works the button.
    DBGrid1->setFocus(Qt::OtherFocusReason);
}
