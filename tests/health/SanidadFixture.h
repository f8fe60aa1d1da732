// The health register's tests' program in-process: an installed data folder,
// the data module and the register with its visit window, delete and search
// dialogs, wired as the registry wires them; pets, clinics and visits filled
// as a case needs, and the visits read back from the file.
#pragma once

#include "bound/DBEdit.h"
#include "bound/DBGrid.h"
#include "bound/DBLookupComboBox.h"
#include "health/FicSani.h"
#include "health/sanidad.h"
#include "records/Borrar.h"
#include "records/Buscar.h"
#include "support/PetFixture.h"
#include "support/Rows.h"
#include "support/TestWindows.h"

#include <QLineEdit>

namespace sanidadtest {

struct Clinic {
    QString name;
    QString vet; // empty: stored as null
};

struct Visit {
    QString code;
    QString reason;
    QString clinic;
    QString vet;
};

class HealthProgram : public pettest::Program {
public:
    explicit HealthProgram(
        const QList<QVariantMap>& pets = { pettest::pet("P1", "LUNA"), pettest::pet("P2", "TOBY") })
    {
        engine::setShortDateFormat(QStringLiteral("dd/MM/yyyy"));
        m_module = std::make_unique<TModuloGeneral>();
        m_module->warnUser = records::warnUser;
        attach(*m_module);
        setPets(pets);
        borrar = std::make_unique<TFichaBorrar>();
        buscar = std::make_unique<TFichaBuscar>();
        list = std::make_unique<TFichaRegSanidad>(*m_module);
        record = std::make_unique<TFichaSanidad>(*m_module);
        list->setRecordWindow(record.get());
        list->setDeleteDialog(borrar.get());
        list->setSearchDialog(buscar.get());
    }
    ~HealthProgram() override
    {
        record.reset();
        list.reset();
        buscar.reset();
        borrar.reset();
        m_module.reset();
        engine::setShortDateFormat({});
    }

    engine::Table& visits() const { return *data().TablaSanidad; }
    engine::Table& clinics() const { return *data().TablaVeterinarios; }

    // Stores the clinics and leaves the table closed.
    void addClinics(const std::vector<Clinic>& rows) const
    {
        clinics().open();
        for (const Clinic& c : rows)
            boundtest::addRecord(clinics(),
                { { QStringLiteral("CLINICA"), c.name },
                    { QStringLiteral("VETERINARIO"), c.vet.isEmpty() ? QVariant() : QVariant(c.vet) } });
        clinics().close();
    }

    // Stores the visits (through a table of its own, free of the master
    // link) and leaves the file as the program finds it.
    void addVisits(const std::vector<Visit>& rows) const
    {
        engine::Table writer(data().DbGeneral, QStringLiteral("Escritor"), QStringLiteral("SANIDAD.db"));
        writer.open();
        for (const Visit& v : rows)
            boundtest::addRecord(writer,
                { { QStringLiteral("CODIGO"), v.code }, { QStringLiteral("DESCRIPCIO"), v.reason },
                    { QStringLiteral("CLINICA"), v.clinic }, { QStringLiteral("VETERINARIO"), v.vet } });
    }

    // The visits as the file holds them, in the index order, each
    // "CODIGO|DESCRIPCIO|CLINICA|VETERINARIO".
    QStringList storedVisits() const
    {
        engine::Table reader(data().DbGeneral, QStringLiteral("Lector"), QStringLiteral("SANIDAD.db"));
        reader.setIndexFieldNames(QStringLiteral("CODIGO"));
        reader.open();
        return testsupport::joinedRows(reader.readRows(0, reader.recordCount(),
            { QStringLiteral("CODIGO"), QStringLiteral("DESCRIPCIO"), QStringLiteral("CLINICA"),
                QStringLiteral("VETERINARIO") }));
    }

    // The register shown non-modally, as the main window leaves it.
    void showList() const
    {
        data().TablaMascotas->open();
        data().TablaSanidad->open();
        recordtest::showActive(list.get());
    }

    // The texts of one column of a grid, top to bottom.
    static QStringList column(const bound::DBGrid* grid, int c)
    {
        QStringList texts;
        const QAbstractItemModel* model = grid->model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, c).data().toString();
        return texts;
    }

    // The reason of the visit the register stands on.
    QString currentReason() const { return data().TablaSanidadDESCRIPCIO->asString(); }

    // Localizar with `text` accepted in the search dialog, or cancelled when null.
    void locate(const QString& text) const
    {
        boundtest::whenShown(buscar.get(), [this, text] {
            if (text.isNull()) {
                recordtest::click(buscar.get(), "But_Cancelar");
                return;
            }
            buscar->TextoBusqueda->insert(text);
            recordtest::click(buscar.get(), "But_Aceptar");
        });
        recordtest::click(list.get(), "But_Localizar");
        QVERIFY(!buscar->isVisible());
    }

    std::unique_ptr<TFichaBorrar> borrar;
    std::unique_ptr<TFichaBuscar> buscar;
    std::unique_ptr<TFichaRegSanidad> list;
    std::unique_ptr<TFichaSanidad> record;

private:
    std::unique_ptr<TModuloGeneral> m_module;
};

} // namespace sanidadtest
