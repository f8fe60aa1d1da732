// An installed data folder with the real data module and the three reminder
// windows (and the delete dialog) built on it and wired as the program's
// registry wires them; reminders added by day offsets.
#pragma once

#include "Installer.h"
#include "controls/FancyButton.h"
#include "data/ModGen.h"
#include "engine/Field.h"
#include "records/Borrar.h"
#include "reminders/FicAvis.h"
#include "reminders/FicIni.h"
#include "reminders/FicRAvis.h"
#include "support/Rows.h"
#include "support/TempFolder.h"
#include "support/TestWindows.h"

#include <QTest>
#include <memory>
#include <optional>

namespace remindertest {

// The day the tests call today.
inline QDate testToday()
{
    return QDate(2027, 3, 1);
}

struct Reminder {
    std::optional<int> start; // days from today; empty: no first day
    std::optional<int> end;
    QString text;
};

struct Fixture {
    testsupport::TempFolder folder;
    std::unique_ptr<TModuloGeneral> data;
    std::unique_ptr<TFichaBorrar> borrar;
    std::unique_ptr<TFicheroAvisos> list;
    std::unique_ptr<TFichaRegAvisos> record;
    std::unique_ptr<TFicheroIniAvisos> pending;

    Fixture()
    {
        QString log;
        QTextStream out(&log);
        if (setup::install({ folder.path(), folder.aliasFile(), false }, out, out) != 0)
            qFatal("installation failed: %s", qPrintable(log));
        engine::setShortDateFormat(QStringLiteral("dd/MM/yyyy"));
        data = std::make_unique<TModuloGeneral>();
        borrar = std::make_unique<TFichaBorrar>();
        list = std::make_unique<TFicheroAvisos>(*data);
        record = std::make_unique<TFichaRegAvisos>(*data);
        pending = std::make_unique<TFicheroIniAvisos>(*data);
        list->setRecordWindow(record.get());
        list->setDeleteDialog(borrar.get());
    }
    ~Fixture()
    {
        pending.reset();
        record.reset();
        list.reset();
        borrar.reset();
        data.reset();
        engine::setShortDateFormat({});
    }

    engine::Table& avisos() { return *data->TablaAvisos; }
    engine::Table& iniAvisos() { return *data->TablaIniAvisos; }

    static QVariant day(std::optional<int> offset)
    {
        return offset ? QVariant(testToday().addDays(*offset)) : QVariant();
    }

    // Stores the reminders and leaves the table closed.
    void addReminders(const std::vector<Reminder>& reminders)
    {
        avisos().open();
        for (const Reminder& r : reminders) {
            boundtest::addRecord(avisos(),
                { { QStringLiteral("INICIO"), day(r.start) }, { QStringLiteral("FIN"), day(r.end) },
                    { QStringLiteral("CONCEPTO"), r.text } });
        }
        avisos().close();
    }

    // Rows of a table file read through a table of its own, in its order.
    std::vector<QVariantList> rows(const QString& file, const QString& order, const QStringList& fields)
    {
        engine::Table reader(data->DbGeneral, QStringLiteral("Lector"), file);
        reader.setIndexFieldNames(order);
        reader.open();
        return reader.readRows(0, reader.recordCount(), fields);
    }

    // The reminders as stored, each "INICIO|FIN|CONCEPTO|OBSERVA1|OBSERVA2".
    QStringList storedReminders()
    {
        return testsupport::joinedRows(rows(QStringLiteral("AVISOS.DB"), QStringLiteral("INICIO"),
            { QStringLiteral("INICIO"), QStringLiteral("FIN"), QStringLiteral("CONCEPTO"),
                QStringLiteral("OBSERVA1"), QStringLiteral("OBSERVA2") }));
    }

    // Shows the list window non-modally with the focus on its grid.
    void showList() { recordtest::showActive(list.get()); }
};

} // namespace remindertest
