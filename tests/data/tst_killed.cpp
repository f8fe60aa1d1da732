// huellario-setup --importar killed (SIGKILL) at every step in turn through
// the tool's test stop, and the next run after it: what a user finds is the
// folder as it was or the import complete, and nothing of the user's is
// ever removed.
#include "ImportTesting.h"

#include <csignal>

using namespace importtesting;

class TestKilled : public QObject, public ImportFixture {
    Q_OBJECT

private slots:
    void init() { makeScratch(); }

    // Killed outright at every step of the import in turn, through the
    // tool's test stop. Each time the alias file is byte for byte as it was
    // and the target as it was but for hidden leftovers of ours, or the
    // import is complete with its alias; the next run removes the leftovers
    // and succeeds. Files of the user's are never touched.
    void killedAtEveryStep_data()
    {
        QTest::addColumn<QString>("start");
        QTest::newRow("no target, no parent") << "missing";
        QTest::newRow("empty target") << "empty";
        QTest::newRow("target with a file of the user's") << "other";
    }

    void killedAtEveryStep()
    {
        QFETCH(QString, start);
        writeSource();
        const QStringList others
            = start == QLatin1String("other") ? QStringList { QStringLiteral("notas.txt") } : QStringList();
        QMap<QString, int> seen; // what a kill left -> how many steps left it
        int steps = 0;
        for (int n = 1;; ++n) {
            QVERIFY2(n < 300, "the import never finished");
            const QString into = prepareTarget(start);
            const QStringList startTree = QFileInfo::exists(into) ? treeOf(into) : QStringList();
            const QByteArray before = writeAliasFile();

            const Run killed = import(QString::number(n), into);
            if (killed.signal == 0) {
                // Past the last step: the run went through.
                QVERIFY2(killed.exitCode == 0, qPrintable(killed.err));
                checkComplete(into, others);
                checkRecords(into);
                break;
            }
            ++steps;
            QCOMPARE(killed.signal, SIGKILL);
            Run next;
            if (contentsOf(aliasFile()) != before) {
                // Its note may still be there: the next run removes it.
                checkComplete(into, others, true);
                ++seen[QStringLiteral("complete, with the alias")];
                next = run({ QStringLiteral("--if-missing") });
                QVERIFY2(next.out.contains(QStringLiteral("ya están instalados")), qPrintable(next.out));
            } else {
                const QStringList tree = QFileInfo::exists(into) ? treeOf(into) : QStringList();
                QStringList kept = tree.filter(QRegularExpression(QStringLiteral("^[^.]")));
                const int tables = kept.size() - int(others.size());
                const bool hidden = tree.size() != kept.size() || !stagingBeside(into).isEmpty();
                QCOMPARE(registeredFolder(), path(QStringLiteral("antes")));
                if (!hidden)
                    QCOMPARE(tree, startTree);
                for (const QString& other : others)
                    QCOMPARE(contentsOf(QDir(into).filePath(other)), QByteArray("mis notas"));
                // An empty parent made for a missing target is used again by the next run.
                const bool parents
                    = !QFileInfo::exists(into) && QFileInfo::exists(path(QStringLiteral("nuevo")));
                seen[tables > 0   ? QStringLiteral("%1 tables and the hidden note, no alias").arg(tables)
                        : hidden  ? QStringLiteral("hidden staging only")
                        : parents ? QStringLiteral("only the empty parent folders")
                                  : QStringLiteral("untouched")]++;
                next = import(QString(), into);
            }
            QVERIFY2(next.exitCode == 0,
                qPrintable(QStringLiteral("after a kill at step %1: %2").arg(n).arg(next.err)));
            checkComplete(into, others);
            QVERIFY2(stagingBeside(into).isEmpty(), qPrintable(stagingBeside(into).join(QLatin1Char(' '))));
            if (start == QLatin1String("missing"))
                QCOMPARE(treeOf(path(QStringLiteral("nuevo"))).size(), 2 + 9);
        }
        QString figures;
        for (auto it = seen.cbegin(); it != seen.cend(); ++it)
            figures += QStringLiteral("%1: %2; ").arg(it.key()).arg(it.value());
        qInfo("%d kill points: %s", steps, qPrintable(figures));
        QVERIFY(steps > 20);
        QVERIFY(seen.value(QStringLiteral("complete, with the alias")) > 0);
    }
};

QTEST_MAIN(TestKilled)
#include "tst_killed.moc"
