// The fancy button's paint, pixel by pixel: rings and inner line, the down and hot looks, shapes,
// caption relief and colours, disabled looks, the image strip and the layout.
#include "ButtonHost.h"

#include "controls/Colors.h"

#include <QPainter>
#include <QSet>

using namespace testhelpers;

namespace {

using Column = QList<QColor>;

QColor rgb(int r, int g, int b)
{
    return QColor(r, g, b);
}

// The pixels of one colour, as a set of points.
QSet<std::pair<int, int>> pixelsOf(const QImage& image, const QColor& colour)
{
    QSet<std::pair<int, int>> points;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (at(image, x, y) == colour)
                points.insert({ x, y });
    return points;
}

QSet<std::pair<int, int>> shifted(const QSet<std::pair<int, int>>& points, QPoint by)
{
    QSet<std::pair<int, int>> result;
    for (const auto& [x, y] : points)
        result.insert({ x + by.x(), y + by.y() });
    return result;
}

// Four 10 × 10 images on a magenta key, each with a 2 × 2 square of its own colour at (4, 4);
// the first image's square also marks the silhouette.
QImage makeStrip(int images)
{
    QImage strip(10 * images, 10, QImage::Format_RGB32);
    strip.fill(QColor(255, 0, 255));
    const QColor squares[] = { rgb(0, 0, 200), rgb(100, 100, 100), rgb(200, 0, 0), rgb(0, 150, 0) };
    QPainter painter(&strip);
    for (int k = 0; k < images; ++k)
        painter.fillRect(QRect(10 * k + 4, 4, 2, 2), squares[k]);
    return strip;
}

enum class Look { Normal, Hot, Down };

void putIn(ButtonHost& host, Look look)
{
    if (look == Look::Normal)
        return;
    QTest::mouseMove(host.button, host.centre());
    QVERIFY(host.button->isHot());
    if (look == Look::Down) {
        QTest::mousePress(host.button, Qt::LeftButton, {}, host.centre());
        QVERIFY(host.button->isDown());
    }
}

} // namespace

class TestFancyPaint : public QObject {
    Q_OBJECT

private slots:
    void shiftColorClampsEachChannel_data();
    void shiftColorClampsEachChannel();
    void faceFollowsThePaletteByDefault();
    void frameColumns_data();
    void frameColumns();
    void downPaintsOnlyTheOuterRings_data();
    void downPaintsOnlyTheOuterRings();
    void cornerRadiusShapesTheRings_data();
    void cornerRadiusShapesTheRings();
    void shapesLeaveTheParentVisibleOutside_data();
    void shapesLeaveTheParentVisibleOutside();
    void noFrameLeavesOnlyTheCaption();
    void captionReliefAndColour_data();
    void captionReliefAndColour();
    void layoutTable_data();
    void layoutTable();
    void paintUsesTheLayout();
    void imageStrip_data();
    void imageStrip();
    void imageRelief_data();
    void imageRelief();
};

void TestFancyPaint::shiftColorClampsEachChannel_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("delta");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("sky blue dark") << controls::clSkyBlue << -80 << rgb(86, 122, 160);
    QTest::newRow("sky blue relief") << controls::clSkyBlue << 25 << rgb(191, 227, 255);
    QTest::newRow("clamps high") << rgb(250, 5, 128) << 10 << rgb(255, 15, 138);
    QTest::newRow("clamps low") << rgb(250, 5, 128) << -10 << rgb(240, 0, 118);
    QTest::newRow("zero") << rgb(7, 8, 9) << 0 << rgb(7, 8, 9);
}

void TestFancyPaint::shiftColorClampsEachChannel()
{
    QFETCH(QColor, colour);
    QFETCH(int, delta);
    QFETCH(QColor, expected);
    QCOMPARE(TDsFancyButton::ShiftColor(colour, delta), expected);
}

void TestFancyPaint::faceFollowsThePaletteByDefault()
{
    TDsFancyButton button;
    button.resize(113, 30);
    QPalette palette = button.palette();
    palette.setColor(QPalette::Button, rgb(120, 130, 140));
    palette.setColor(QPalette::Dark, rgb(60, 70, 80));
    button.setPalette(palette);
    QCOMPARE(button.color(), rgb(120, 130, 140));
    QCOMPARE(button.ShiftColor(controls::SystemColor::BtnShadow, 5), rgb(65, 75, 85));
    const QImage image = render(button);
    QCOMPARE(at(image, 56, 0), rgb(120, 130, 140));
    QCOMPARE(at(image, 56, 1), rgb(40, 50, 60)); // ring 0: the face shifted by -80
}

// The pixels across the frame at the middle of the top, bottom, left and right edges of a sky blue
// button with frame width 6, from the edge inwards.
void TestFancyPaint::frameColumns_data()
{
    QTest::addColumn<Look>("look");
    QTest::addColumn<Column>("top"); // x = 56, y = 0, 1, ...
    QTest::addColumn<Column>("bottom"); // x = 56, y = H-1, H-2, ...
    QTest::addColumn<Column>("left"); // y = 15, x = 0, 1, ...
    QTest::addColumn<Column>("right"); // y = 15, x = W-1, W-2, ...

    const QColor face = controls::clSkyBlue;
    const QColor none = kSentinel;
    const Column rings { rgb(86, 122, 160), rgb(130, 166, 204), rgb(146, 182, 220), rgb(155, 191, 229),
        rgb(161, 197, 235), rgb(165, 201, 239) };
    const QColor line = rgb(151, 187, 225);
    QTest::newRow("normal")
        << Look::Normal << Column { face, rings[0], line, rings[2], rings[3], rings[4], rings[5], rings[5] }
        << Column { none, rings[0], rings[1], rings[2], rings[3], rings[4], rings[5], rings[5] }
        << Column { face, rings[0], line, rings[2], rings[3], rings[4], rings[5], rings[5] }
        << Column { none, rings[0], rings[1], rings[2], rings[3], rings[4], rings[5], rings[5] };

    const Column hot { rgb(96, 132, 170), rgb(140, 176, 214), rgb(156, 192, 230), rgb(165, 201, 239),
        rgb(171, 207, 245), rgb(175, 211, 249) };
    QTest::newRow("hot") << Look::Hot << Column { face, hot[0], line, hot[2], hot[3], hot[4], hot[5], hot[5] }
                         << Column { none, hot[0], hot[1], hot[2], hot[3], hot[4], hot[5] }
                         << Column { face, hot[0], line, hot[2], hot[3], hot[4], hot[5] }
                         << Column { none, hot[0], hot[1], hot[2], hot[3], hot[4], hot[5] };

    // Down: outline and dark fill, then rings 0 to 2 moved by (2, 2) over it.
    const QColor outline = rgb(161, 197, 235), fill = rgb(101, 137, 175), downLine = rgb(156, 192, 230);
    QTest::newRow("down") << Look::Down
                          << Column { outline, fill, downLine, rings[0], rings[1], rings[2], rings[2] }
                          << Column { rings[1], rings[2], rings[2], rings[2] }
                          << Column { outline, fill, downLine, rings[0], rings[1], rings[2], rings[2] }
                          << Column { rings[1], rings[2], rings[2], rings[2] };
}

void TestFancyPaint::frameColumns()
{
    QFETCH(Look, look);
    QFETCH(Column, top);
    QFETCH(Column, bottom);
    QFETCH(Column, left);
    QFETCH(Column, right);
    ButtonHost host;
    putIn(host, look);
    const QImage image = render(*host.button);
    const int W = image.width(), H = image.height();
    for (int i = 0; i < top.size(); ++i)
        QCOMPARE(at(image, W / 2, i), top[i]);
    for (int i = 0; i < bottom.size(); ++i)
        QCOMPARE(at(image, W / 2, H - 1 - i), bottom[i]);
    for (int i = 0; i < left.size(); ++i)
        QCOMPARE(at(image, i, H / 2), left[i]);
    for (int i = 0; i < right.size(); ++i)
        QCOMPARE(at(image, W - 1 - i, H / 2), right[i]);
}

void TestFancyPaint::downPaintsOnlyTheOuterRings_data()
{
    QTest::addColumn<int>("frameWidth");
    QTest::addColumn<int>("rings");
    QTest::newRow("3") << 3 << 2;
    QTest::newRow("6") << 6 << 3;
    QTest::newRow("14") << 14 << 5;
}

void TestFancyPaint::downPaintsOnlyTheOuterRings()
{
    QFETCH(int, frameWidth);
    QFETCH(int, rings);
    ButtonHost host({ 113, 40 });
    host.button->FancyEffects().setFrameWidth(frameWidth);
    putIn(host, Look::Down);
    const QImage image = render(*host.button);
    // From the first ring (row 3) to the middle, each ring shows as one row of its own colour.
    QList<QColor> seen;
    for (int y = 3; y <= image.height() / 2; ++y) {
        const QColor c = at(image, image.width() / 2, y);
        if (seen.isEmpty() || seen.last() != c)
            seen.append(c);
    }
    QCOMPARE(seen.size(), rings);
}

// The pixel just inside the top-right corner of ring 2, at (W-4, 3): its own colour when the ring
// is a plain rectangle, an outer ring's when its corner is rounded.
void TestFancyPaint::cornerRadiusShapesTheRings_data()
{
    QTest::addColumn<int>("radius");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("r0 plain") << 0 << rgb(146, 182, 220);
    QTest::newRow("r2 ring 2 plain") << 2 << rgb(146, 182, 220);
    QTest::newRow("r5 rounded") << 5 << rgb(130, 166, 204);
}

void TestFancyPaint::cornerRadiusShapesTheRings()
{
    QFETCH(int, radius);
    QFETCH(QColor, expected);
    ButtonHost host;
    host.button->FancyEffects().setCornerRadius(radius);
    const QImage image = render(*host.button);
    QCOMPARE(at(image, image.width() - 4, 3), expected);
    if (radius == 0) {
        // Plain rectangles throughout; the inner lines run from (2, 1) and (1, 2).
        const QColor line = rgb(151, 187, 225);
        QCOMPARE(at(image, 0, 0), controls::clSkyBlue);
        QCOMPARE(at(image, 1, 1), rgb(86, 122, 160));
        QCOMPARE(at(image, 2, 1), line);
        QCOMPARE(at(image, 1, 2), line);
        QCOMPARE(at(image, 2, image.height() - 2), line);
        QCOMPARE(at(image, image.width() - 2, 2), line);
    }
}

void TestFancyPaint::shapesLeaveTheParentVisibleOutside_data()
{
    QTest::addColumn<TBtnShape>("shape");
    QTest::addColumn<QPoint>("outside");
    QTest::addColumn<QPoint>("inside");
    QTest::newRow("capsule") << btnCapsule << QPoint(3, 3) << QPoint(15, 1);
    QTest::newRow("oval") << btnOval << QPoint(12, 3) << QPoint(56, 1);
    QTest::newRow("rectangle") << btnRectangle << QPoint(0, 0) << QPoint(3, 1);
}

void TestFancyPaint::shapesLeaveTheParentVisibleOutside()
{
    QFETCH(TBtnShape, shape);
    QFETCH(QPoint, outside);
    QFETCH(QPoint, inside);
    ButtonHost host;
    host.button->FancyEffects().setShape(shape);
    const QImage image = render(*host.button);
    QCOMPARE(at(image, outside.x(), outside.y()), kSentinel);
    QVERIFY(at(image, inside.x(), inside.y()) != kSentinel);
    QCOMPARE(host.button->PointInShape(outside.x(), outside.y()), false);
    QCOMPARE(host.button->PointInShape(inside.x(), inside.y()), true);
    // The pointer area covers the whole button, its last row and column included.
    QCOMPARE(host.button->PointInShape(56, 29), true);
    QCOMPARE(host.button->PointInShape(112, 15), true);
}

void TestFancyPaint::noFrameLeavesOnlyTheCaption()
{
    ButtonHost host;
    host.button->FancyEffects().setFrameStyle(fmNone);
    host.button->setCaption(QStringLiteral("&Salir"));
    const QImage image = render(*host.button);
    QCOMPARE(at(image, 56, 1), kSentinel);
    QCOMPARE(at(image, 1, 15), kSentinel);
    QVERIFY(!pixelsOf(image, controls::clNavy).isEmpty());
    QVERIFY(!pixelsOf(image, rgb(191, 227, 255)).isEmpty()); // the relief still applies
}

// The caption's pixels in each look, against those of a plain caption in the normal look: where
// the caption and its relief land and in which colours.
void TestFancyPaint::captionReliefAndColour_data()
{
    QTest::addColumn<TTextStyle>("style");
    QTest::addColumn<Look>("look");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QColor>("captionColour");
    QTest::addColumn<QPoint>("captionOffset");
    QTest::addColumn<QColor>("reliefColour"); // invalid: no relief
    QTest::addColumn<QPoint>("reliefOffset");

    const QColor navy = controls::clNavy, light = rgb(191, 227, 255), shadow = rgb(116, 152, 190);
    const QColor btnFace = rgb(230, 100, 30), btnShadow = rgb(20, 120, 40); // set on the palette
    QTest::newRow("lowered") << txLowered << Look::Normal << true << navy << QPoint(0, 0) << light
                             << QPoint(1, 1);
    QTest::newRow("lowered hot") << txLowered << Look::Hot << true << controls::clBlue << QPoint(0, 0)
                                 << light << QPoint(1, 1);
    QTest::newRow("lowered down") << txLowered << Look::Down << true << navy << QPoint(1, 1) << light
                                  << QPoint(2, 2);
    QTest::newRow("raised") << txRaised << Look::Normal << true << navy << QPoint(0, 0) << light
                            << QPoint(-1, -1);
    QTest::newRow("raised down") << txRaised << Look::Down << true << navy << QPoint(1, 1) << light
                                 << QPoint(0, 0);
    QTest::newRow("shadowed") << txShadowed << Look::Normal << true << navy << QPoint(0, 0) << shadow
                              << QPoint(2, 2);
    QTest::newRow("shadowed down") << txShadowed << Look::Down << true << navy << QPoint(1, 1) << shadow
                                   << QPoint(3, 3);
    QTest::newRow("plain hot") << txPlain << Look::Hot << true << controls::clBlue << QPoint(0, 0) << QColor()
                               << QPoint();
    QTest::newRow("disabled lowered")
        << txLowered << Look::Normal << false << btnShadow << QPoint(0, 0) << light << QPoint(1, 1);
    QTest::newRow("disabled shadowed")
        << txShadowed << Look::Normal << false << btnFace << QPoint(0, 0) << shadow << QPoint(2, 2);
}

void TestFancyPaint::captionReliefAndColour()
{
    QFETCH(TTextStyle, style);
    QFETCH(Look, look);
    QFETCH(bool, enabled);
    QFETCH(QColor, captionColour);
    QFETCH(QPoint, captionOffset);
    QFETCH(QColor, reliefColour);
    QFETCH(QPoint, reliefOffset);

    ButtonHost host;
    TDsFancyButton& button = *host.button;
    QPalette palette = button.palette();
    palette.setColor(QPalette::Button, rgb(230, 100, 30));
    palette.setColor(QPalette::Dark, rgb(20, 120, 40));
    button.setPalette(palette);
    button.setCaption(QStringLiteral("&Borrar"));
    button.FancyEffects().setTextStyle(txPlain);
    const auto plain = pixelsOf(render(button), controls::clNavy);
    QVERIFY(plain.size() > 40);

    button.FancyEffects().setTextStyle(style);
    putIn(host, look);
    button.setEnabled(enabled);
    const QImage image = render(button);
    const auto caption = shifted(plain, captionOffset);
    QCOMPARE(pixelsOf(image, captionColour), caption);
    if (reliefColour.isValid()) {
        // The relief shows wherever the caption does not cover it.
        const auto relief = shifted(plain, reliefOffset) - caption;
        QCOMPARE(pixelsOf(image, reliefColour) & shifted(plain, reliefOffset), relief);
        QVERIFY(!relief.isEmpty());
    }
}

void TestFancyPaint::layoutTable_data()
{
    QTest::addColumn<TBmpLayout>("layout");
    QTest::addColumn<QSize>("button");
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QSize>("caption");
    QTest::addColumn<int>("distance");
    QTest::addColumn<QPoint>("imagePos");
    QTest::addColumn<QPoint>("captionPos");

    const QSize row(113, 30), tall(150, 60), img(16, 16), none(0, 0), cap(60, 18), wide(150, 18);
    QTest::newRow("left") << lyLeft << row << img << cap << 4 << QPoint(16, 6) << QPoint(36, 5);
    QTest::newRow("left, no image: centred, one pixel up")
        << lyLeft << row << none << cap << 0 << QPoint(26, 14) << QPoint(26, 5);
    QTest::newRow("left, caption too wide")
        << lyLeft << row << none << wide << 0 << QPoint(0, 14) << QPoint(0, 5);
    QTest::newRow("left, image too tall")
        << lyLeft << row << QSize(16, 40) << cap << 4 << QPoint(16, 0) << QPoint(36, 5);
    QTest::newRow("right") << lyRight << row << img << cap << 4 << QPoint(81, 6) << QPoint(17, 5);
    QTest::newRow("right, no image") << lyRight << row << none << cap << 0 << QPoint(87, 14) << QPoint(27, 5);
    QTest::newRow("right, caption too wide")
        << lyRight << row << img << wide << 4 << QPoint(97, 6) << QPoint(-57, 5);
    QTest::newRow("top") << lyTop << tall << img << cap << 4 << QPoint(67, 10) << QPoint(45, 30);
    QTest::newRow("top, no image") << lyTop << tall << none << cap << 0 << QPoint(75, 20) << QPoint(45, 20);
    QTest::newRow("top, too tall") << lyTop << row << img << cap << 4 << QPoint(48, 0) << QPoint(26, 20);
    QTest::newRow("top, caption too wide")
        << lyTop << row << none << wide << 0 << QPoint(56, 5) << QPoint(-18, 5);
    QTest::newRow("bottom") << lyBottom << tall << img << cap << 4 << QPoint(67, 33) << QPoint(45, 11);
    QTest::newRow("bottom, no image")
        << lyBottom << tall << none << cap << 0 << QPoint(75, 39) << QPoint(45, 21);
    QTest::newRow("bottom, too tall")
        << lyBottom << row << img << cap << 4 << QPoint(48, 14) << QPoint(26, -8);
    QTest::newRow("center") << lyCenter << tall << img << cap << 4 << QPoint(67, 22) << QPoint(45, 21);
    QTest::newRow("center, no image")
        << lyCenter << tall << none << cap << 0 << QPoint(75, 30) << QPoint(45, 21);
    QTest::newRow("center, image too wide")
        << lyCenter << row << QSize(120, 16) << cap << 0 << QPoint(0, 7) << QPoint(26, 6);
}

void TestFancyPaint::layoutTable()
{
    QFETCH(TBmpLayout, layout);
    QFETCH(QSize, button);
    QFETCH(QSize, image);
    QFETCH(QSize, caption);
    QFETCH(int, distance);
    QFETCH(QPoint, imagePos);
    QFETCH(QPoint, captionPos);
    const auto place = TDsFancyButton::computeLayout(layout, button, image, caption, distance);
    QCOMPARE(place.image, imagePos);
    QCOMPARE(place.caption, captionPos);
}

void TestFancyPaint::paintUsesTheLayout()
{
    ButtonHost host({ 150, 60 });
    TDsFancyButton& button = *host.button;
    button.setCaption(QStringLiteral("&Ver"));
    button.Glyphs().setGlyph(makeStrip(1));
    button.Glyphs().setLayout(lyBottom);
    button.Glyphs().setDistance(3);
    const QImage image = render(button);
    const auto expected
        = TDsFancyButton::computeLayout(lyBottom, button.size(), QSize(10, 10), button.captionSize(), 3);
    QCOMPARE(button.imagePosition(), expected.image);
    QCOMPARE(button.captionPosition(), expected.caption);
    QCOMPARE(at(image, expected.image.x() + 4, expected.image.y() + 4), rgb(0, 0, 200));
    // The caption (measured with its '&') sits in its rectangle, centred without the '&'.
    const auto navy = pixelsOf(image, controls::clNavy);
    QVERIFY(!navy.isEmpty());
    const QRect box(expected.caption, button.captionSize());
    for (const auto& [x, y] : navy)
        QVERIFY(box.contains(x, y));
}

// Which image of a strip is shown in each look, where, and what the key colour leaves visible.
void TestFancyPaint::imageStrip_data()
{
    QTest::addColumn<int>("images");
    QTest::addColumn<Look>("look");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QColor>("square");
    QTest::addColumn<QPoint>("shift");
    QTest::addColumn<int>("stateAfterPaint");

    QTest::newRow("normal") << 4 << Look::Normal << true << rgb(0, 0, 200) << QPoint(0, 0) << 1;
    QTest::newRow("disabled") << 4 << Look::Normal << false << rgb(100, 100, 100) << QPoint(0, 0) << 2;
    QTest::newRow("down") << 4 << Look::Down << true << rgb(200, 0, 0) << QPoint(1, 1) << 3;
    QTest::newRow("hot") << 4 << Look::Hot << true << rgb(0, 150, 0) << QPoint(0, 0) << 4;
    QTest::newRow("hot, two images: back to 1")
        << 2 << Look::Hot << true << rgb(0, 0, 200) << QPoint(0, 0) << 1;
    QTest::newRow("disabled, one image") << 1 << Look::Normal << false << rgb(0, 0, 200) << QPoint(0, 0) << 1;
}

void TestFancyPaint::imageStrip()
{
    QFETCH(int, images);
    QFETCH(Look, look);
    QFETCH(bool, enabled);
    QFETCH(QColor, square);
    QFETCH(QPoint, shift);
    QFETCH(int, stateAfterPaint);

    ButtonHost host;
    TDsFancyButton& button = *host.button;
    button.Glyphs().setGlyph(makeStrip(images));
    button.Glyphs().setNumber(images);
    putIn(host, look);
    button.setEnabled(enabled);
    const QImage image = render(button);
    QCOMPARE(button.imageWidth(), 10);
    QCOMPARE(button.stateImage(), stateAfterPaint);
    const QPoint corner = button.imagePosition() + shift;
    QCOMPARE(at(image, corner.x() + 4, corner.y() + 4), square);
    QCOMPARE(at(image, corner.x() + 5, corner.y() + 5), square);
    // The key colour is not drawn: the face shows through.
    QVERIFY(at(image, corner.x() + 1, corner.y() + 1) != QColor(255, 0, 255));
    QVERIFY(pixelsOf(image, QColor(255, 0, 255)).isEmpty());
}

// The relief passes: the silhouette of the first image drawn at (-1, -1) and (+1, +1) in the
// pass colours, the image over them.
void TestFancyPaint::imageRelief_data()
{
    QTest::addColumn<TGlyphStyle>("style");
    QTest::addColumn<Look>("look");
    QTest::addColumn<QColor>("first");
    QTest::addColumn<QColor>("second");
    const QColor sky = controls::clSkyBlue;
    QTest::newRow("normal: none") << gsNormal << Look::Normal << QColor() << QColor();
    QTest::newRow("raised") << gsRaised << Look::Normal << TDsFancyButton::ShiftColor(sky, 20)
                            << TDsFancyButton::ShiftColor(sky, -50);
    QTest::newRow("lowered") << gsLowered << Look::Normal << TDsFancyButton::ShiftColor(sky, -30)
                             << TDsFancyButton::ShiftColor(sky, 25);
    QTest::newRow("normal, down") << gsNormal << Look::Down << TDsFancyButton::ShiftColor(sky, -50)
                                  << TDsFancyButton::ShiftColor(sky, 20);
    QTest::newRow("raised, down") << gsRaised << Look::Down << TDsFancyButton::ShiftColor(sky, -50)
                                  << TDsFancyButton::ShiftColor(sky, 20);
}

void TestFancyPaint::imageRelief()
{
    QFETCH(TGlyphStyle, style);
    QFETCH(Look, look);
    QFETCH(QColor, first);
    QFETCH(QColor, second);

    ButtonHost host;
    TDsFancyButton& button = *host.button;
    button.Glyphs().setGlyphStyle(style);
    putIn(host, look);
    const QImage bare = render(button);
    button.Glyphs().setGlyph(makeStrip(1));
    const QImage image = render(button);
    QPoint c = button.imagePosition() + QPoint(4, 4); // the square's top-left
    if (look == Look::Down)
        c += QPoint(1, 1);
    QCOMPARE(at(image, c.x(), c.y()), rgb(0, 0, 200));
    QCOMPARE(at(image, c.x() + 1, c.y() + 1), rgb(0, 0, 200));
    const QPoint before[] = { c - QPoint(1, 1), c + QPoint(-1, 0) };
    const QPoint after[] = { c + QPoint(2, 2), c + QPoint(2, 1) };
    for (const QPoint p : before)
        QCOMPARE(at(image, p.x(), p.y()), first.isValid() ? first : at(bare, p.x(), p.y()));
    for (const QPoint p : after)
        QCOMPARE(at(image, p.x(), p.y()), second.isValid() ? second : at(bare, p.x(), p.y()));
}

QTEST_MAIN(TestFancyPaint)
#include "tst_fancypaint.moc"
