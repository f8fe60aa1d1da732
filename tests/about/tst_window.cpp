// The about window: its layout and looks, the two links, the sign-up e-mail
// handed to the shell, the messages when it cannot be sent, and the buttons'
// letters.
#include "SignUpText.h"

#include "about/AboutPicture.h"
#include "about/Acerca.h"
#include "controls/Accelerators.h"
#include "controls/Colors.h"
#include "controls/FancyButton.h"
#include "controls/Fonts.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

struct Box {
    QString title;
    QString text;
    platform::MessageIcon icon;
};

// A shown about window with a recording shell and message hook.
struct Fixture {
    platform::RecordingShell* shell = nullptr;
    QList<Box> boxes;
    TAboutBox window;

    Fixture()
    {
        auto fake = std::make_unique<platform::RecordingShell>();
        shell = fake.get();
        platform::setShell(std::move(fake));
        platform::setMessageHook(
            [this](const QString& title, const QString& text, platform::MessageIcon icon) {
                boxes.append({ title, text, icon });
            });
        window.show();
    }
    ~Fixture()
    {
        platform::setMessageHook({});
        platform::setShell(nullptr);
    }
};

void click(QWidget* widget)
{
    // A fancy button answers a press only while the pointer is over it.
    const QPoint centre = widget->rect().center();
    QMouseEvent move(
        QEvent::MouseMove, centre, widget->mapToGlobal(centre), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
    QTest::mouseClick(widget, Qt::LeftButton, {}, centre);
}

} // namespace

class TstAboutWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        controls::installFontSubstitutions();
        controls::installAccelerators(*qApp);
    }

    void frame()
    {
        Fixture f;
        TAboutBox& w = f.window;
        QCOMPARE(w.windowTitle(), QStringLiteral("AboutBox"));
        QCOMPARE(w.size(), QSize(543, 336));
        QCOMPARE(w.helpTopic(), 1);
        QVERIFY(!w.helpIsPopup());
        QCOMPARE(w.Image1->geometry(), QRect(0, 0, 543, 336));
        QCOMPARE(w.Bevel1->geometry(), QRect(-16, 296, 750, 9));
        QCOMPARE(w.Bevel2->geometry(), QRect(-199, 200, 750, 5));
        QCOMPARE(w.Bevel1->frameShadow(), QFrame::Sunken);
        QCOMPARE(w.Bevel2->frameShadow(), QFrame::Sunken);
        QCOMPARE(w.But_Modificar->caption(), QStringLiteral("&Registro"));
        QCOMPARE(w.But_Modificar->geometry(), QRect(101, 305, 152, 20));
        QCOMPARE(w.But_Salir->caption(), QStringLiteral("&Cerrar"));
        QCOMPARE(w.But_Salir->geometry(), QRect(301, 305, 142, 20));
        for (TDsFancyButton* b : { w.But_Modificar, w.But_Salir }) {
            QCOMPARE(b->color(), controls::clSkyBlue);
            QCOMPARE(b->fontColor(), controls::clNavy);
            QCOMPARE(b->cursor().shape(), Qt::PointingHandCursor);
        }
        // Nothing visible takes the focus, so the letters alone work the buttons.
        for (QWidget* child : w.findChildren<QWidget*>()) {
            if (child->isVisible())
                QVERIFY2(child->focusPolicy() == Qt::NoFocus, qPrintable(child->objectName()));
        }
    }

    void labels_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("left"); // -1: centred in the window
        QTest::addColumn<int>("top");
        QTest::addColumn<QString>("face");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<bool>("underline");
        QTest::addColumn<QColor>("color"); // invalid: the window text colour
        const QString sans = controls::kSansSerifFace;
        const QString times = controls::kTimesFace;
        const QColor text;
        QTest::newRow("Label1") << "Label1"
                                << "Huellario" << -1 << 16 << times << 32 << true << false
                                << controls::clMaroon;
        QTest::newRow("Label2") << "Label2"
                                << "Versión  2.0" << -1 << 80 << sans << 13 << false << false << text;
        QTest::newRow("Label6") << "Label6"
                                << "Programa para la gestión particular de mascotas" << -1 << 56 << times
                                << 13 << true << false << controls::clMaroon;
        QTest::newRow("Label3") << "Label3"
                                << "© 2026 Huellario Software" << -1 << 112 << sans << 13 << false << false
                                << controls::clMaroon;
        QTest::newRow("Label4") << "Label4"
                                << "contacto@huellario.example" << -1 << 144 << sans << 11 << false << true
                                << controls::clNavy;
        QTest::newRow("Label5") << "Label5"
                                << "www.huellario.example" << -1 << 168 << sans << 11 << false << true
                                << controls::clNavy;
        QTest::newRow("Label7")
            << "Label7"
            << "Si desea recibir noticias sobre futuras  versiones y  actualizaciones de nuestro software"
            << 20 << 216 << sans << 11 << false << false << controls::clOlive;
        QTest::newRow("Label8") << "Label8"
                                << "puede registrarse mediante el botón al pie de esta ventana." << 20 << 232
                                << sans << 11 << false << false << controls::clOlive;
        QTest::newRow("Label9")
            << "Label9"
            << "Esta información, solo  será usada a  nivel interno  por nuestra  empresa para  mantener"
            << 20 << 256 << sans << 11 << false << false << controls::clOlive;
        QTest::newRow("Label10")
            << "Label10"
            << "informados a nuestros clientes y en ningún caso será compartida con terceras empresas." << 20
            << 272 << sans << 11 << false << false << controls::clOlive;
    }
    void labels()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(int, left);
        QFETCH(int, top);
        QFETCH(QString, face);
        QFETCH(int, pixels);
        QFETCH(bool, italic);
        QFETCH(bool, underline);
        QFETCH(QColor, color);
        Fixture f;
        auto* label = f.window.findChild<QLabel*>(name);
        QVERIFY(label);
        QCOMPARE(label->text(), text);
        QCOMPARE(label->y(), top);
        if (left < 0)
            QVERIFY(qAbs(label->x() + label->width() / 2 - 543 / 2) <= 1);
        else
            QCOMPARE(label->x(), left);
        // The whole text shows: nothing is cut off at the window's edge.
        QVERIFY(label->width() >= label->sizeHint().width());
        QVERIFY(label->geometry().right() < 543);
        QCOMPARE(label->font().family(), face);
        QCOMPARE(label->font().pixelSize(), pixels);
        QVERIFY(label->font().bold());
        QCOMPARE(label->font().italic(), italic);
        QCOMPARE(label->font().underline(), underline);
        const QColor expected = color.isValid() ? color : f.window.palette().color(QPalette::WindowText);
        // The colour the label draws in, whatever role the window's ground gives it.
        QCOMPARE(label->palette().color(label->foregroundRole()), expected);
        QVERIFY(!label->autoFillBackground());
        QCOMPARE(label->cursor().shape(), underline ? Qt::PointingHandCursor : Qt::ArrowCursor);
    }

    void hiddenTemplate()
    {
        Fixture f;
        QPlainTextEdit* memo = f.window.Memo1;
        QVERIFY(!memo->isVisible());
        QCOMPARE(memo->geometry(), QRect(96, 216, 337, 33));
        const QStringList lines = memo->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 17);
        QCOMPARE(lines[0], QStringLiteral("Cumplimente los siguientes campos."));
        QCOMPARE(lines[6], QStringLiteral("                                Ciudad :"));
        QCOMPARE(lines[16], QStringLiteral("* Campos Obligatorios."));
    }

    // The middle of the picture shows at natural size: the window's corner is
    // the picture's point (92, 79).
    void pictureShowsItsMiddle()
    {
        Fixture f;
        QCOMPARE(about::aboutPicture().size(), QSize(728, 495));
        const QImage shown = f.window.Image1->grab().toImage();
        const QImage picture = about::aboutPicture().toImage();
        for (const QPoint p : { QPoint(0, 0), QPoint(5, 330), QPoint(540, 10), QPoint(271, 190) })
            QCOMPARE(shown.pixelColor(p), picture.pixelColor(p + QPoint(92, 79)));
    }

    void signUpHandsTheMailToTheShell()
    {
        Fixture f;
        // Values left over from an earlier request are all set again.
        f.window.mailRequest() = { "x@y.example", "Otro", "c@y.example", "b@y.example", "cuerpo" };
        click(f.window.But_Modificar);
        QCOMPARE(f.shell->opened(), QStringList { abouttest::signUpText });
        QVERIFY(f.boxes.isEmpty());
        const about::MailRequest& kept = f.window.mailRequest();
        QCOMPARE(kept.recipient, QStringLiteral("contacto@huellario.example"));
        QCOMPARE(kept.subject, QStringLiteral("Registro Usuarios"));
        QVERIFY(kept.copy.isEmpty());
        QVERIFY(kept.blindCopy.isEmpty());
        QVERIFY(kept.body.startsWith(QStringLiteral("Cumplimente los siguientes campos.%0D%0A%0D%0A")));
        QVERIFY(f.window.isVisible());
    }

    void shellFailureIsReported_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("reported");
        QTest::newRow("no handler") << platform::kShellNoHandler << true;
        QTest::newRow("missing file") << platform::kShellFileNotFound << true;
        QTest::newRow("32 is a failure") << 32 << true;
        QTest::newRow("33 is success") << 33 << false;
    }
    void shellFailureIsReported()
    {
        QFETCH(int, answer);
        QFETCH(bool, reported);
        Fixture f;
        f.shell->setAnswer(answer);
        click(f.window.But_Modificar);
        QCOMPARE(f.shell->opened().size(), 1);
        QCOMPARE(f.boxes.size(), reported ? 1 : 0);
        if (reported) {
            QCOMPARE(f.boxes[0].title, QStringLiteral("Huellario"));
            QCOMPARE(f.boxes[0].icon, platform::MessageIcon::None);
            QCOMPARE(f.boxes[0].text,
                QStringLiteral("Error Num %1 en ShellExecute.\r").arg(answer) + abouttest::failureSecondLine
                    + QStringLiteral("\rlenght(mail) =  545"));
        }
        QVERIFY(f.window.isVisible());
    }

    void emptyRecipientOpensNothing()
    {
        Fixture f;
        f.window.mailRequest() = { "", "Asunto", "", "", "Hola" };
        f.window.sendMail();
        QVERIFY(f.shell->opened().isEmpty());
        QCOMPARE(f.boxes.size(), 1);
        QCOMPARE(f.boxes[0].title, QStringLiteral("Huellario"));
        QCOMPARE(f.boxes[0].text, QStringLiteral("Falta el destinatario..."));
    }

    void linksIgnoreTheShellsAnswer()
    {
        Fixture f;
        f.shell->setAnswer(platform::kShellNoHandler);
        click(f.window.Label4);
        click(f.window.Label5);
        // Only the left button follows a link.
        QTest::mouseClick(f.window.Label4, Qt::RightButton, {}, f.window.Label4->rect().center());
        QCOMPARE(f.shell->opened(),
            (QStringList { QStringLiteral("mailto:contacto@huellario.example"),
                QStringLiteral("www.huellario.example") }));
        QVERIFY(f.boxes.isEmpty());
        QVERIFY(f.window.isVisible());
    }

    void lettersWorkTheButtons()
    {
        Fixture f;
        f.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QTest::keyClick(&f.window, Qt::Key_R);
        QCOMPARE(f.shell->opened(), QStringList { abouttest::signUpText });
        QTest::keyClick(&f.window, Qt::Key_C, Qt::AltModifier);
        QTRY_VERIFY(!f.window.isVisible());
    }

    void cerrarEndsTheModalShowing()
    {
        Fixture f;
        f.window.hide();
        QSignalSpy clicked(f.window.But_Salir, &TDsFancyButton::clicked);
        QTimer::singleShot(0, &f.window, [&f] { click(f.window.But_Salir); });
        // Should the click miss, the showing still ends and the test fails.
        QTimer::singleShot(5000, &f.window, &QDialog::reject);
        f.window.showModal();
        QCOMPARE(clicked.size(), 1);
        QVERIFY(!f.window.isVisible());
        QVERIFY(f.shell->opened().isEmpty());
    }
};

QTEST_MAIN(TstAboutWindow)
#include "tst_window.moc"
