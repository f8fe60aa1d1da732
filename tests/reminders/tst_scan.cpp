// The reminders due today at start-up: which are gathered, in what order,
// what the work table holds afterwards, the beep and the pending window, and
// a work table held by another process.
#include "platform/Guarded.h"
#include "support/ReminderFixture.h"
#include "support/Rows.h"
#include "support/TestMain.h"

#include "bound/DBGrid.h"
#include "controls/Accelerators.h"
#include "controls/Fonts.h"
#include "data/Reminders.h"
#include "data/schema/Schema.h"
#include "engine/EngineError.h"
#include "platform/Clock.h"
#include "reminders/PendingScan.h"

#include <QCryptographicHash>
#include <QHeaderView>
#include <QProcess>
#include <QScrollBar>
#include <QTimer>

#include <sqlite3.h>

using namespace remindertest;

Q_DECLARE_METATYPE(std::vector<Reminder>)

namespace {

// What the pending window showed while it was on screen.
struct Showing {
    int count = 0;
    int beepsBefore = -1;
    QStringList rows; // "concept|start|end" as the grid shows them
    bool workTableOpen = false;
    QString focus;
};

// Watches the pending window: records what it shows, then closes it with the
// letter A typed alone on its grid, as the user would.
class PendingWatcher : public QObject {
public:
    PendingWatcher(TFicheroIniAvisos& window, boundtest::Recorder& recorder, engine::Table& work)
        : m_window(window)
        , m_recorder(recorder)
        , m_work(work)
    {
        window.installEventFilter(this);
    }
    Showing showing;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_window && event->type() == QEvent::Show) {
            ++showing.count;
            showing.beepsBefore = m_recorder.beeps;
            QTimer::singleShot(0, this, [this] { readAndClose(); });
        }
        return false;
    }

private:
    void readAndClose()
    {
        QVERIFY(QTest::qWaitForWindowActive(&m_window));
        showing.workTableOpen = m_work.active();
        if (QWidget* focus = QApplication::focusWidget())
            showing.focus = focus->objectName();
        showing.rows << testsupport::shownRows(*m_window.DBGrid1->model());
        QTest::keyClick(m_window.DBGrid1, Qt::Key_A);
    }
    TFicheroIniAvisos& m_window;
    boundtest::Recorder& m_recorder;
    engine::Table& m_work;
};

QString shortDate(int offset)
{
    return testToday().addDays(offset).toString(QStringLiteral("dd/MM/yyyy"));
}

} // namespace

class TestScan : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        platform::setTodayHook([] { return testToday(); });
    }
    void cleanup() { platform::setTodayHook({}); }

    void dueRemindersAreGatheredAndShown_data()
    {
        QTest::addColumn<std::vector<Reminder>>("reminders");
        QTest::addColumn<QStringList>("due");
        using R = std::vector<Reminder>;
        QTest::newRow("today to today") << R { { 0, 0, "HOY" } } << QStringList { "HOY" };
        QTest::newRow("first day today") << R { { 0, 3, "EMPIEZA" } } << QStringList { "EMPIEZA" };
        QTest::newRow("last day today") << R { { -3, 0, "ACABA" } } << QStringList { "ACABA" };
        QTest::newRow("tomorrow") << R { { 1, 1, "MANANA" } } << QStringList {};
        QTest::newRow("starts tomorrow") << R { { 1, 9, "PRONTO" } } << QStringList {};
        QTest::newRow("yesterday") << R { { -1, -1, "AYER" } } << QStringList {};
        QTest::newRow("ended yesterday") << R { { -9, -1, "PASADO" } } << QStringList {};
        QTest::newRow("empty start, ends today")
            << R { { {}, 0, "SIN INICIO" } } << QStringList { "SIN INICIO" };
        QTest::newRow("empty start, ends later")
            << R { { {}, 5, "SIN INICIO" } } << QStringList { "SIN INICIO" };
        QTest::newRow("empty start, ended") << R { { {}, -1, "SIN INICIO" } } << QStringList {};
        QTest::newRow("empty end") << R { { -1, {}, "SIN FIN" } } << QStringList {};
        QTest::newRow("both empty") << R { { {}, {}, "VACIO" } } << QStringList {};
        QTest::newRow("end before start") << R { { 1, -1, "AL REVES" } } << QStringList {};
        QTest::newRow("several due in start order") << R { { 0, 2, "C" }, { 2, 4, "NO" }, { -10, 0, "A" },
            { {}, 5, "PRIMERO" }, { -2, 2, "B" }, { -2, 1, "B2" }, { -5, -1, "TAMPOCO" } }
                                                    << QStringList { "PRIMERO", "A", "B", "B2", "C" };
        QTest::newRow("none due") << R { { -3, -2, "X" }, { 2, 3, "Y" } } << QStringList {};
        QTest::newRow("no reminders") << R {} << QStringList {};
    }
    void dueRemindersAreGatheredAndShown()
    {
        QFETCH(std::vector<Reminder>, reminders);
        QFETCH(QStringList, due);
        Fixture f;
        f.addReminders(reminders);
        // What the last start left in the work table goes first.
        f.iniAvisos().open();
        boundtest::addRecord(f.iniAvisos(),
            { { QStringLiteral("TIPO"), QStringLiteral("AVISO") },
                { QStringLiteral("NOMBRE_CONCEPTO"), QStringLiteral("DE AYER") } });
        f.iniAvisos().close();

        boundtest::Recorder recorder;
        PendingWatcher watcher(*f.pending, recorder, f.iniAvisos());
        reminders::scanPendingReminders(*f.data, *f.pending);

        const bool any = !due.isEmpty();
        QCOMPARE(recorder.beeps, any ? 1 : 0);
        QCOMPARE(watcher.showing.count, any ? 1 : 0);
        QVERIFY(recorder.messages.isEmpty());
        QVERIFY(!f.pending->isVisible());
        QVERIFY(!f.avisos().active());
        QVERIFY(!f.iniAvisos().active());

        // The work table holds exactly the due reminders, in the order written.
        QStringList stored;
        QStringList expectedStored;
        QStringList expectedShown;
        for (const QString& text : due) {
            const Reminder& r = *std::find_if(
                reminders.begin(), reminders.end(), [&](const Reminder& x) { return x.text == text; });
            const auto iso = [](std::optional<int> d) {
                return d ? testToday().addDays(*d).toString(Qt::ISODate) : QString();
            };
            expectedStored << QStringLiteral("AVISO|%1|%2|%3||").arg(iso(r.start), iso(r.end), text);
            expectedShown << QStringLiteral("%1|%2|%3")
                                 .arg(text, r.start ? shortDate(*r.start) : QString(),
                                     r.end ? shortDate(*r.end) : QString());
        }
        stored << testsupport::joinedRows(f.rows(QStringLiteral("INIAVIS.DB"), QStringLiteral("CONTADOR"),
            { QStringLiteral("TIPO"), QStringLiteral("INICIO"), QStringLiteral("FINAL"),
                QStringLiteral("NOMBRE_CONCEPTO"), QStringLiteral("HORA_INI"), QStringLiteral("HORA_FIN") }));
        QCOMPARE(stored, expectedStored);

        if (any) {
            // Beep first, then the window, while the work table is still open.
            QCOMPARE(watcher.showing.beepsBefore, 1);
            QVERIFY(watcher.showing.workTableOpen);
            QCOMPARE(watcher.showing.rows, expectedShown);
            QCOMPARE(watcher.showing.focus, QStringLiteral("DBGrid1"));
        }
    }

    // The desktop's notice (huellario --avisos) reads the same reminders by
    // the same rule, in the same order.
    void desktopReadingAgreesWithScan_data() { dueRemindersAreGatheredAndShown_data(); }
    void desktopReadingAgreesWithScan()
    {
        QFETCH(std::vector<Reminder>, reminders);
        QFETCH(QStringList, due);
        Fixture f;
        f.addReminders(reminders);
        QStringList read;
        for (const data::StoredReminder& r : data::dueReminders(f.folder.path(), testToday()))
            read << r.description;
        QCOMPARE(read, due);
    }

    // Reading for the desktop changes no file, so the program's own scan
    // still finds the reminders, and it reads while the program has the
    // reminders open.
    void desktopReadingChangesNothing()
    {
        Fixture f;
        f.addReminders({ { -1, 1, "VACUNA" }, { 0, 0, "PIPETA" }, { 3, 4, "LUEGO" } });
        f.iniAvisos().open();
        boundtest::addRecord(f.iniAvisos(),
            { { QStringLiteral("TIPO"), QStringLiteral("AVISO") },
                { QStringLiteral("NOMBRE_CONCEPTO"), QStringLiteral("DE AYER") } });
        f.iniAvisos().close();
        const auto snapshot = [&] {
            QStringList files;
            for (const QFileInfo& file : QDir(f.folder.path()).entryInfoList(QDir::Files | QDir::Hidden)) {
                QFile bytes(file.filePath());
                if (!bytes.open(QIODevice::ReadOnly))
                    return QStringList { QStringLiteral("unreadable ") + file.fileName() };
                files << QStringLiteral("%1 %2 %3")
                             .arg(file.fileName(),
                                 QString::fromLatin1(
                                     QCryptographicHash::hash(bytes.readAll(), QCryptographicHash::Sha256)
                                         .toHex()))
                             .arg(file.lastModified().toMSecsSinceEpoch());
            }
            return files;
        };
        const QStringList before = snapshot();

        f.avisos().open(); // as while the reminders list is shown
        const std::vector<data::StoredReminder> due = data::dueReminders(f.folder.path(), testToday());
        f.avisos().close();
        QCOMPARE(due.size(), size_t(2));
        QCOMPARE(snapshot(), before);

        boundtest::Recorder recorder;
        PendingWatcher watcher(*f.pending, recorder, f.iniAvisos());
        reminders::scanPendingReminders(*f.data, *f.pending);
        QCOMPARE(watcher.showing.rows,
            (QStringList { QStringLiteral("VACUNA|%1|%2").arg(shortDate(-1), shortDate(1)),
                QStringLiteral("PIPETA|%1|%1").arg(shortDate(0)) }));
    }

    // What cannot be read is named: a missing table, or a table of a newer
    // Huellario, whose reminders this one might misread.
    void desktopReadingNamesWhatItCannotRead_data()
    {
        QTest::addColumn<bool>("missing");
        QTest::addColumn<QString>("said");
        QTest::newRow("missing table") << true << "AVISOS.DB";
        QTest::newRow("newer format") << false << "versión más reciente";
    }
    void desktopReadingNamesWhatItCannotRead()
    {
        QFETCH(bool, missing);
        QFETCH(QString, said);
        Fixture f;
        f.addReminders({ { 0, 0, "HOY" } });
        const QString path = f.folder.filePath(QStringLiteral("AVISOS.DB"));
        if (missing) {
            QVERIFY(QFile::remove(path));
        } else {
            sqlite3* db = nullptr;
            QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
            const int rc = sqlite3_exec(db, "PRAGMA user_version = 99", nullptr, nullptr, nullptr);
            sqlite3_close(db);
            QCOMPARE(rc, SQLITE_OK);
        }
        try {
            data::readReminders(f.folder.path());
            QFAIL("no error");
        } catch (const engine::EngineError& error) {
            QVERIFY2(error.message().contains(said) && error.message().contains(QStringLiteral("AVISOS.DB")),
                qPrintable(error.message()));
        }
    }

    void todayIsReadOncePerScan()
    {
        Fixture f;
        f.addReminders({ { -1, -1, "AYER" }, { 0, 0, "HOY" } });
        int reads = 0;
        // Midnight passes after the first reading: the scan keeps its day.
        platform::setTodayHook([&reads] { return testToday().addDays(reads++ == 0 ? 0 : -1); });
        boundtest::Recorder recorder;
        PendingWatcher watcher(*f.pending, recorder, f.iniAvisos());
        reminders::scanPendingReminders(*f.data, *f.pending);
        QCOMPARE(reads, 1);
        QCOMPARE(watcher.showing.rows, QStringList { QStringLiteral("HOY|%1|%1").arg(shortDate(0)) });
    }

    void pendingWindowLayout()
    {
        Fixture f;
        TFicheroIniAvisos& w = *f.pending;
        QCOMPARE(w.windowTitle(), QStringLiteral("  Existen Avisos pendientes."));
        QCOMPARE(w.size(), QSize(487, 184));
        QCOMPARE(w.helpTopic(), 8);
        QCOMPARE(w.DBGrid1->geometry(), QRect(10, 8, 463, 121));
        QCOMPARE(w.Bevel1->geometry(), QRect(0, 142, 487, 9));
        QCOMPARE(w.But_Cancelar->caption(), QStringLiteral("&Aceptar"));
        QCOMPARE(w.But_Cancelar->geometry(), QRect(179, 155, 113, 20));

        const QAbstractItemModel* model = w.DBGrid1->model();
        QCOMPARE(model->columnCount(), 3);
        const QStringList titles { "Descripción del Aviso", "Inicio", "Final" };
        const QList<Qt::Alignment> titleAlign { Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignHCenter };
        const QList<Qt::Alignment> valueAlign { Qt::AlignLeft, Qt::AlignRight, Qt::AlignRight };
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(model->headerData(c, Qt::Horizontal).toString(), titles[c]);
            const auto title
                = model->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
            QCOMPARE(title & Qt::AlignHorizontal_Mask, titleAlign[c]);
        }
        QCOMPARE(w.DBGrid1->columnWidth(0), 320);
        // Values are aligned as their columns say, on a row of a real scan.
        f.addReminders({ { 0, 0, "HOY" } });
        QList<Qt::Alignment> seen;
        QTimer::singleShot(0, &w, [&] {
            QTRY_VERIFY(w.isVisible());
            for (int c = 0; c < 3; ++c)
                seen << (model->index(0, c).data(Qt::TextAlignmentRole).value<Qt::Alignment>()
                    & Qt::AlignHorizontal_Mask);
            recordtest::click(&w, "But_Cancelar");
        });
        boundtest::Recorder recorder;
        reminders::scanPendingReminders(*f.data, w);
        QCOMPARE(seen, valueAlign);
        QVERIFY(!w.isVisible());
    }

    // The three columns fit the grid whether or not its vertical bar shows,
    // and the dates fit their columns: no horizontal bar hides a row.
    void pendingColumnsFitTheGrid_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("one") << 1;
        QTest::newRow("four") << 4;
        QTest::newRow("five") << 5;
        QTest::newRow("twelve") << 12;
    }
    void pendingColumnsFitTheGrid()
    {
        QFETCH(int, count);
        Fixture f;
        std::vector<Reminder> due;
        due.reserve(size_t(count));
        for (int i = 0; i < count; ++i)
            due.push_back({ -i, 30 + i, QStringLiteral("AVISO %1").arg(i) });
        f.addReminders(due);
        TFicheroIniAvisos& w = *f.pending;
        struct Seen {
            int total = 0, room = 0;
            bool horizontalBar = true;
            QStringList dates;
            QList<int> dateWidths;
        } seen;
        QTimer::singleShot(0, &w, [&] {
            // Whatever is seen, the window closes, so a failure never hangs the test.
            const auto closeAfter = qScopeGuard([&] { recordtest::click(&w, "But_Cancelar"); });
            bound::DBGrid* grid = w.DBGrid1;
            if (!QTest::qWaitFor([&] { return w.isVisible() && grid->model()->rowCount() == count; }))
                return;
            QCoreApplication::processEvents();
            for (int c = 0; c < 3; ++c)
                seen.total += grid->columnWidth(c);
            seen.room = grid->viewport()->width();
            seen.horizontalBar = grid->horizontalScrollBar()->isVisible();
            for (int c = 1; c < 3; ++c) {
                seen.dates << grid->model()->index(0, c).data().toString();
                seen.dateWidths << grid->columnWidth(c)
                        - grid->fontMetrics().horizontalAdvance(seen.dates.last());
            }
        });
        boundtest::Recorder recorder;
        reminders::scanPendingReminders(*f.data, w);
        QVERIFY2(
            seen.total <= seen.room, qPrintable(QStringLiteral("%1 > %2").arg(seen.total).arg(seen.room)));
        QVERIFY(!seen.horizontalBar);
        QCOMPARE(seen.dates.size(), 2);
        for (int i = 0; i < 2; ++i) {
            QVERIFY(!seen.dates[i].isEmpty());
            QVERIFY2(seen.dateWidths[i] >= 4, qPrintable(seen.dates[i])); // the date and a margin fit
        }
    }

    void workTableHeldByAnotherProcess()
    {
        Fixture f;
        f.addReminders({ { 0, 0, "HOY" } });
        QProcess holder;
        holder.start(QCoreApplication::applicationFilePath(),
            { QStringLiteral("--hold"), QStringLiteral("INIAVIS.DB") });
        QVERIFY(holder.waitForStarted());
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("open"));

        // As at start-up: queued from the event loop through the guard, the
        // error is shown as the program's and the loop goes on.
        boundtest::Recorder recorder;
        PendingWatcher watcher(*f.pending, recorder, f.iniAvisos());
        QTimer::singleShot(
            0, platform::guard([&f] { reminders::scanPendingReminders(*f.data, *f.pending); }));
        QTRY_COMPARE(recorder.messages.size(), 1);
        QVERIFY2(recorder.messages[0].contains(QStringLiteral("ocupada")), qPrintable(recorder.messages[0]));
        QCOMPARE(recorder.titles[0], QStringLiteral("Huellario"));
        QCOMPARE(recorder.beeps, 0);
        QCOMPARE(watcher.showing.count, 0);
        // Nothing is left held or flagged: both tables closed, no exclusive flag.
        QVERIFY(!f.avisos().active());
        QVERIFY(!f.iniAvisos().active());
        QVERIFY(!f.iniAvisos().exclusive());

        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(10000));
        QCOMPARE(holder.exitCode(), 0);
        // The next scan works as usual.
        reminders::scanPendingReminders(*f.data, *f.pending);
        QCOMPARE(watcher.showing.count, 1);
        QCOMPARE(recorder.beeps, 1);
    }

    void badlyShapedWorkTableIsLeftAlone()
    {
        // A work table left by some other program, without HORA_FIN, still
        // holding last start's rows.
        Fixture f;
        f.addReminders({ { 0, 0, "HOY" } });
        const QString path = f.folder.filePath(QStringLiteral("INIAVIS.DB"));
        QVERIFY(QFile::remove(path));
        engine::TableDef shape = schema::table(QStringLiteral("INIAVIS"));
        std::erase_if(shape.fields, [](const engine::FieldDef& d) { return d.name == "HORA_FIN"; });
        engine::createTableFile(f.folder.path(), shape);
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
        const int rc
            = sqlite3_exec(db, "INSERT INTO INIAVIS (TIPO, NOMBRE_CONCEPTO) VALUES ('AVISO', 'DE AYER')",
                nullptr, nullptr, nullptr);
        sqlite3_close(db);
        QCOMPARE(rc, SQLITE_OK);
        const auto hash = [&] {
            QFile file(path);
            return file.open(QIODevice::ReadOnly)
                ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                : QByteArray();
        };
        const QByteArray before = hash();

        boundtest::Recorder recorder;
        PendingWatcher watcher(*f.pending, recorder, f.iniAvisos());
        QTimer::singleShot(
            0, platform::guard([&f] { reminders::scanPendingReminders(*f.data, *f.pending); }));
        QTRY_COMPARE(recorder.messages.size(), 1);
        QVERIFY2(
            recorder.messages[0].contains(QStringLiteral("HORA_FIN")) && recorder.messages[0].contains(path),
            qPrintable(recorder.messages[0]));
        QCOMPARE(watcher.showing.count, 0);
        QVERIFY(!f.iniAvisos().active());
        QVERIFY(!f.iniAvisos().exclusive());
        QCOMPARE(hash(), before);
    }
};

namespace {

// Holds a table of the data folder open as another user would, until its
// standard input closes; the alias file comes with the environment.
int holdTable(const QString& fileName)
{
    engine::Database db(QStringLiteral("Otro"), QStringLiteral("HLR10"));
    db.open();
    engine::Table table(db, QStringLiteral("Otra"), fileName);
    table.open();
    QTextStream(stdout) << "open" << Qt::endl;
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return 3;
    input.readAll();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--hold") {
        QCoreApplication app(argc, argv);
        try {
            return holdTable(QString::fromLocal8Bit(argv[2]));
        } catch (const engine::EngineError& error) {
            QTextStream(stderr) << error.message() << Qt::endl;
            return 1;
        }
    }
    return testsupport::runTests<TestScan>(argc, argv, testsupport::Setup::Windows);
}

#include "tst_scan.moc"
