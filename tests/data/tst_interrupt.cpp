// huellario-setup stopped at every step in turn through the tool's test
// stop: an install killed, an import stopped by Ctrl-C, SIGTERM or SIGHUP;
// a second run while one is at work; and the next run after a killed one,
// which removes what is ours and never what is the user's.
#include "ImportTesting.h"

#include <csignal>
#include <unistd.h>

using namespace importtesting;

class TestInterrupt : public QObject, public ImportFixture {
    Q_OBJECT

private slots:
    void init() { makeScratch(); }

    // An install of the initial data killed (SIGKILL) at every step in turn:
    // the alias file keeps its bytes and the target holds nothing the
    // program would see, or the install is complete with its alias; the next
    // run removes what is left and ends with a complete folder.
    void installKilledAtEveryStep()
    {
        const QString folder = path(QStringLiteral("nuevo/datos"));
        int steps = 0;
        int complete = 0;
        for (int n = 1;; ++n) {
            QVERIFY2(n < 300, "the install never finished");
            QDir(path(QStringLiteral("nuevo"))).removeRecursively();
            const QByteArray before = writeAliasFile();
            const Run killed = run({ QStringLiteral("--dir"), folder }, QString::number(n));
            if (killed.signal == 0) {
                QVERIFY2(killed.exitCode == 0, qPrintable(killed.err));
                break;
            }
            ++steps;
            QCOMPARE(killed.signal, SIGKILL);
            const QStringList tables = (QFileInfo::exists(folder) ? treeOf(folder) : QStringList())
                                           .filter(QRegularExpression(QStringLiteral("^[^.]")));
            if (contentsOf(aliasFile()) == before) {
                // No table, or all nine with the note that they are ours:
                // the folder came in whole and the alias was still to come.
                if (!tables.isEmpty()) {
                    QCOMPARE(tables.size(), int(schema::tables().size()));
                    QVERIFY(treeOf(folder).contains(QStringLiteral(".huellario-pendiente")));
                }
                QCOMPARE(run({ QStringLiteral("--dir"), folder }).exitCode, 0);
            } else {
                ++complete;
                QCOMPARE(registeredFolder(), folder);
                QCOMPARE(tables.size(), int(schema::tables().size()));
                QCOMPARE(run({ QStringLiteral("--if-missing") }).exitCode, 0);
            }
            checkComplete(folder);
            QVERIFY(stagingBeside(folder).isEmpty());
        }
        QVERIFY(steps > 15);
        QVERIFY(complete > 0);
    }

    // Ctrl-C, SIGTERM or SIGHUP at every step before the commit: the run
    // removes everything it made (parents of the target included), says so
    // and ends by that signal. From the commit on it finishes.
    void signalsRemoveWhatWasMade_data()
    {
        QTest::addColumn<QString>("signal");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("start");
        QTest::newRow("Ctrl-C, no target") << "INT" << int(SIGINT) << "missing";
        QTest::newRow("SIGTERM, target with a file") << "TERM" << int(SIGTERM) << "other";
        QTest::newRow("SIGHUP, empty target") << "HUP" << int(SIGHUP) << "empty";
    }

    void signalsRemoveWhatWasMade()
    {
        QFETCH(QString, signal);
        QFETCH(int, number);
        QFETCH(QString, start);
        writeSource();
        int interrupted = 0;
        for (int n = 1;; ++n) {
            QVERIFY2(n < 300, "the import never finished");
            const QString into = prepareTarget(start);
            const QStringList startTree = QFileInfo::exists(into) ? treeOf(into) : QStringList();
            const QByteArray before = writeAliasFile();
            const QStringList tmpTree = treeOf(m_tmp->path());
            const Run r = import(QStringLiteral("%1:%2").arg(n).arg(signal), into);
            if (r.signal == 0) {
                QVERIFY2(r.exitCode == 0, qPrintable(r.err));
                checkComplete(into,
                    start == QLatin1String("other") ? QStringList { QStringLiteral("notas.txt") }
                                                    : QStringList());
                break;
            }
            ++interrupted;
            QCOMPARE(r.signal, number);
            QVERIFY2(r.err.contains(QStringLiteral("interrumpido por"))
                    && r.err.contains(QStringLiteral("No se ha cambiado nada")),
                qPrintable(r.err));
            QCOMPARE(contentsOf(aliasFile()), before);
            QCOMPARE(treeOf(m_tmp->path()), tmpTree);
            if (QFileInfo::exists(into))
                QCOMPARE(treeOf(into), startTree);
        }
        QVERIFY(interrupted > 20);
    }

    // A second run while one is at work refuses rather than take the first
    // one's staging folder for a leftover.
    void aRunAtWorkIsLeftAlone()
    {
        writeSource();
        QProcess first;
        start(first, { QStringLiteral("--importar"), source(), QStringLiteral("--dir"), target() },
            QStringLiteral("10:STOP"));
        QVERIFY(first.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(first.processId()), 'T', 30000);

        const Run second = import(QString(), path(QStringLiteral("otros")));
        QCOMPARE(second.exitCode, 3);
        QVERIFY2(second.err.contains(QStringLiteral("otra ejecución de huellario-setup está trabajando")),
            qPrintable(second.err));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("otros"))));

        ::kill(pid_t(first.processId()), SIGCONT);
        const Run r = finished(first);
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        checkComplete(target());
        checkRecords(target());
    }

    // What a killed run brought in but did not register is removed by the
    // next run, except a table that was changed or replaced since: that one
    // is the user's, and the run refuses to write over it.
    void leftoversAreRemovedButNeverTheUsersTables()
    {
        writeSource();
        const QByteArray before = writeAliasFile();
        int n = 1;
        for (;; ++n) {
            QVERIFY(n < 300);
            QDir(target()).removeRecursively();
            const Run killed = import(QString::number(n));
            QVERIFY(killed.signal == SIGKILL);
            if (QFileInfo::exists(QDir(target()).filePath(QStringLiteral("INIAVIS.DB"))))
                break;
        }
        QCOMPARE(contentsOf(aliasFile()), before);
        const QString pets = QDir(target()).filePath(QStringLiteral("FICMAES.DB"));
        QVERIFY(QFile::remove(pets));
        QFile mine(pets);
        QVERIFY(mine.open(QIODevice::WriteOnly));
        mine.write("la tabla del usuario");
        mine.close();

        const Run r = import();
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.out.contains(QStringLiteral("interrumpida")) && r.out.contains(QStringLiteral("8 tablas")),
            qPrintable(r.out));
        QVERIFY2(r.err.contains(QStringLiteral("ya existe FICMAES.DB")), qPrintable(r.err));
        QCOMPARE(treeOf(target()), QStringList { QStringLiteral("FICMAES.DB") });
        QCOMPARE(contentsOf(pets), QByteArray("la tabla del usuario"));
        QCOMPARE(contentsOf(aliasFile()), before);
    }

    // The staging folder the earlier releases left inside the target when
    // they were stopped half way: recognised by its name and removed.
    void anOlderStagingFolderIsRemoved()
    {
        writeSource();
        const QString staging = QDir(target()).filePath(QStringLiteral(".huellario-import-Ab3dE9"));
        QVERIFY(QDir().mkpath(staging));
        for (const char* name : { "FICMAES.DB", "FICMAES.DB-journal" }) {
            QFile f(QDir(staging).filePath(QLatin1String(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("a medias");
        }
        const Run r = import();
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains(QStringLiteral("interrumpida")), qPrintable(r.out));
        checkComplete(target());
    }
};

QTEST_MAIN(TestInterrupt)
#include "tst_interrupt.moc"
