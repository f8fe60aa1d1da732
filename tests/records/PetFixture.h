// The whole program in-process for the main window and pet window tests: a
// data folder made by the installation tool, the window registry on it, the
// pets table filled as a case needs, and a log of message boxes and beeps.
#pragma once

#include "../bound/BoundTesting.h"
#include "Installer.h"
#include "app/Registry.h"
#include "data/ModGen.h"
#include "engine/Field.h"
#include "engine/Table.h"
#include "platform/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QVariantMap>
#include <memory>

namespace pettest {

// Message boxes (with their icon) and beeps while it lives.
struct MessageLog {
    struct Box {
        QString title;
        QString text;
        platform::MessageIcon icon;
    };
    QList<Box> boxes;
    int beeps = 0;
    // Where the focus was when each box came up.
    QList<QWidget*> focusAtBox;

    MessageLog()
    {
        platform::setMessageHook(
            [this](const QString& title, const QString& text, platform::MessageIcon icon) {
                boxes.append({ title, text, icon });
                focusAtBox.append(QApplication::focusWidget());
            });
        platform::setBeepHook([this] { ++beeps; });
    }
    ~MessageLog()
    {
        platform::setMessageHook({});
        platform::setBeepHook({});
    }
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;
};

// A fresh data folder and the registry on it; each test builds its own.
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
        registry = std::make_unique<app::Registry>();
    }
    ~Program()
    {
        registry.reset();
        qputenv("HLR_ALIASES", m_previousAliases);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    QString dataFolder() const { return m_dir.filePath(QStringLiteral("datos")); }
    TModuloGeneral& data() const { return *ModuloGeneral; }
    engine::Table& pets() const { return *ModuloGeneral->TablaMascotas; }

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
        engine::Table& species = *ModuloGeneral->TablaEspecies;
        species.open();
        boundtest::addRecord(
            species, { { QStringLiteral("CODIGO"), code }, { QStringLiteral("DESCRIPCION"), description } });
        species.close();
        engine::Table& razas = *ModuloGeneral->TablaRazas;
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

    std::unique_ptr<app::Registry> registry;

private:
    static QString installedFolder()
    {
        static QTemporaryDir once;
        static const QString folder = [] {
            const QString path = once.filePath(QStringLiteral("datos"));
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
};

inline QVariantMap pet(const QString& code, const QString& name)
{
    QVariantMap record { { QStringLiteral("CODIGO"), code } };
    if (!name.isNull())
        record.insert(QStringLiteral("NOM_FAMI"), name);
    return record;
}

} // namespace pettest
