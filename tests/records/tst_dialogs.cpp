// The two shared dialogs: their layout, their answers through the shared
// values, and how they take the keyboard.
#include "support/TestMain.h"
#include "support/TestWindows.h"

#include "controls/Accelerators.h"
#include "controls/Fonts.h"
#include "records/Buscar.h"
#include "records/Shared.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>

using namespace boundtest;
using namespace recordtest;

namespace {

QRect placeOf(QWidget* window, const char* name)
{
    auto* w = window->findChild<QWidget*>(QString::fromLatin1(name));
    return w ? w->geometry() : QRect();
}

// Shows the search dialog as a caller does and runs `step` in it.
QString search(TFichaBuscar& dialog, std::function<void()> step)
{
    TextoBuscado.clear();
    whenShown(&dialog, std::move(step));
    dialog.showModal();
    return TextoBuscado;
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void layout()
    {
        TFichaBorrar borrar;
        TFichaBuscar buscar;
        QCOMPARE(borrar.windowTitle(), QStringLiteral("Eliminar Registro"));
        QCOMPARE(buscar.windowTitle(), QStringLiteral("Buscar"));
        for (platform::Window* dialog : std::initializer_list<platform::Window*> { &borrar, &buscar }) {
            QCOMPARE(dialog->size(), QSize(401, 110));
            QCOMPARE(dialog->helpTopic(), 0);
            QCOMPARE(placeOf(dialog, "But_Aceptar"), QRect(75, 81, 113, 20));
            QCOMPARE(placeOf(dialog, "But_Cancelar"), QRect(213, 81, 113, 20));
            QCOMPARE(placeOf(dialog, "Bevel1"), QRect(0, 70, 401, 9));
            QVERIFY(!(dialog->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint)));
        }
        QCOMPARE(button(&borrar, "But_Aceptar")->caption(), QStringLiteral("&Eliminar"));
        QCOMPARE(button(&buscar, "But_Aceptar")->caption(), QStringLiteral("&Aceptar"));
        QCOMPARE(borrar.Label1->text(), QStringLiteral("Esta seguro de querer eliminar el registro "));
        QCOMPARE(borrar.Label1->pos(), QPoint(82, 26));
        QCOMPARE(borrar.Label1->font().pixelSize(), 13);
        QCOMPARE(borrar.Image2->geometry(), QRect(26, 16, 32, 32));
        QCOMPARE(borrar.Image2->pixmap().size(), QSize(32, 32));
        QCOMPARE(buscar.Label1->text(), QStringLiteral("Buscar :"));
        QCOMPARE(buscar.Label1->pos(), QPoint(16, 26));
        QCOMPARE(buscar.TextoBusqueda->geometry(), QRect(72, 24, 313, 21));
        QCOMPARE(buscar.Label1->palette().color(QPalette::WindowText), QColor(128, 0, 0));
        QCOMPARE(buscar.TextoBusqueda->palette().color(QPalette::Base), QColor(196, 219, 244));
    }

    // On the button-face ground of the dialogs the labels are drawn maroon,
    // not in the button-text colour that ground would give them.
    void labelsAreDrawnMaroon()
    {
        TFichaBorrar borrar;
        TFichaBuscar buscar;
        for (QLabel* label : { borrar.Label1, buscar.Label1 }) {
            QWidget* dialog = label->window();
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            const QImage drawn = label->grab().toImage();
            int maroon = 0;
            int black = 0;
            for (int y = 0; y < drawn.height(); ++y) {
                for (int x = 0; x < drawn.width(); ++x) {
                    const QColor c = drawn.pixelColor(x, y);
                    maroon += c.red() > 90 && c.green() < 60 && c.blue() < 60;
                    black += c.red() < 40 && c.green() < 40 && c.blue() < 40;
                }
            }
            QVERIFY2(maroon > 20, qPrintable(label->text()));
            QCOMPARE(black, 0);
            dialog->close();
        }
    }

    void searchReturnsTextExactlyAndStartsEmpty()
    {
        TFichaBuscar dialog;
        QCOMPARE(search(dialog,
                     [&] {
                         QTest::keyClicks(dialog.TextoBusqueda, "  Vacuna De Rabia ");
                         click(&dialog, "But_Aceptar");
                     }),
            QStringLiteral("  Vacuna De Rabia "));
        QString atShowing = QStringLiteral("not seen");
        QCOMPARE(search(dialog,
                     [&] {
                         atShowing = dialog.TextoBusqueda->text();
                         click(&dialog, "But_Aceptar"); // accepted empty: counts as cancelled
                     }),
            QString());
        QCOMPARE(atShowing, QString());
    }

    void searchCancelledOrClosedReturnsEmpty_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("Cancelar") << 0;
        QTest::newRow("Alt+C") << 1;
        QTest::newRow("window manager close") << 2;
    }
    void searchCancelledOrClosedReturnsEmpty()
    {
        QFETCH(int, how);
        TFichaBuscar dialog;
        QCOMPARE(search(dialog,
                     [&] {
                         QTest::keyClicks(dialog.TextoBusqueda, "perro");
                         if (how == 0)
                             click(&dialog, "But_Cancelar");
                         else if (how == 1)
                             QTest::keyClick(dialog.TextoBusqueda, Qt::Key_C, Qt::AltModifier);
                         else
                             dialog.close();
                     }),
            QString());
    }

    void searchBoxTakesLettersAndAltWorksButtons()
    {
        TFichaBuscar dialog;
        QWidget* focused = nullptr;
        QCOMPARE(search(dialog,
                     [&] {
                         focused = QApplication::focusWidget();
                         QTest::keyClicks(dialog.TextoBusqueda, "ca");
                         QTest::keyClick(dialog.TextoBusqueda, Qt::Key_A, Qt::AltModifier);
                     }),
            QStringLiteral("ca"));
        QCOMPARE(focused, dialog.TextoBusqueda);
    }
};

HLR_TEST_MAIN(TestDialogs, Windows)

#include "tst_dialogs.moc"
