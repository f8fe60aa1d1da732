// The application's error handling: the full-stop rule, errors caught where a
// handler starts (in the main loop and in nested modal loops), and the
// last-resort catch behind them.
#include "engine/EngineError.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Guarded.h"
#include "support/MessageLog.h"
#include "support/TestMain.h"

#include <QDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <functional>
#include <new>
#include <optional>
#include <stdexcept>

Q_DECLARE_METATYPE(std::function<void()>)

namespace {

// A button whose click runs the given throwing action, as a window's
// button handler does: through the guard.
class Thrower : public QPushButton {
public:
    explicit Thrower(std::function<void()> action)
    {
        connect(this, &QPushButton::clicked, this, platform::guard(std::move(action)));
    }
};

// An object whose every event fails, unguarded: what only the application's
// last resort catches. A plain event, so that the unwinding passes through
// no Qt code that holds anything.
class UnguardedObject : public QObject {
public:
    bool event(QEvent*) override { throw engine::EngineError(QStringLiteral("Tabla ocupada")); }
};

} // namespace

class TstApplication : public QObject {
    Q_OBJECT
private slots:
    void init() { m_log.emplace(); }
    void cleanup() { m_log.reset(); }

    void fullStop_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "Tabla no encontrada"
                                << "Tabla no encontrada.";
        QTest::newRow("digit") << "Error 42"
                               << "Error 42.";
        QTest::newRow("full stop") << "Ya termina."
                                   << "Ya termina.";
        QTest::newRow("comma sorts before") << "Campo,"
                                            << "Campo,";
        QTest::newRow("hyphen sorts before") << "Campo -"
                                             << "Campo -";
        QTest::newRow("blank sorts before") << "Campo "
                                            << "Campo ";
        QTest::newRow("closing parenthesis before") << "Campo (CODIGO)"
                                                    << "Campo (CODIGO)";
        QTest::newRow("slash sorts after") << "Ruta /"
                                           << "Ruta /.";
        QTest::newRow("colon sorts after") << "Fichero:"
                                           << "Fichero:.";
        QTest::newRow("question mark") << "¿Seguro?"
                                       << "¿Seguro?.";
        QTest::newRow("accented letter") << "Albúm"
                                         << "Albúm.";
        QTest::newRow("quote sorts before") << "Campo \"NOMBRE\""
                                            << "Campo \"NOMBRE\"";
        QTest::newRow("empty stays empty") << ""
                                           << "";
    }
    void fullStop()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(platform::Application::withFullStop(text), shown);
    }

    void errorInHandler_data()
    {
        QTest::addColumn<std::function<void()>>("action");
        QTest::addColumn<QString>("text");
        QTest::newRow("engine error") << std::function<void()>([] {
            throw engine::EngineError(QStringLiteral("TablaAvisos: Tabla ocupada"));
        }) << "TablaAvisos: Tabla ocupada.";
        QTest::newRow("library error")
            << std::function<void()>([] { throw std::runtime_error("disco lleno"); }) << "disco lleno.";
        QTest::newRow("allocation failure") << std::function<void()>([] { throw std::bad_alloc(); })
                                            << "No hay memoria suficiente para terminar la operación.";
        QTest::newRow("anything else")
            << std::function<void()>([] { throw 7; }) << "Se ha producido un error desconocido.";
    }
    void errorInHandler()
    {
        QFETCH(std::function<void()>, action);
        QFETCH(QString, text);
        bool after = false;
        Thrower button([&] {
            action();
            after = true;
        });
        button.show();
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(m_log->boxes.size(), 1);
        QCOMPARE(m_log->boxes[0].title, QStringLiteral("Huellario"));
        QCOMPARE(m_log->boxes[0].text, text);
        QCOMPARE(m_log->boxes[0].icon, platform::MessageIcon::Error);
        QVERIFY2(!after, "the failed operation stops at the failing step");
        // The program goes on: the next click works again.
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(m_log->boxes.size(), 2);
    }

    void errorInNestedModalLoop()
    {
        QDialog outer;
        QDialog inner(&outer);
        int ticks = 0;
        // Inside the inner dialog's loop: a failing event, then one that
        // proves the loop still runs, then the close.
        QTimer::singleShot(
            0, &inner, platform::guard([] { throw engine::EngineError(QStringLiteral("Clave duplicada")); }));
        QTimer::singleShot(10, &inner, [&] { ++ticks; });
        QTimer::singleShot(20, &inner, [&] { inner.accept(); });
        QTimer::singleShot(0, &outer, [&] {
            inner.exec();
            outer.accept();
        });
        QCOMPARE(outer.exec(), int(QDialog::Accepted));
        QCOMPARE(ticks, 1);
        QCOMPARE(m_log->boxes.size(), 1);
        QCOMPARE(m_log->boxes[0].text, QStringLiteral("Clave duplicada."));
    }

    // A handler left unguarded: the program still shows the error and goes on.
    void lastResortShowsTheError()
    {
        platform::Application::setLastResortIsFault(false);
        const auto restore = qScopeGuard([] { platform::Application::setLastResortIsFault(true); });
        UnguardedObject object;
        QEvent event(QEvent::User);
        QVERIFY(!QCoreApplication::sendEvent(&object, &event));
        QVERIFY(!QCoreApplication::sendEvent(&object, &event));
        QCOMPARE(m_log->boxes.size(), 2);
        QCOMPARE(m_log->boxes[1].text, QStringLiteral("Tabla ocupada."));
    }

    // In the tests the last resort is a fault: the run that reaches it stops.
    void lastResortFailsTheRun()
    {
        if (qEnvironmentVariableIsSet("HLR_LAST_RESORT_CHILD")) {
            UnguardedObject object;
            QEvent event(QEvent::User);
            QCoreApplication::sendEvent(&object, &event);
            return;
        }
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HLR_LAST_RESORT_CHILD"), QStringLiteral("1"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), { QStringLiteral("lastResortFailsTheRun") });
        QVERIFY(child.waitForFinished(60000));
        const QByteArray output = child.readAll();
        QVERIFY2(child.exitStatus() == QProcess::CrashExit || child.exitCode() != 0, output.constData());
        QVERIFY2(output.contains("reached Application::notify"), output.constData());
    }

    void realBoxHasOneOkButton()
    {
        m_log.reset();
        QString title;
        QString text;
        int buttons = -1;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            buttons = box->buttons().size();
            QCOMPARE(box->icon(), QMessageBox::Critical);
            // Enter answers a message box: the box is not a window of the program.
            QTest::keyClick(box, Qt::Key_Return);
        });
        platform::Application::showError(QStringLiteral("Sin conexión"));
        QCOMPARE(title, QStringLiteral("Huellario"));
        QCOMPARE(text, QStringLiteral("Sin conexión."));
        QCOMPARE(buttons, 1);
    }

private:
    std::optional<testsupport::MessageLog> m_log;
};

HLR_TEST_MAIN(TstApplication, ApplicationOnly)

#include "tst_application.moc"
