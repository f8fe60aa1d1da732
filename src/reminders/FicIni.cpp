#include "reminders/FicIni.h"

#include "bound/DBGrid.h"
#include "controls/ButtonLook.h"
#include "data/ModGen.h"
#include "engine/Field.h"
#include "platform/Furniture.h"

#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>

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

    fitColumns();

    But_Cancelar = controls::makeWindowButton(
        this, QStringLiteral("But_Cancelar"), QStringLiteral("&Aceptar"), QRect(179, 155, 113, 20));
    connect(But_Cancelar, &TDsFancyButton::clicked, this, &QDialog::close);
}

void TFicheroIniAvisos::activate()
{
    // The grid takes no typed letters, so A alone works the button.
    DBGrid1->setFocus(Qt::OtherFocusReason);
}

void TFicheroIniAvisos::fitColumns()
{
    // From five reminders on the vertical bar takes its width from the rows;
    // the columns are sized for that case, so no horizontal bar ever comes to
    // hide a row. A date column keeps room for its widest date and its title.
    const int room
        = DBGrid1->width() - 2 * DBGrid1->frameWidth() - DBGrid1->verticalScrollBar()->sizeHint().width();
    const QFontMetrics cells(DBGrid1->font());
    const QFontMetrics titles(DBGrid1->horizontalHeader()->font());
    const QString widestDate = QDate(2000, 12, 28).toString(engine::shortDateFormat());
    int total = DBGrid1->columnWidth(0);
    for (int column : { 1, 2 }) {
        const QString title = DBGrid1->model()->headerData(column, Qt::Horizontal).toString();
        const int needed = qMax(cells.horizontalAdvance(widestDate), titles.horizontalAdvance(title)) + 6;
        DBGrid1->setColumnWidth(column, qMin(DBGrid1->columnWidth(column), needed));
        total += DBGrid1->columnWidth(column);
    }
    // Still too wide: the description gives up the last pixels, not the dates.
    if (total > room)
        DBGrid1->setColumnWidth(0, DBGrid1->columnWidth(0) - (total - room));
}
