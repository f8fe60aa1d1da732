#include "support/Rows.h"

#include <QAbstractItemModel>
#include <QDate>

namespace testsupport {

QStringList joinedRows(const std::vector<QVariantList>& rows)
{
    QStringList result;
    for (const QVariantList& row : rows) {
        QStringList cells;
        for (const QVariant& v : row) {
            if (v.typeId() == QMetaType::QDate)
                cells << v.toDate().toString(Qt::ISODate);
            else if (v.typeId() == QMetaType::Bool)
                cells << QString::number(v.toBool());
            else
                cells << v.toString();
        }
        result << cells.join(QLatin1Char('|'));
    }
    return result;
}

QStringList shownRows(const QAbstractItemModel& model)
{
    QStringList result;
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model.columnCount(); ++column)
            cells << model.index(row, column).data().toString();
        result << cells.join(QLatin1Char('|'));
    }
    return result;
}

} // namespace testsupport
