// Enter as Tab: in the program's windows Enter moves the focus like Tab and
// never reaches a widget; other dialogs keep Enter.
#include "platform/EnterAsTab.h"
#include "platform/Window.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

namespace {

// A box that remembers which Enter keys reached it.
class RecordingBox : public QLineEdit {
public:
    explicit RecordingBox(QWidget* parent)
        : QLineEdit(parent)
    {
    }
    QList<QPair<int, Qt::KeyboardModifiers>> enters;
    int enterReleases = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            enters.append({ event->key(), event->modifiers() });
        QLineEdit::keyPressEvent(event);
    }
    void keyReleaseEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            ++enterReleases;
        QLineEdit::keyReleaseEvent(event);
    }
};

// Four controls in tab order: a box, a memo, a default button, a box.
struct Form {
    platform::Window window;
    RecordingBox* first = new RecordingBox(&window);
    QTextEdit* memo = new QTextEdit(&window);
    QPushButton* button = new QPushButton(QStringLiteral("&Aceptar"), &window);
    RecordingBox* last = new RecordingBox(&window);

    Form()
    {
        window.setClientSize(300, 220);
        memo->setGeometry(0, 30, 200, 60);
        button->move(0, 100);
        button->setDefault(true);
        last->move(0, 140);
        window.show();
    }
    QWidget* control(int index) const
    {
        const QList<QWidget*> all { first, memo, button, last };
        return all.at(index);
    }
};

} // namespace

class TstEnterAsTab : public QObject {
    Q_OBJECT
private slots:
    void init() { m_hook = std::make_unique<platform::EnterAsTab>(); }
    void cleanup() { m_hook.reset(); }

    void movesFocus_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("to");
        const Qt::KeyboardModifiers none;
        QTest::newRow("box to memo") << 0 << int(Qt::Key_Return) << none << 1;
        QTest::newRow("memo to button") << 1 << int(Qt::Key_Return) << none << 2;
        QTest::newRow("button to box") << 2 << int(Qt::Key_Return) << none << 3;
        QTest::newRow("last wraps to first") << 3 << int(Qt::Key_Return) << none << 0;
        QTest::newRow("keypad Enter")
            << 0 << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier) << 1;
        QTest::newRow("Shift back") << 3 << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ShiftModifier)
                                    << 2;
        QTest::newRow("Shift back from memo")
            << 1 << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 0;
        QTest::newRow("Shift wraps to last")
            << 0 << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 3;
    }
    void movesFocus()
    {
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, to);
        Form form;
        QVERIFY(QTest::qWaitForWindowActive(&form.window));
        QSignalSpy clicks(form.button, &QPushButton::clicked);
        QSignalSpy returns(form.first, &QLineEdit::returnPressed);
        form.first->setText(QStringLiteral("LUNA"));
        form.memo->setPlainText(QStringLiteral("VACUNA"));
        form.control(from)->setFocus();
        QTest::keyClick(form.control(from), Qt::Key(key), modifiers);
        QCOMPARE(QApplication::focusWidget(), form.control(to));
        // Nothing inserted, nothing pressed, nothing received.
        QCOMPARE(form.first->text(), QStringLiteral("LUNA"));
        QCOMPARE(form.memo->toPlainText(), QStringLiteral("VACUNA"));
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(returns.count(), 0);
        QVERIFY(form.first->enters.isEmpty());
        QVERIFY(form.last->enters.isEmpty());
        QVERIFY(form.window.isVisible());
    }

    void altEnterPassesUnchanged()
    {
        Form form;
        QVERIFY(QTest::qWaitForWindowActive(&form.window));
        form.first->setFocus();
        QTest::keyClick(form.first, Qt::Key_Return, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), form.first);
        QCOMPARE(form.first->enters.size(), 1);
        QCOMPARE(form.first->enters[0].second, Qt::KeyboardModifiers(Qt::AltModifier));
    }

    void keyReleasePassesUnchanged()
    {
        Form form;
        QVERIFY(QTest::qWaitForWindowActive(&form.window));
        form.first->setFocus();
        QTest::keyRelease(form.first, Qt::Key_Return);
        QCOMPARE(form.first->enterReleases, 1);
    }

    void enterShortcutNeverFires()
    {
        Form form;
        QVERIFY(QTest::qWaitForWindowActive(&form.window));
        QShortcut shortcut(QKeySequence(Qt::Key_Return), &form.window);
        QSignalSpy fired(&shortcut, &QShortcut::activated);
        form.first->setFocus();
        QTest::keyClick(form.first, Qt::Key_Return);
        QCOMPARE(fired.count(), 0);
        QCOMPARE(QApplication::focusWidget(), form.memo);
    }

    void otherDialogsKeepEnter()
    {
        QDialog dialog;
        auto* box = new QLineEdit(&dialog);
        auto* button = new QPushButton(QStringLiteral("OK"), &dialog);
        button->move(0, 40);
        button->setDefault(true);
        QSignalSpy clicks(button, &QPushButton::clicked);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(clicks.count(), 1);
    }

    void removedWithItsOwner()
    {
        m_hook.reset();
        platform::Window dialog;
        auto* box = new RecordingBox(&dialog);
        dialog.show();
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(box->enters.size(), 1);
    }

private:
    std::unique_ptr<platform::EnterAsTab> m_hook;
};

QTEST_MAIN(TstEnterAsTab)
#include "tst_enterastab.moc"
