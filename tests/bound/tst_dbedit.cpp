// The bound text box: auto-edit on typing, writing when left or posted,
// Escape, case and length, and the date edit template's cases.
#include "bound/DBEdit.h"
#include "engine/EngineError.h"
#include "engine/Field.h"
#include "support/BoundTesting.h"
#include "support/EmissionWatch.h"

#include <QClipboard>
#include <QDialog>
#include <QTest>

using namespace boundtest;

namespace {

// A window with two bound boxes over the notes: the name and the date.
struct Form {
    TestData data;
    QDialog window;
    bound::DBEdit* name = new bound::DBEdit(&window);
    bound::DBEdit* date = new bound::DBEdit(&window);
    bound::DBEdit* other = new bound::DBEdit(&window);

    explicit Form(bool notesFollowPets = false)
        : data(notesFollowPets)
    {
        engine::Table& notes = *data.notes.table;
        notes.open();
        addRecord(notes,
            { { QStringLiteral("NOMBRE"), QStringLiteral("Vacuna") },
                { QStringLiteral("FECHA"), QDate(2023, 4, 7) } });
        for (auto [box, field] : { std::pair { name, "NOMBRE" }, { date, "FECHA" }, { other, "CLINICA" } }) {
            box->setDataSource(data.notes.source.get());
            box->setDataField(QString::fromLatin1(field));
        }
        name->move(0, 0);
        date->move(0, 30);
        other->move(0, 60);
        window.resize(200, 100);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    engine::Table& notes() { return *data.notes.table; }
    engine::Field& field(const char* fieldName) { return notes().field(QString::fromLatin1(fieldName)); }
    void focus(QWidget* box)
    {
        box->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), box);
    }
};

} // namespace

class TestDBEdit : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { engine::setShortDateFormat(QStringLiteral("dd/MM/yyyy")); }
    void init() { engine::setShortDateFormat(QStringLiteral("dd/MM/yyyy")); }

    void showsFieldOfCurrentRecord()
    {
        Form form;
        QCOMPARE(form.name->text(), QStringLiteral("Vacuna"));
        QCOMPARE(form.date->text(), QStringLiteral("07/04/2023"));
        QCOMPARE(form.name->maxLength(), 20);
        addRecord(form.notes(), { { QStringLiteral("NOMBRE"), QStringLiteral("Zeta") } });
        QCOMPARE(form.name->text(), QStringLiteral("Zeta"));
        QCOMPARE(form.date->text(), QStringLiteral("__/__/____"));
        form.notes().close();
        QCOMPARE(form.name->text(), QString());
    }

    void typingEditsAndLeavingWrites()
    {
        Form form;
        form.focus(form.name);
        QCOMPARE(form.notes().state(), engine::TableState::Browse);
        QTest::keyClick(form.name, Qt::Key_End);
        QCOMPARE(form.notes().state(), engine::TableState::Browse); // moving is not typing
        QTest::keyClicks(form.name, "s");
        QCOMPARE(form.notes().state(), engine::TableState::Edit);
        QVERIFY(form.name->pending());
        QCOMPARE(form.field("NOMBRE").asString(), QStringLiteral("Vacuna")); // not yet written
        QTest::keyClick(form.name, Qt::Key_Tab);
        QCOMPARE(form.field("NOMBRE").asString(), QStringLiteral("Vacunas"));
        QVERIFY(!form.name->pending());
    }

    void postWritesPendingTextOfFocusedBox()
    {
        Form form;
        form.focus(form.name);
        form.name->selectAll();
        QTest::keyClicks(form.name, "Rabia");
        form.notes().post();
        QCOMPARE(form.notes().state(), engine::TableState::Browse);
        QCOMPARE(form.field("NOMBRE").asString(), QStringLiteral("Rabia"));
    }

    void escapeRestoresStoredValue()
    {
        Form form;
        form.focus(form.name);
        form.name->selectAll();
        QTest::keyClicks(form.name, "Otra");
        QTest::keyClick(form.name, Qt::Key_Escape);
        QCOMPARE(form.name->text(), QStringLiteral("Vacuna"));
        QVERIFY(!form.name->pending());
        QTest::keyClick(form.name, Qt::Key_Tab);
        QCOMPARE(form.field("NOMBRE").asString(), QStringLiteral("Vacuna"));
    }

    void sourceWithoutAutoEditRefusesTyping()
    {
        Form form;
        form.data.notes.source->setAutoEdit(false);
        form.focus(form.name);
        QTest::keyClick(form.name, Qt::Key_End);
        QTest::keyClicks(form.name, "xy");
        QTest::keyClick(form.name, Qt::Key_Backspace);
        QCOMPARE(form.name->text(), QStringLiteral("Vacuna"));
        QCOMPARE(form.notes().state(), engine::TableState::Browse);
        // Once the table edits, the same box takes typing.
        form.notes().edit();
        QTest::keyClicks(form.name, "s");
        QCOMPARE(form.name->text(), QStringLiteral("Vacunas"));
    }

    void readOnlyBoxIgnoresTyping()
    {
        Form form;
        form.name->setReadOnly(true);
        form.focus(form.name);
        QTest::keyClicks(form.name, "abc");
        QCOMPARE(form.name->text(), QStringLiteral("Vacuna"));
        QCOMPARE(form.notes().state(), engine::TableState::Browse);
    }

    void upperCaseAndLengthLimit()
    {
        Form form;
        form.name->setCharCase(bound::DBEdit::CharCase::Upper);
        form.focus(form.name);
        form.name->selectAll();
        QTest::keyClicks(form.name, "perro pastor aleman grande");
        QCOMPARE(form.name->text(), QStringLiteral("PERRO PASTOR ALEMAN "));
        form.other->setFieldMaxLength(4);
        form.focus(form.other);
        QTest::keyClicks(form.other, "abcdef");
        QCOMPARE(form.other->text(), QStringLiteral("abcd"));
        QTest::keyClick(form.other, Qt::Key_Tab);
        QCOMPARE(form.field("CLINICA").asString(), QStringLiteral("abcd"));
    }

    void lengthCountsCharacters()
    {
        // NOMBRE holds 20 characters; "😀" is one, typed as one key event
        // carrying both its UTF-16 halves.
        const QString smile = QStringLiteral("😀");
        const QString a19 = QString(19, QLatin1Char('a'));
        const auto type = [](QWidget* box, const QString& text) {
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, text, Qt::NoModifier);
        };
        Form form;
        QCOMPARE(form.name->maxLength(), 20);
        form.focus(form.name);
        form.name->selectAll();
        QTest::keyClicks(form.name, a19);
        type(form.name, smile);
        QCOMPARE(form.name->text(), a19 + smile);
        QCOMPARE(form.notes().state(), engine::TableState::Edit);
        // At the limit another one goes nowhere, and no half of it stays.
        type(form.name, smile);
        QTest::keyClick(form.name, Qt::Key_B);
        QCOMPARE(form.name->text(), a19 + smile);
        QTest::keyClick(form.name, Qt::Key_Tab);
        QCOMPARE(form.field("NOMBRE").asString(), a19 + smile);
        form.notes().post();
        QCOMPARE(form.field("NOMBRE").asString(), a19 + smile);

        // A paste is cut at its own end, in the middle as at the end.
        form.focus(form.name);
        form.name->setText(QStringLiteral("abcdefghijklmnopqrs"));
        form.name->setCursorPosition(5);
        QApplication::clipboard()->setText(smile.repeated(3));
        QTest::keySequence(form.name, QKeySequence::Paste);
        QCOMPARE(form.name->text(), QStringLiteral("abcde") + smile + QStringLiteral("fghijklmnopqrs"));
        QCOMPARE(form.name->cursorPosition(), 7);
        form.name->selectAll();
        QApplication::clipboard()->setText(smile.repeated(30));
        QTest::keySequence(form.name, QKeySequence::Paste);
        QCOMPARE(form.name->text(), smile.repeated(20));
        QTest::keyClick(form.name, Qt::Key_Tab);
        QCOMPARE(form.field("NOMBRE").asString(), smile.repeated(20));
    }

    void typingAtTheLimitChangesNothing()
    {
        Form form;
        form.other->setFieldMaxLength(4);
        form.notes().edit();
        form.field("CLINICA").setAsString(QStringLiteral("abcd"));
        form.notes().post();
        form.focus(form.other);
        form.other->end(false);
        QTest::keyClick(form.other, Qt::Key_E);
        QCOMPARE(form.other->text(), QStringLiteral("abcd"));
        QVERIFY(!form.other->pending());
    }

    void dateTemplate_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("stored");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("beeps");
        const QDate kept(2023, 4, 7);
        const QString blankYear = QStringLiteral("Invalid input value.  Use escape key to abandon changes.");
        const QString dmy = QStringLiteral("dd/MM/yyyy");
        QTest::newRow("complete date") << dmy << "05032024" << QDate(2024, 3, 5) << QString() << 0;
        QTest::newRow("leading blanks in day and month")
            << dmy << " 5 32024" << QDate(2024, 3, 5) << QString() << 0;
        QTest::newRow("month first") << QStringLiteral("MM/dd/yyyy") << "03052024" << QDate(2024, 3, 5)
                                     << QString() << 0;
        QTest::newRow("day 31 of February")
            << dmy << "31022024" << kept << QStringLiteral("'31/02/2024' is not a valid date.") << 0;
        QTest::newRow("month 13") << dmy << "01132024" << kept
                                  << QStringLiteral("'01/13/2024' is not a valid date.") << 0;
        QTest::newRow("day left blank")
            << dmy << "  032024" << kept << QStringLiteral("'  /03/2024' is not a valid date.") << 0;
        QTest::newRow("year zero") << dmy << "05030000" << kept
                                   << QStringLiteral("'05/03/0000' is not a valid date.") << 0;
        QTest::newRow("year left blank") << dmy << "0503" << kept << blankYear << 1;
        QTest::newRow("year partly typed") << dmy << "050320" << kept << blankYear << 1;
        QTest::newRow("blank refused in the year")
            << dmy << "0503 2024" << QDate(2024, 3, 5) << QString() << 1;
        QTest::newRow("letters refused") << dmy << "05a03x2024" << QDate(2024, 3, 5) << QString() << 2;
    }

    void dateTemplate()
    {
        QFETCH(QString, format);
        QFETCH(QString, typed);
        QFETCH(QDate, stored);
        QFETCH(QString, message);
        QFETCH(int, beeps);
        engine::setShortDateFormat(format);
        Form form;
        Recorder recorder;
        form.focus(form.date);
        form.date->selectAll();
        QTest::keyClick(form.date, Qt::Key_Backspace);
        QCOMPARE(form.date->text(), QStringLiteral("__/__/____"));
        form.date->setCursorPosition(0);
        QTest::keyClicks(form.date, typed);
        QTest::keyClick(form.date, Qt::Key_Tab);
        QCOMPARE(form.field("FECHA").asDate(), stored);
        QCOMPARE(recorder.beeps, beeps);
        if (message.isEmpty()) {
            QVERIFY(recorder.messages.isEmpty());
            QCOMPARE(QApplication::focusWidget(), form.other);
            return;
        }
        QCOMPARE(recorder.messages, QStringList { message });
        QCOMPARE(recorder.titles, QStringList { QStringLiteral("Huellario") });
        // The box keeps the focus with its whole text selected.
        QCOMPARE(QApplication::focusWidget(), form.date);
        QCOMPARE(form.date->selectedText(), form.date->text());
        QVERIFY(form.date->pending());
    }

    void emptiedDateBoxIsRefusedAndEscapeRestores()
    {
        Form form;
        Recorder recorder;
        form.focus(form.date);
        form.date->selectAll();
        QTest::keyClick(form.date, Qt::Key_Delete);
        QTest::keyClick(form.date, Qt::Key_Tab);
        QCOMPARE(recorder.beeps, 1);
        QCOMPARE(recorder.messages.size(), 1);
        QCOMPARE(QApplication::focusWidget(), form.date);
        QCOMPARE(form.field("FECHA").asDate(), QDate(2023, 4, 7));
        QTest::keyClick(form.date, Qt::Key_Escape);
        QCOMPARE(form.date->text(), QStringLiteral("07/04/2023"));
        QTest::keyClick(form.date, Qt::Key_Tab);
        QCOMPARE(recorder.messages.size(), 1);
        QCOMPARE(QApplication::focusWidget(), form.other);
    }

    void postWithIncompleteDateFailsAndKeepsValues()
    {
        Form form;
        Recorder recorder;
        form.focus(form.date);
        form.date->setCursorPosition(6);
        QTest::keyClick(form.date, Qt::Key_Delete);
        bool refused = false;
        try {
            form.notes().post();
        } catch (const engine::EngineError& error) {
            refused = error.message().startsWith(QStringLiteral("Invalid input value."));
        }
        QVERIFY(refused);
        QCOMPARE(form.notes().state(), engine::TableState::Edit);
        QCOMPARE(form.date->text(), QStringLiteral("07/04/_023"));
        QCOMPARE(recorder.beeps, 1);
    }

    // However post is reached, the box's refusal comes out of the table call
    // as an EngineError through plain calls: no Qt signal emission is left
    // half done, and the notes keep their edit and their values.
    void refusalDuringPostReachesTheCaller_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("post") << "post";
        QTest::newRow("moving the notes") << "move";
        QTest::newRow("the master moving") << "master";
    }
    void refusalDuringPostReachesTheCaller()
    {
        QFETCH(QString, how);
        Form form(true);
        form.notes().edit();
        form.field("CODIGO").setAsString(QStringLiteral("A"));
        form.notes().post();
        engine::Table& pets = *form.data.pets.table;
        pets.open();
        addRecord(pets, { { QStringLiteral("CODIGO"), QStringLiteral("A") } });
        addRecord(pets, { { QStringLiteral("CODIGO"), QStringLiteral("B") } });
        pets.first();
        QCOMPARE(form.notes().recordCount(), 1);
        QCOMPARE(form.date->text(), QStringLiteral("07/04/2023"));
        Recorder recorder;
        form.focus(form.name);
        form.name->end(false);
        QTest::keyClicks(form.name, " anual");
        form.focus(form.date);
        form.date->setCursorPosition(6);
        QTest::keyClick(form.date, Qt::Key_Delete);
        QCOMPARE(form.notes().state(), engine::TableState::Edit);

        testsupport::EmissionWatch watch;
        QString message;
        try {
            if (how == QLatin1String("post"))
                form.notes().post();
            else if (how == QLatin1String("move"))
                form.notes().first();
            else
                pets.next();
        } catch (const engine::EngineError& error) {
            message = error.message();
        }
        QCOMPARE(watch.unwound(), 0);
        QCOMPARE(message, QStringLiteral("Invalid input value.  Use escape key to abandon changes"));
        QCOMPARE(form.notes().state(), engine::TableState::Edit);
        QCOMPARE(form.field("NOMBRE").asString(), QStringLiteral("Vacuna anual"));
        QCOMPARE(form.field("FECHA").asDate(), QDate(2023, 4, 7));
        QCOMPARE(form.date->text(), QStringLiteral("07/04/_023"));
        QCOMPARE(QApplication::focusWidget(), form.date);
        QCOMPARE(recorder.beeps, 1);
        form.notes().cancel();
        QCOMPARE(form.notes().recordCount(), 1);
        QCOMPARE(form.field("NOMBRE").asString(), QStringLiteral("Vacuna"));
    }

    // The watch itself: a throw out of a slot is seen.
    void emissionWatchSeesAThrowThroughASignal()
    {
        QObject sender;
        QObject::connect(
            &sender, &QObject::objectNameChanged, [] { throw engine::EngineError(QStringLiteral("x")); });
        testsupport::EmissionWatch watch;
        try {
            sender.setObjectName(QStringLiteral("otro"));
        } catch (const engine::EngineError&) {
        }
        QCOMPARE(watch.unwound(), 1);
    }

    void backspaceSkipsSeparators()
    {
        Form form;
        form.focus(form.date);
        form.date->setCursorPosition(3);
        QTest::keyClick(form.date, Qt::Key_Backspace);
        QCOMPARE(form.date->text(), QStringLiteral("0_/04/2023"));
        QCOMPARE(form.date->cursorPosition(), 1);
        QTest::keyClicks(form.date, "9");
        QCOMPARE(form.date->text(), QStringLiteral("09/04/2023"));
        QCOMPARE(form.date->cursorPosition(), 3);
    }
};

HLR_BOUND_TEST_MAIN(TestDBEdit)
#include "tst_dbedit.moc"
