// The pet window tests' program in-process: a data folder made by the
// installation tool, the data module and the pet window built on it as the
// registry builds them, the pets table filled as a case needs, and a log of
// message boxes and beeps. The main window tests put the registry on the folder.
#pragma once

#include "Installer.h"
#include "data/ModGen.h"
#include "engine/Field.h"
#include "engine/Table.h"
#include "platform/Window.h"
#include "records/FicPerro.h"
#include "records/Warning.h"
#include "support/BoundTesting.h"
#include "support/MessageLog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QVariantMap>
#include <memory>

namespace pettest {

// Message boxes (with their icon and where the focus was) and beeps while it lives.
using MessageLog = testsupport::MessageLog;

// A fresh data folder, and what a test builds on it; each test makes its own.
class Program {
public:
    Program()
    {
        // The installation (a transaction per record, each synced) runs once;
        // every case starts from a copy of its files.
        const QString folder = dataFolder();
        QDir().mkpath(folder);
        const QDir installed(installedFolder());
        for (const QString& file : installed.entryList(QDir::Files))
            QFile::copy(installed.filePath(file), QDir(folder).filePath(file));
        const QString aliases = m_dir.filePath(QStringLiteral("aliases.conf"));
        QFile aliasFile(aliases);
        if (aliasFile.open(QIODevice::WriteOnly))
            aliasFile.write(QStringLiteral("[HLR10]\npath=%1\n").arg(folder).toUtf8());
        aliasFile.close();
        m_previousAliases = qgetenv("HLR_ALIASES");
        qputenv("HLR_ALIASES", aliases.toLocal8Bit());
    }
    virtual ~Program() { qputenv("HLR_ALIASES", m_previousAliases); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    QString dataFolder() const { return m_dir.filePath(QStringLiteral("datos")); }
    TModuloGeneral& data() const { return *m_data; }
    engine::Table& pets() const { return *m_data->TablaMascotas; }

    // Replaces every pet by the records given (field name to value), then
    // leaves the table closed as the program finds it.
    void setPets(const QList<QVariantMap>& records) const
    {
        engine::Table& t = pets();
        t.open();
        while (!t.isEmpty())
            t.remove();
        for (const QVariantMap& record : records) {
            t.append();
            for (auto it = record.begin(); it != record.end(); ++it)
                t.field(it.key()).setValue(it.value());
            t.post();
        }
        t.close();
    }

    // Adds a species and its breeds, for cases the installed data lacks.
    void addSpecies(const QString& code, const QString& description, const QStringList& breeds) const
    {
        engine::Table& species = *m_data->TablaEspecies;
        species.open();
        boundtest::addRecord(
            species, { { QStringLiteral("CODIGO"), code }, { QStringLiteral("DESCRIPCION"), description } });
        species.close();
        engine::Table& razas = *m_data->TablaRazas;
        razas.open();
        for (const QString& breed : breeds)
            boundtest::addRecord(
                razas, { { QStringLiteral("RAZA"), breed }, { QStringLiteral("ESPECIE"), code } });
        razas.close();
    }

    // One field of the pet with this code as the file holds it now.
    QVariant storedValue(const QString& code, const QString& field) const
    {
        engine::Table& t = pets();
        const bool wasOpen = t.active();
        t.open();
        QVariant value;
        if (t.locate(QStringLiteral("CODIGO"), code))
            value = t.field(field).value();
        if (!wasOpen)
            t.close();
        return value;
    }

protected:
    // The data module the helpers work on, once the test has made it.
    void attach(TModuloGeneral& data) { m_data = &data; }

private:
    static QString installedFolder()
    {
        static QTemporaryDir once;
        static const QString folder = [] {
            QString path = once.filePath(QStringLiteral("datos"));
            QString log;
            QTextStream out(&log);
            const int code
                = setup::install({ path, once.filePath(QStringLiteral("aliases.conf")), false }, out, out);
            if (code != setup::Installed)
                qFatal("installation failed: %s", qPrintable(log));
            return path;
        }();
        return folder;
    }

    QTemporaryDir m_dir;
    QByteArray m_previousAliases;
    TModuloGeneral* m_data = nullptr;
};

// The data module and the pet window on the folder, made and wired as the
// registry makes them: the window's controls wait for its first showing.
class PetProgram : public Program {
public:
    PetProgram()
    {
        m_module = std::make_unique<TModuloGeneral>();
        m_module->warnUser = records::warnUser;
        attach(*m_module);
        const platform::Window::DeferBuilding defer;
        window = std::make_unique<TFichaPerro>(*m_module);
    }
    ~PetProgram() override
    {
        window.reset();
        m_module.reset();
    }

    std::unique_ptr<TFichaPerro> window;

private:
    std::unique_ptr<TModuloGeneral> m_module;
};

inline QVariantMap pet(const QString& code, const QString& name)
{
    QVariantMap record { { QStringLiteral("CODIGO"), code } };
    if (!name.isNull())
        record.insert(QStringLiteral("NOM_FAMI"), name);
    return record;
}

} // namespace pettest
