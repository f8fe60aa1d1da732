// The program's accelerator keys: which typed keys work which fancy button, with Alt and alone,
// depending on the focused control, and which pass on to the rest of the window.
#include "controls/Accelerators.h"
#include "controls/FancyButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {

// A record window in small: a text box, a check box with its own mnemonic, a grid, a custom
// control that takes characters, and buttons hidden, disabled and sharing a letter.
struct Window {
    QWidget widget;
    QLineEdit* edit = new QLineEdit(&widget);
    QCheckBox* check = new QCheckBox(QStringLiteral("&Grande"), &widget);
    QTableView* grid = new QTableView(&widget);
    QWidget* custom = new QWidget(&widget);
    QStandardItemModel model { 3, 1 };
    std::map<QString, TDsFancyButton*> buttons;
    std::map<QString, std::unique_ptr<QSignalSpy>> clicks;

    Window()
    {
        widget.resize(500, 300);
        edit->setGeometry(10, 10, 100, 20);
        check->setGeometry(10, 40, 100, 20);
        check->setFocusPolicy(Qt::StrongFocus);
        grid->setGeometry(10, 70, 200, 100);
        grid->setModel(&model);
        custom->setGeometry(220, 10, 50, 20);
        custom->setFocusPolicy(Qt::StrongFocus);
        custom->setProperty("hlrTakesCharacters", true);
        int top = 10;
        for (const char* caption :
            { "&Aceptar", "&Cancelar", "&Cerrar", "&Borrar", "&1 MASCOTA", "Perros && Gatos", "Aña&dir" }) {
            auto* b = new TDsFancyButton(&widget);
            b->setCaption(QString::fromUtf8(caption));
            b->setGeometry(300, top, 113, 20);
            top += 25;
            buttons[b->caption()] = b;
            clicks[b->caption()] = std::make_unique<QSignalSpy>(b, &TDsFancyButton::clicked);
        }
        buttons.at(QStringLiteral("&Cancelar"))->hide();
        buttons.at(QStringLiteral("&Borrar"))->setEnabled(false);
    }

    QMap<QString, int> clickCounts() const
    {
        QMap<QString, int> counts;
        for (const auto& [caption, spy] : clicks)
            if (spy->size() > 0)
                counts[caption] = int(spy->size());
        return counts;
    }
};

using Clicks = QMap<QString, int>;

} // namespace

class TestAccelerators : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void acceleratorOfCaption_data();
    void acceleratorOfCaption();
    void keys_data();
    void keys();
    void clickHasNoDownLook();
    void theActiveWindowsButtonsOnly();
    void installingTwiceClicksOnce();
};

void TestAccelerators::initTestCase()
{
    controls::installAccelerators(*qApp);
}

void TestAccelerators::acceleratorOfCaption_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("accelerator");
    QTest::newRow("first") << "&Aceptar"
                           << "A";
    QTest::newRow("inside") << QString::fromUtf8("Aña&dir") << "d";
    QTest::newRow("digit") << "&1 MASCOTA"
                           << "1";
    QTest::newRow("literal only") << "Perros && Gatos"
                                  << "";
    QTest::newRow("after a literal") << "P&&&Q"
                                     << "Q";
    QTest::newRow("first of two") << "&Uno &Dos"
                                  << "U";
    QTest::newRow("trailing") << "Fin&"
                              << "";
    QTest::newRow("none") << "Clínicas / Veterinarios"
                          << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestAccelerators::acceleratorOfCaption()
{
    QFETCH(QString, caption);
    QFETCH(QString, accelerator);
    const QChar c = TDsFancyButton::acceleratorOf(caption);
    QCOMPARE(c.isNull() ? QString() : QString(c), accelerator);
}

void TestAccelerators::keys_data()
{
    QTest::addColumn<QString>("focus"); // none, edit, check, grid, custom
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<Clicks>("clicks");
    QTest::addColumn<QString>("editText"); // what the text box holds afterwards; null: not checked

    const Qt::KeyboardModifiers none, alt = Qt::AltModifier, shift = Qt::ShiftModifier,
                                      ctrl = Qt::ControlModifier;
    const Clicks nothing;
    const Clicks aceptar { { "&Aceptar", 1 } };
    QTest::newRow("alone, no focus") << "none" << int(Qt::Key_A) << none << aceptar << "";
    QTest::newRow("alone, upper case") << "none" << int(Qt::Key_A) << shift << aceptar << "";
    QTest::newRow("alone, on a check box") << "check" << int(Qt::Key_A) << none << aceptar << "";
    QTest::newRow("alone, on a grid") << "grid" << int(Qt::Key_A) << none << aceptar << "";
    QTest::newRow("alone, on a text box: typed") << "edit" << int(Qt::Key_A) << none << nothing << "a";
    QTest::newRow("alone, on a control that takes characters")
        << "custom" << int(Qt::Key_A) << none << nothing << "";
    QTest::newRow("Alt, on a text box") << "edit" << int(Qt::Key_A) << alt << aceptar << "";
    QTest::newRow("Alt, no focus") << "none" << int(Qt::Key_A) << alt << aceptar << "";
    QTest::newRow("Ctrl is not an accelerator") << "none" << int(Qt::Key_A) << ctrl << nothing << "";
    QTest::newRow("shared letter: the shown one")
        << "grid" << int(Qt::Key_C) << none << Clicks { { "&Cerrar", 1 } } << "";
    QTest::newRow("disabled passes on") << "edit" << int(Qt::Key_B) << alt << nothing << QString();
    QTest::newRow("disabled, alone into the text box") << "edit" << int(Qt::Key_B) << none << nothing << "b";
    QTest::newRow("digit") << "none" << int(Qt::Key_1) << none << Clicks { { "&1 MASCOTA", 1 } } << "";
    QTest::newRow("second accelerator is not one") << "none" << int(Qt::Key_N) << none << nothing << "";
    QTest::newRow("after a literal &")
        << "none" << int(Qt::Key_D) << none << Clicks { { QString::fromUtf8("Aña&dir"), 1 } } << "";
    QTest::newRow("Enter") << "none" << int(Qt::Key_Return) << none << nothing << "";
    QTest::newRow("Tab") << "check" << int(Qt::Key_Tab) << none << nothing << "";
}

void TestAccelerators::keys()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(Clicks, clicks);
    QFETCH(QString, editText);

    Window w;
    w.widget.show();
    w.widget.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.widget));
    QWidget* target = &w.widget;
    if (focus == "edit")
        target = w.edit;
    else if (focus == "check")
        target = w.check;
    else if (focus == "grid")
        target = w.grid;
    else if (focus == "custom")
        target = w.custom;
    if (target != &w.widget) {
        target->setFocus();
        QTRY_VERIFY(target->hasFocus());
    } else {
        w.edit->setFocusPolicy(Qt::NoFocus);
        w.check->setFocusPolicy(Qt::NoFocus);
        w.grid->setFocusPolicy(Qt::NoFocus);
        w.custom->setFocusPolicy(Qt::NoFocus);
        if (QApplication::focusWidget())
            QApplication::focusWidget()->clearFocus();
        QCOMPARE(QApplication::focusWidget(), nullptr);
    }

    QTest::keyClick(target, Qt::Key(key), modifiers);
    QCOMPARE(w.clickCounts(), clicks);
    if (!editText.isNull())
        QCOMPARE(w.edit->text(), editText);
}

void TestAccelerators::clickHasNoDownLook()
{
    Window w;
    w.widget.show();
    w.widget.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.widget));
    TDsFancyButton* aceptar = w.buttons.at(QStringLiteral("&Aceptar"));
    bool downDuringClick = true;
    connect(aceptar, &TDsFancyButton::clicked, this, [&] { downDuringClick = aceptar->isDown(); });
    QTest::keyClick(&w.widget, Qt::Key_A, Qt::AltModifier);
    QCOMPARE(w.clickCounts(), (Clicks { { "&Aceptar", 1 } }));
    QVERIFY(!downDuringClick);
    QVERIFY(!aceptar->isDown());
    QCOMPARE(aceptar->stateImage(), 1);

    // With no button for the letter, Alt+G goes on to the check box's own mnemonic.
    w.edit->setFocus();
    QTRY_VERIFY(w.edit->hasFocus());
    QTest::keyClick(w.edit, Qt::Key_G, Qt::AltModifier);
    QTRY_VERIFY(w.check->isChecked());
}

void TestAccelerators::theActiveWindowsButtonsOnly()
{
    Window w;
    w.widget.show();
    QDialog dialog(&w.widget);
    auto* mine = new TDsFancyButton(&dialog);
    mine->setCaption(QStringLiteral("&Aceptar"));
    QSignalSpy mineClicked(mine, &TDsFancyButton::clicked);
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(&dialog, Qt::Key_A);
    QCOMPARE(mineClicked.size(), 1);
    QCOMPARE(w.clickCounts(), Clicks {});

    // The dialog's button stays out of its owner's way once the owner is active again.
    dialog.hide();
    w.widget.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.widget));
    QTest::keyClick(&w.widget, Qt::Key_A, Qt::AltModifier);
    QCOMPARE(mineClicked.size(), 1);
    QCOMPARE(w.clickCounts(), (Clicks { { "&Aceptar", 1 } }));
}

void TestAccelerators::installingTwiceClicksOnce()
{
    controls::installAccelerators(*qApp);
    Window w;
    w.widget.show();
    w.widget.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.widget));
    QTest::keyClick(&w.widget, Qt::Key_A, Qt::AltModifier);
    QCOMPARE(w.clickCounts(), (Clicks { { "&Aceptar", 1 } }));
}

QTEST_MAIN(TestAccelerators)
#include "tst_accelerators.moc"
