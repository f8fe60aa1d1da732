// The fancy button's behaviour: the clamping and notification of its settings, the pointer state
// machine as sequences of events, focus, and the standard looks and fonts.
#include "ButtonHost.h"

#include "controls/Colors.h"

#include <QEnterEvent>
#include <QLineEdit>
#include <QScopeGuard>
#include <QSignalSpy>

using namespace testhelpers;

namespace {

// One step of a pointer sequence on the 113 × 30 test button (corner radius 5).
enum class Step {
    MoveIn, // to the centre
    MoveCorner, // (1, 0): inside the rectangle, outside the rounded shape
    MoveOff, // off the button, onto the window
    PressLeft,
    ReleaseLeft,
    PressRight,
    ReleaseRight,
    PressMiddle,
    ReleaseMiddle,
    DoubleClickLeft,
    Enter, // the enter notification alone, at the centre
    Leave, // the leave notification alone
    Disable,
    Enable,
};
using Steps = QList<Step>;

} // namespace

Q_DECLARE_METATYPE(Step)

class TestFancyBehaviour : public QObject {
    Q_OBJECT

private slots:
    void defaults();
    void clamping_data();
    void clamping();
    void everyAssignmentRepaints();
    void glyphIsCopied();
    void pointerSequences_data();
    void pointerSequences();
    void buttonIsStillDownWhileTheClickRuns();
    void neverTakesTheFocus();
    void looks_data();
    void looks();
    void factoryMakesAWindowButton();
    void fontSubstitutions();
    void fallbackFacesOnlyWhereTheFaceLacksALetter_data();
    void fallbackFacesOnlyWhereTheFaceLacksALetter();
};

void TestFancyBehaviour::defaults()
{
    TDsFancyButton button;
    QCOMPARE(button.size(), QSize(97, 25));
    QCOMPARE(button.caption(), QString());
    QCOMPARE(button.color(), button.palette().color(QPalette::Active, QPalette::Button));
    QCOMPARE(button.focusPolicy(), Qt::NoFocus);
    QVERIFY(!button.autoFillBackground());
    QVERIFY(!button.isHot());
    QVERIFY(!button.isDown());
    QCOMPARE(button.stateImage(), 1);

    const TDsEffect& e = button.FancyEffects();
    QCOMPARE(e.frameStyle(), fmGradient);
    QCOMPARE(e.frameWidth(), 6);
    QCOMPARE(e.hoverColor(), controls::clBlue);
    QCOMPARE(e.shape(), btnRectangle);
    QCOMPARE(e.cornerRadius(), 3);
    QCOMPARE(e.textStyle(), txLowered);
    const TDsGlyph& g = button.Glyphs();
    QVERIFY(g.glyph().isNull());
    QCOMPARE(g.glyphStyle(), gsNormal);
    QCOMPARE(g.layout(), lyLeft);
    QCOMPARE(g.number(), 1);
    QCOMPARE(g.distance(), 0);
    // Ordinal values are part of the interface.
    QCOMPARE(int(fmGradient) + int(btnRectangle) + int(txShadowed) + int(gsLowered) + int(lyCenter),
        1 + 2 + 3 + 2 + 4);
}

void TestFancyBehaviour::clamping_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<int>("assigned");
    QTest::addColumn<int>("stored");
    QTest::newRow("FrameWidth 2") << "FrameWidth" << 2 << 3;
    QTest::newRow("FrameWidth 3") << "FrameWidth" << 3 << 3;
    QTest::newRow("FrameWidth 14") << "FrameWidth" << 14 << 14;
    QTest::newRow("FrameWidth 20") << "FrameWidth" << 20 << 14;
    QTest::newRow("CornerRadius -5") << "CornerRadius" << -5 << 0;
    QTest::newRow("CornerRadius 145") << "CornerRadius" << 145 << 145;
    QTest::newRow("CornerRadius 200") << "CornerRadius" << 200 << 145;
    QTest::newRow("Number 0") << "Number" << 0 << 1;
    QTest::newRow("Number 3") << "Number" << 3 << 3;
    QTest::newRow("Number 9") << "Number" << 9 << 4;
    QTest::newRow("Distance -3") << "Distance" << -3 << 0;
    QTest::newRow("Distance 7") << "Distance" << 7 << 7;
}

void TestFancyBehaviour::clamping()
{
    QFETCH(QString, property);
    QFETCH(int, assigned);
    QFETCH(int, stored);
    CountingButton button;
    int value = -1;
    if (property == "FrameWidth") {
        button.FancyEffects().setFrameWidth(assigned);
        value = button.FancyEffects().frameWidth();
    } else if (property == "CornerRadius") {
        button.FancyEffects().setCornerRadius(assigned);
        value = button.FancyEffects().cornerRadius();
    } else if (property == "Number") {
        button.Glyphs().setNumber(assigned);
        value = button.Glyphs().number();
    } else {
        button.Glyphs().setDistance(assigned);
        value = button.Glyphs().distance();
    }
    QCOMPARE(value, stored);
    QCOMPARE(button.repaints, 1);
}

void TestFancyBehaviour::everyAssignmentRepaints()
{
    CountingButton button;
    TDsEffect& e = button.FancyEffects();
    TDsGlyph& g = button.Glyphs();
    // Unchanged values notify too.
    e.setFrameStyle(e.frameStyle());
    e.setFrameWidth(e.frameWidth());
    e.setHoverColor(e.hoverColor());
    e.setShape(e.shape());
    e.setCornerRadius(e.cornerRadius());
    e.setTextStyle(e.textStyle());
    g.setGlyph(QImage());
    g.setGlyphStyle(g.glyphStyle());
    g.setLayout(g.layout());
    g.setNumber(g.number());
    g.setDistance(g.distance());
    button.setCaption(QStringLiteral("&Ver"));
    button.setColor(controls::clSkyBlue);
    button.setFontColor(controls::clNavy);
    QCOMPARE(button.repaints, 14);
}

void TestFancyBehaviour::glyphIsCopied()
{
    TDsFancyButton button;
    QImage strip(8, 4, QImage::Format_ARGB32);
    strip.fill(Qt::red);
    button.Glyphs().setGlyph(strip);
    strip.fill(Qt::green);
    QCOMPARE(QColor(button.Glyphs().glyph().pixel(0, 0)), QColor(Qt::red));
    button.Glyphs().setNumber(3);
    QCOMPARE(button.Glyphs().imageWidth(), 2);
    button.Glyphs().setNumber(4);
    QImage narrow(3, 4, QImage::Format_ARGB32);
    button.Glyphs().setGlyph(narrow);
    QCOMPARE(button.Glyphs().imageWidth(), 0); // narrower than Number: no image
}

void TestFancyBehaviour::pointerSequences_data()
{
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<bool>("hot");
    QTest::addColumn<bool>("down");
    QTest::addColumn<int>("stateImage");
    QTest::addColumn<int>("clicks");
    using S = Step;
    QTest::newRow("move in") << Steps { S::MoveIn } << true << false << 4 << 0;
    QTest::newRow("move in twice") << Steps { S::MoveIn, S::MoveIn } << true << false << 4 << 0;
    QTest::newRow("move onto the corner") << Steps { S::MoveCorner } << false << false << 1 << 0;
    QTest::newRow("in, then corner") << Steps { S::MoveIn, S::MoveCorner } << false << false << 1 << 0;
    QTest::newRow("press") << Steps { S::MoveIn, S::PressLeft } << true << true << 3 << 0;
    QTest::newRow("click: image stays 3")
        << Steps { S::MoveIn, S::PressLeft, S::ReleaseLeft } << true << false << 3 << 1;
    QTest::newRow("click, then move")
        << Steps { S::MoveIn, S::PressLeft, S::ReleaseLeft, S::MoveIn } << true << false << 4 << 1;
    QTest::newRow("middle button clicks")
        << Steps { S::MoveIn, S::PressMiddle, S::ReleaseMiddle } << true << false << 3 << 1;
    QTest::newRow("right button never")
        << Steps { S::MoveIn, S::PressRight, S::ReleaseRight } << true << false << 4 << 0;
    QTest::newRow("right during a left press")
        << Steps { S::MoveIn, S::PressLeft, S::PressRight, S::ReleaseRight } << true << true << 3 << 0;
    QTest::newRow("double click: two clicks")
        << Steps { S::MoveIn, S::DoubleClickLeft } << true << false << 3 << 2;
    QTest::newRow("press on the corner")
        << Steps { S::MoveCorner, S::PressLeft, S::ReleaseLeft } << false << false << 1 << 0;
    QTest::newRow("dragged onto the corner still clicks")
        << Steps { S::MoveIn, S::PressLeft, S::MoveCorner, S::ReleaseLeft } << true << false << 3 << 1;
    QTest::newRow("dragged off the button cancels")
        << Steps { S::MoveIn, S::PressLeft, S::MoveOff, S::ReleaseLeft } << false << false << 1 << 0;
    // The pointer arrived without a move (tap-to-click, a modal window closing over it): the press
    // over the shape counts as the pointer being there.
    QTest::newRow("click with no move before")
        << Steps { S::PressLeft, S::ReleaseLeft } << true << false << 3 << 1;
    QTest::newRow("right press with no move before") << Steps { S::PressRight } << true << false << 4 << 0;
    QTest::newRow("leave") << Steps { S::MoveIn, S::Leave } << false << false << 1 << 0;
    QTest::newRow("leave while pressed")
        << Steps { S::MoveIn, S::PressLeft, S::Leave } << false << false << 1 << 0;
    QTest::newRow("moved off") << Steps { S::MoveIn, S::MoveOff } << false << false << 1 << 0;
    QTest::newRow("disabled") << Steps { S::MoveIn, S::Disable } << true << false << 2 << 0;
    QTest::newRow("disabled, then leave")
        << Steps { S::MoveIn, S::Disable, S::Leave } << false << false << 2 << 0;
    QTest::newRow("entering is a move") << Steps { S::Enter } << true << false << 4 << 0;
    QTest::newRow("entering while disabled") << Steps { S::Disable, S::Enter } << false << false << 2 << 0;
    QTest::newRow("enabled again") << Steps { S::MoveIn, S::Disable, S::Enable } << true << false << 1 << 0;
}

void TestFancyBehaviour::pointerSequences()
{
    QFETCH(Steps, steps);
    QFETCH(bool, hot);
    QFETCH(bool, down);
    QFETCH(int, stateImage);
    QFETCH(int, clicks);

    ButtonHost host;
    CountingButton* b = host.button;
    b->FancyEffects().setCornerRadius(5);
    QSignalSpy clicked(b, &TDsFancyButton::clicked);
    QSignalSpy pressed(b, &TDsFancyButton::mousePressed);
    const QPoint in = host.centre();
    // Mouse presses sent by QTest bypass Qt's implicit grab, so while a mouse button is held the
    // moves go to the button itself, with positions outside it where the pointer has left it.
    Qt::MouseButtons held;
    const auto moveTo = [&](QPoint pos) {
        if (held != Qt::NoButton || b->rect().contains(pos))
            QTest::mouseMove(b, pos);
        else
            QTest::mouseMove(&host.window, b->mapToParent(pos));
    };
    QPoint pointer = in;
    // QTest remembers held buttons across rows; let go of them however this row ends.
    const auto releaseHeld = qScopeGuard([&] {
        for (const Qt::MouseButton which : { Qt::LeftButton, Qt::RightButton, Qt::MiddleButton })
            if (held & which)
                QTest::mouseRelease(&host.window, which);
    });
    for (const Step step : steps) {
        switch (step) {
        case Step::MoveIn:
            // A move to where the pointer already is generates no event, so alternate two points.
            moveTo(pointer = (pointer == in ? in + QPoint(1, 0) : in));
            break;
        case Step::MoveCorner:
            moveTo(pointer = QPoint(1, 0)); // (0, 0) would mean "the centre" to QTest
            break;
        case Step::MoveOff:
            moveTo(pointer = QPoint(-7, -7));
            break;
        case Step::PressLeft:
            held |= Qt::LeftButton;
            QTest::mousePress(b, Qt::LeftButton, {}, pointer);
            break;
        case Step::ReleaseLeft:
            held &= ~Qt::LeftButton;
            QTest::mouseRelease(b, Qt::LeftButton, {}, pointer);
            break;
        case Step::PressRight:
            held |= Qt::RightButton;
            QTest::mousePress(b, Qt::RightButton, {}, pointer);
            break;
        case Step::ReleaseRight:
            held &= ~Qt::RightButton;
            QTest::mouseRelease(b, Qt::RightButton, {}, pointer);
            break;
        case Step::PressMiddle:
            held |= Qt::MiddleButton;
            QTest::mousePress(b, Qt::MiddleButton, {}, pointer);
            break;
        case Step::ReleaseMiddle:
            held &= ~Qt::MiddleButton;
            QTest::mouseRelease(b, Qt::MiddleButton, {}, pointer);
            break;
        case Step::DoubleClickLeft:
            // As the toolkit delivers it: press, release, double-click press, release.
            QTest::mouseClick(b, Qt::LeftButton, {}, pointer);
            QTest::mouseDClick(b, Qt::LeftButton, {}, pointer);
            QTest::mouseRelease(b, Qt::LeftButton, {}, pointer);
            break;
        case Step::Enter: {
            QEnterEvent enter(in, b->mapTo(&host.window, in), b->mapToGlobal(in));
            QCoreApplication::sendEvent(b, &enter);
            break;
        }
        case Step::Leave: {
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(b, &leave);
            break;
        }
        case Step::Disable:
            b->setEnabled(false);
            break;
        case Step::Enable:
            b->setEnabled(true);
            break;
        }
    }
    QCOMPARE(b->isHot(), hot);
    QCOMPARE(b->isDown(), down);
    QCOMPARE(b->stateImage(), stateImage);
    QCOMPARE(clicked.size(), clicks);
    // The generic press event comes for every press, whatever the button's own logic does with it.
    const auto presses = std::count_if(steps.begin(), steps.end(),
        [](Step s) { return s == Step::PressLeft || s == Step::PressRight || s == Step::PressMiddle; });
    if (!steps.contains(Step::DoubleClickLeft))
        QCOMPARE(pressed.size(), presses);
}

void TestFancyBehaviour::buttonIsStillDownWhileTheClickRuns()
{
    ButtonHost host;
    bool downDuringClick = false;
    connect(host.button, &TDsFancyButton::clicked, this, [&] { downDuringClick = host.button->isDown(); });
    QTest::mouseMove(host.button, host.centre());
    const int before = host.button->repaints;
    QTest::mouseMove(host.button, host.centre() + QPoint(3, 0));
    QCOMPARE(host.button->repaints, before); // no repaint on a move that changes nothing
    QTest::mouseClick(host.button, Qt::LeftButton, {}, host.centre());
    QVERIFY(downDuringClick);
    QVERIFY(!host.button->isDown());
}

void TestFancyBehaviour::neverTakesTheFocus()
{
    ButtonHost host;
    auto* edit = new QLineEdit(&host.window);
    edit->setGeometry(10, 45, 80, 20);
    edit->show();
    edit->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&host.window));
    QTRY_VERIFY(edit->hasFocus());
    QSignalSpy clicked(host.button, &TDsFancyButton::clicked);
    QTest::mouseMove(host.button, host.centre());
    QTest::mouseClick(host.button, Qt::LeftButton, {}, host.centre());
    QCOMPARE(clicked.size(), 1);
    QVERIFY(edit->hasFocus());
}

void TestFancyBehaviour::looks_data()
{
    QTest::addColumn<controls::ButtonLook>("look");
    QTest::addColumn<QColor>("face");
    QTest::addColumn<int>("pixelHeight");
    QTest::addColumn<bool>("italic");
    QTest::newRow("window") << controls::ButtonLook::Window << controls::clSkyBlue << 16 << false;
    QTest::newRow("main menu") << controls::ButtonLook::MainMenu << controls::clMoneyGreen << 21 << true;
    QTest::newRow("second column") << controls::ButtonLook::SecondColumn << controls::clSkyBlue << 21 << true;
}

void TestFancyBehaviour::looks()
{
    QFETCH(controls::ButtonLook, look);
    QFETCH(QColor, face);
    QFETCH(int, pixelHeight);
    QFETCH(bool, italic);
    TDsFancyButton button;
    controls::applyLook(button, look);
    QCOMPARE(button.color(), face);
    QCOMPARE(button.fontColor(), controls::clNavy);
    QCOMPARE(button.font().family(), QStringLiteral("Times New Roman"));
    QCOMPARE(button.font().pixelSize(), pixelHeight);
    QVERIFY(button.font().bold());
    QCOMPARE(button.font().italic(), italic);
    QCOMPARE(button.cursor().shape(), Qt::PointingHandCursor);
    const TDsEffect& e = button.FancyEffects();
    QCOMPARE(e.frameStyle(), fmGradient);
    QCOMPARE(e.frameWidth(), 6);
    QCOMPARE(e.hoverColor(), controls::clBlue);
    QCOMPARE(e.shape(), btnRectangle);
    QCOMPARE(e.cornerRadius(), 5);
    QCOMPARE(e.textStyle(), txLowered);
    QCOMPARE(button.Glyphs().number(), 1);
    QVERIFY(button.Glyphs().glyph().isNull());
}

void TestFancyBehaviour::factoryMakesAWindowButton()
{
    QWidget window;
    TDsFancyButton* b = controls::makeWindowButton(&window, QStringLiteral("But_Aceptar"),
        QStringLiteral("&Aceptar"), QRect(10, 20, 113, 30), QStringLiteral("Guardar los cambios"));
    QCOMPARE(b->parent(), &window);
    QCOMPARE(window.findChild<TDsFancyButton*>(QStringLiteral("But_Aceptar")), b);
    QCOMPARE(b->caption(), QStringLiteral("&Aceptar"));
    QCOMPARE(b->geometry(), QRect(10, 20, 113, 30));
    QCOMPARE(b->toolTip(), QStringLiteral("Guardar los cambios"));
    QCOMPARE(b->color(), controls::clSkyBlue);
}

void TestFancyBehaviour::fontSubstitutions()
{
    controls::installFontSubstitutions();
    controls::installFontSubstitutions(); // harmless twice
    const auto first
        = [](const char* face) { return QFont::substitutes(QString::fromLatin1(face)).value(0).toLower(); };
    QCOMPARE(first("Times New Roman"), QStringLiteral("liberation serif"));
    QCOMPARE(first("MS Sans Serif"), QStringLiteral("liberation sans"));
    QCOMPARE(first("Berling Antiqua"), QStringLiteral("dejavu serif"));
    const QFontInfo times(controls::makeFont(QStringLiteral("Times New Roman"), 16, true));
    QCOMPARE(times.family(), QStringLiteral("Liberation Serif"));
    QCOMPARE(times.pixelSize(), 16);
}

void TestFancyBehaviour::fallbackFacesOnlyWhereTheFaceLacksALetter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("merging");
    QTest::newRow("caption") << QStringLiteral("&Datos Mascotas") << false;
    QTest::newRow("spanish letters") << QStringLiteral("¿Ñandú? Álbum «pequeño»") << false;
    QTest::newRow("empty") << QString() << false;
    // A private-use letter of the last plane: no face has it.
    QTest::newRow("a letter no face has")
        << QStringLiteral("TOBY ") + QString::fromUcs4(U"\U0010FFFD") << true;
}

void TestFancyBehaviour::fallbackFacesOnlyWhereTheFaceLacksALetter()
{
    QFETCH(QString, text);
    QFETCH(bool, merging);
    controls::installFontSubstitutions();
    QFont font = controls::makeFont(QString::fromLatin1(controls::kTimesFace), 21, true, true);
    font.setStyleStrategy(QFont::NoAntialias);
    const QFont chosen = controls::withoutFallbacksFor(font, text);
    QCOMPARE(!(chosen.styleStrategy() & QFont::NoFontMerging), merging);
    // The face's other choices are kept.
    QVERIFY(chosen.styleStrategy() & QFont::NoAntialias);
    QCOMPARE(chosen.family(), font.family());
    QCOMPARE(chosen.pixelSize(), 21);
}

QTEST_MAIN(TestFancyBehaviour)
#include "tst_fancybehaviour.moc"
