// The window registry: its 18 entries in order, their captions, sizes and
// help topics, the windows each list window is handed, the data module's
// messages, destruction in reverse, the fatal start-up when the data module
// cannot connect, and what the main window installs.
#include "app/Main.h"
#include "app/Registry.h"
#include "data/ModGen.h"
#include "engine/EngineError.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Help.h"
#include "platform/Window.h"
#include "records/ListWindow.h"
#include "support/TestMain.h"

#include "Installer.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

const QStringList registryOrder { "TMenuGeneral", "TModuloGeneral", "TFichaPerro", "TAboutBox", "TFichaAlbum",
    "TFichaFoto", "TFichaRegSanidad", "TFichaSanidad", "TFichaBuscar", "TFichaBorrar", "TFicheroVeterinarios",
    "TFichaVeterinarios", "TFichaVacunas", "TFichaRegVacunas", "TFicheroAvisos", "TFichaRegAvisos",
    "TFicheroIniAvisos", "TFicheroMascotas" };

platform::Window* windowOf(const app::Registry& registry, const QString& className)
{
    for (const auto& entry : registry.entries()) {
        if (entry.className == className)
            return qobject_cast<platform::Window*>(entry.object);
    }
    return nullptr;
}

// The class of the window an operation shows modally, closed at once; empty
// when it shows none.
QString shownBy(const std::function<void()>& operation)
{
    QString shown;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&shown] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            shown = QString::fromLatin1(modal->metaObject()->className());
            modal->close();
        }
    });
    poll.start();
    operation();
    return shown;
}

} // namespace

class TstRegistry : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_aliases = m_dir.filePath(QStringLiteral("aliases-%1.conf").arg(++m_round));
        qputenv("HLR_ALIASES", m_aliases.toLocal8Bit());
        const QString folder = m_dir.filePath(QStringLiteral("datos-%1").arg(m_round));
        QString log;
        QTextStream out(&log);
        QTextStream err(&log);
        QCOMPARE(setup::install({ folder, m_aliases, false }, out, err), int(setup::Installed));
    }
    void cleanup() { platform::help::setHook({}); }

    void createsEntriesInOrder()
    {
        app::Registry registry;
        QCOMPARE(registry.creationOrder(), registryOrder);
        // Compared as addresses: the classes are only declared here.
        const QList<const void*> globals { MenuGeneral, ModuloGeneral, FichaPerro, AboutBox, FichaAlbum,
            FichaFoto, FichaRegSanidad, FichaSanidad, FichaBuscar, FichaBorrar, FicheroVeterinarios,
            FichaVeterinarios, FichaVacunas, FichaRegVacunas, FicheroAvisos, FichaRegAvisos, FicheroIniAvisos,
            FicheroMascotas };
        QCOMPARE(int(registry.entries().size()), 18);
        for (int i = 0; i < 18; ++i) {
            QVERIFY2(globals[i], qPrintable(registryOrder[i]));
            QCOMPARE(static_cast<const void*>(registry.entries()[i].object), globals[i]);
            QCOMPARE(registry.entries()[i].object->metaObject()->className(), registryOrder[i].toLatin1());
        }
        // All hidden: the main window is shown by the program once the loop runs.
        for (const auto& entry : registry.entries()) {
            if (auto* widget = qobject_cast<QWidget*>(entry.object))
                QVERIFY2(!widget->isVisible(), qPrintable(entry.className));
        }
    }

    void destroysInReverseOrder()
    {
        auto registry = std::make_unique<app::Registry>();
        QStringList destroyed;
        for (const auto& entry : registry->entries()) {
            const QString name = entry.className;
            connect(entry.object, &QObject::destroyed, this, [&destroyed, name] { destroyed.append(name); });
        }
        registry.reset();
        QStringList reversed = registryOrder;
        std::reverse(reversed.begin(), reversed.end());
        QCOMPARE(destroyed, reversed);
        QVERIFY(!MenuGeneral && !ModuloGeneral && !FicheroIniAvisos);
    }

    void windows_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("topic");
        QTest::addColumn<bool>("popup");
        const QSize large(742, 390);
        QTest::newRow("main") << "TMenuGeneral"
                              << "Huellario  2.0" << large << 2 << false;
        QTest::newRow("pet") << "TFichaPerro"
                             << "Datos de la Mascota" << large << 3 << true;
        QTest::newRow("about") << "TAboutBox"
                               << "AboutBox" << QSize(543, 336) << 1 << false;
        QTest::newRow("album") << "TFichaAlbum"
                               << "  Albúm de Fotografias." << large << 4 << true;
        QTest::newRow("photo") << "TFichaFoto"
                               << "  Datos de la Fotografia." << QSize(692, 223) << 5 << true;
        QTest::newRow("register") << "TFichaRegSanidad"
                                  << " Registro Sanitario" << large << 5 << false;
        QTest::newRow("visit") << "TFichaSanidad"
                               << "  Registro Visita / Tratamiento" << large << 5 << false;
        QTest::newRow("search") << "TFichaBuscar"
                                << "Buscar" << QSize(401, 110) << 0 << false;
        QTest::newRow("delete") << "TFichaBorrar"
                                << "Eliminar Registro" << QSize(401, 110) << 0 << false;
        QTest::newRow("pets") << "TFicheroMascotas"
                              << "Todas las Mascotas" << large << 9 << false;
        QTest::newRow("clinics") << "TFicheroVeterinarios"
                                 << "Tabla de Clínicas Veterinarias y Veterinarios." << large << 7 << false;
        QTest::newRow("clinic") << "TFichaVeterinarios"
                                << " Datos de la Clínica Veterinaria" << large << 7 << false;
        QTest::newRow("vaccines") << "TFichaVacunas"
                                  << "  Registro Visita / Tratamiento" << large << 6 << false;
        QTest::newRow("vaccine") << "TFichaRegVacunas"
                                 << "Modificación datos Vacunas." << QSize(420, 203) << 6 << true;
        QTest::newRow("reminders") << "TFicheroAvisos"
                                   << "  Registro de Avisos y Recordatorios." << large << 8 << false;
        QTest::newRow("reminder") << "TFichaRegAvisos"
                                  << "Datos del Aviso." << QSize(537, 232) << 8 << true;
        QTest::newRow("pending") << "TFicheroIniAvisos"
                                 << "  Existen Avisos pendientes." << QSize(487, 184) << 8 << false;
    }
    // Caption, client size and F1: the window's topic, as a pop-up where
    // marked, nothing in the two dialogs without one.
    void windows()
    {
        QFETCH(QString, className);
        QFETCH(QString, caption);
        QFETCH(QSize, size);
        QFETCH(int, topic);
        QFETCH(bool, popup);
        app::Registry registry;
        platform::Window* window = windowOf(registry, className);
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), caption);
        QList<platform::help::Request> requests;
        platform::help::setHook([&](const platform::help::Request& request) { requests.append(request); });
        window->show();
        QCOMPARE(window->size(), size);
        QTest::keyClick(window, Qt::Key_F1);
        window->close();
        if (topic == 0) {
            QVERIFY(requests.isEmpty());
            return;
        }
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].topic, topic);
        QCOMPARE(requests[0].kind,
            popup ? platform::help::Request::Kind::Popup : platform::help::Request::Kind::Topic);
    }

    void listWindowsShowTheirPairs_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("confirmation");
        QTest::newRow("reminders") << "TFicheroAvisos"
                                   << "TFichaRegAvisos"
                                   << "TFichaBorrar";
        QTest::newRow("album") << "TFichaAlbum"
                               << "TFichaFoto"
                               << "TFichaBorrar";
        QTest::newRow("register") << "TFichaRegSanidad"
                                  << "TFichaSanidad"
                                  << "TFichaBorrar";
        QTest::newRow("clinics") << "TFicheroVeterinarios"
                                 << "TFichaVeterinarios"
                                 << "TFichaBorrar";
        QTest::newRow("vaccines") << "TFichaVacunas"
                                  << "TFichaRegVacunas" << QString();
    }
    // Ver shows the record window of the pair, Borrar the shared confirmation.
    void listWindowsShowTheirPairs()
    {
        QFETCH(QString, list);
        QFETCH(QString, record);
        QFETCH(QString, confirmation);
        app::Registry registry;
        auto* window = qobject_cast<records::ListWindow*>(windowOf(registry, list));
        QVERIFY(window);
        QCOMPARE(shownBy([window] { window->viewRecord(); }), record);
        QCOMPARE(shownBy([window] { window->deleteRecord(); }), confirmation);
    }

    // The data module's rule messages reach the user as a beep and a box.
    void dataModuleWarnsTheUser()
    {
        app::Registry registry;
        QStringList boxes;
        int beeps = 0;
        platform::setMessageHook([&boxes](
                                     const QString& title, const QString& text, platform::MessageIcon icon) {
            boxes << title + QLatin1Char('|') + text + (icon == platform::MessageIcon::Error ? "|error" : "");
        });
        platform::setBeepHook([&beeps] { ++beeps; });
        engine::Table& pets = *ModuloGeneral->TablaMascotas;
        pets.open();
        pets.edit();
        ModuloGeneral->TablaMascotasSEXO->setAsString(QStringLiteral("X"));
        const bool emptied = ModuloGeneral->TablaMascotasSEXO->isNull();
        pets.cancel();
        pets.close();
        platform::setMessageHook({});
        platform::setBeepHook({});
        QCOMPARE(boxes, QStringList { "Atención|Los valores para el campo SEXO deben ser ( H / M )|error" });
        QCOMPARE(beeps, 1);
        QVERIFY(emptied);
    }

    void mainWindowInstallsEnterAsTabAndHelpFile()
    {
        platform::help::setHelpFile(QString());
        auto registry = std::make_unique<app::Registry>();
        QCOMPARE(platform::help::helpFile(),
            QCoreApplication::applicationDirPath() + QStringLiteral("/HLR20.HLP"));
        QVERIFY(MenuGeneral->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(MenuGeneral->palette().color(QPalette::Window), QColor(Qt::white));

        platform::Window form;
        auto* first = new QLineEdit(&form);
        auto* second = new QLineEdit(&form);
        second->move(0, 30);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        first->setFocus();
        QTest::keyClick(first, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), second);
        // The hook lives as long as the main window.
        registry.reset();
        QTest::keyClick(second, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), second);
    }

    void dataModuleFailureStopsStartUp_data()
    {
        QTest::addColumn<QByteArray>("aliasFile");
        QTest::addColumn<QString>("named");
        QTest::newRow("alias missing") << QByteArray("[OTRO]\npath=/tmp\n") << "HLR10";
        QTest::newRow("folder missing")
            << QByteArray("[HLR10]\npath=/no/existe/huellario\n") << "/no/existe/huellario";
    }
    void dataModuleFailureStopsStartUp()
    {
        QFETCH(QByteArray, aliasFile);
        QFETCH(QString, named);
        QFile file(m_aliases);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(aliasFile);
        file.close();
        QString message;
        try {
            app::Registry registry;
            QFAIL("the registry was created without a database");
        } catch (const engine::EngineError& error) {
            message = error.message();
        }
        QVERIFY2(message.contains(named), qPrintable(message));
        QVERIFY(!MenuGeneral && !ModuloGeneral && !FichaPerro);
        for (QWidget* widget : QApplication::topLevelWidgets())
            QVERIFY2(!qobject_cast<platform::Window*>(widget), qPrintable(widget->windowTitle()));
    }

private:
    QTemporaryDir m_dir;
    QString m_aliases;
    int m_round = 0;
};

HLR_TEST_MAIN(TstRegistry, ApplicationOnly)

#include "tst_registry.moc"
