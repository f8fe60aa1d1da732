// huellario-buttonsheet OUT.png: draws the fancy button in every shape, frame, text style, glyph
// style and layout, each normal, hot, down and disabled, to one PNG to look over at a glance.
#include "controls/ButtonLook.h"
#include "controls/Colors.h"
#include "controls/FancyButton.h"
#include "controls/Fonts.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTextStream>

#include <functional>

namespace {

constexpr int kLabelWidth = 190;
constexpr int kCellWidth = 260;
constexpr int kRowHeight = 66;
constexpr int kTitleHeight = 30;
const char* const kStates[] = { "normal", "hot", "down", "disabled" };

// Four 18 × 18 images on a magenta key colour: a disc in blue, grey, dark red and green.
QImage makeStrip()
{
    const int side = 18;
    QImage strip(4 * side, side, QImage::Format_RGB32);
    strip.fill(QColor(255, 0, 255));
    const QColor discs[]
        = { QColor(30, 60, 200), QColor(150, 150, 150), QColor(140, 20, 20), QColor(20, 150, 40) };
    QPainter painter(&strip);
    painter.setPen(Qt::NoPen);
    for (int k = 0; k < 4; ++k) {
        painter.setBrush(discs[k]);
        painter.drawEllipse(QRect(k * side + 2, 2, side - 5, side - 5));
        painter.fillRect(QRect(k * side + 6, 6, 4, 4), Qt::white);
    }
    return strip;
}

// The parent's background: faint paw-like dots on white, so unpainted pixels are easy to see.
class Sheet : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(225, 225, 225));
        for (int y = 4; y < height(); y += 12)
            for (int x = (y / 12) % 2 * 6 + 4; x < width(); x += 12)
                painter.drawEllipse(QRect(x, y, 3, 3));
    }
};

void sendMouse(TDsFancyButton& button, QEvent::Type type, Qt::MouseButton which, Qt::MouseButtons held)
{
    const QPointF centre(button.width() / 2.0, button.height() / 2.0);
    QMouseEvent event(type, centre, button.mapToGlobal(centre), which, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&button, &event);
}

void putInState(TDsFancyButton& button, int state)
{
    if (state == 1 || state == 2)
        sendMouse(button, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
    if (state == 2)
        sendMouse(button, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    if (state == 3)
        button.setEnabled(false);
}

struct Row {
    QString label;
    QSize size;
    std::function<void(TDsFancyButton&)> setUp;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "Uso: huellario-buttonsheet SALIDA.png\n";
        return 2;
    }
    controls::installFontSubstitutions();
    const QImage strip = makeStrip();

    const auto standard = [](TDsFancyButton& b) { controls::applyWindowLook(b); };
    const auto withImage = [&](TDsFancyButton& b, TBmpLayout layout) {
        standard(b);
        b.Glyphs().setGlyph(strip);
        b.Glyphs().setNumber(4);
        b.Glyphs().setLayout(layout);
        b.Glyphs().setDistance(4);
    };

    std::vector<Row> rows = {
        { "ventana 113×30", { 113, 30 }, standard },
        { "ventana 113×20", { 113, 20 }, standard },
        { "menú principal 241×30", { 241, 30 }, [](auto& b) { controls::applyMainMenuLook(b); } },
        { "segunda columna 241×30", { 241, 30 }, [](auto& b) { controls::applySecondColumnLook(b); } },
        { "btnCapsule", { 150, 34 },
            [&](auto& b) {
                standard(b);
                b.FancyEffects().setShape(btnCapsule);
            } },
        { "btnOval", { 150, 40 },
            [&](auto& b) {
                standard(b);
                b.FancyEffects().setShape(btnOval);
            } },
        { "btnRectangle r0", { 150, 34 },
            [&](auto& b) {
                standard(b);
                b.FancyEffects().setCornerRadius(0);
            } },
        { "btnRectangle r12", { 150, 40 },
            [&](auto& b) {
                standard(b);
                b.FancyEffects().setCornerRadius(12);
            } },
        { "FrameWidth 3", { 150, 34 },
            [&](auto& b) {
                standard(b);
                b.FancyEffects().setFrameWidth(3);
            } },
        { "FrameWidth 14", { 150, 50 },
            [&](auto& b) {
                standard(b);
                b.FancyEffects().setFrameWidth(14);
            } },
        { "fmNone", { 150, 34 },
            [&](auto& b) {
                standard(b);
                b.FancyEffects().setFrameStyle(fmNone);
            } },
        { "txPlain", { 150, 34 },
            [&](auto& b) {
                standard(b);
                b.FancyEffects().setTextStyle(txPlain);
            } },
        { "txRaised", { 150, 34 },
            [&](auto& b) {
                standard(b);
                b.FancyEffects().setTextStyle(txRaised);
            } },
        { "txShadowed", { 150, 34 },
            [&](auto& b) {
                standard(b);
                b.FancyEffects().setTextStyle(txShadowed);
            } },
        { "clBtnFace (sistema)", { 150, 34 },
            [](auto& b) { b.setFont(controls::makeFont("MS Sans Serif", 11)); } },
        { "gsNormal lyLeft", { 150, 34 }, [&](auto& b) { withImage(b, lyLeft); } },
        { "gsRaised", { 150, 34 },
            [&](auto& b) {
                withImage(b, lyLeft);
                b.Glyphs().setGlyphStyle(gsRaised);
            } },
        { "gsLowered", { 150, 34 },
            [&](auto& b) {
                withImage(b, lyLeft);
                b.Glyphs().setGlyphStyle(gsLowered);
            } },
        { "lyRight", { 150, 34 }, [&](auto& b) { withImage(b, lyRight); } },
        { "lyTop", { 150, 58 }, [&](auto& b) { withImage(b, lyTop); } },
        { "lyBottom", { 150, 58 }, [&](auto& b) { withImage(b, lyBottom); } },
        { "lyCenter", { 150, 40 }, [&](auto& b) { withImage(b, lyCenter); } },
        { "Number 1 (solo normal)", { 150, 34 },
            [&](auto& b) {
                withImage(b, lyLeft);
                b.Glyphs().setNumber(1);
            } },
    };

    Sheet sheet;
    sheet.setFont(controls::makeFont("MS Sans Serif", 11));
    sheet.resize(kLabelWidth + 4 * kCellWidth, kTitleHeight + int(rows.size()) * kRowHeight);
    for (int s = 0; s < 4; ++s) {
        auto* title = new QLabel(QString::fromLatin1(kStates[s]), &sheet);
        title->setGeometry(kLabelWidth + s * kCellWidth, 6, kCellWidth, 20);
    }
    std::vector<TDsFancyButton*> buttons;
    for (int r = 0; r < int(rows.size()); ++r) {
        const int top = kTitleHeight + r * kRowHeight;
        auto* label = new QLabel(rows[r].label, &sheet);
        label->setGeometry(8, top, kLabelWidth - 12, rows[r].size.height());
        for (int s = 0; s < 4; ++s) {
            auto* button = new TDsFancyButton(&sheet);
            rows[r].setUp(*button);
            button->setCaption(QStringLiteral("&Aceptar && ok"));
            button->setGeometry(QRect(QPoint(kLabelWidth + s * kCellWidth, top), rows[r].size));
            button->setProperty("sheetState", s);
            buttons.push_back(button);
        }
    }
    sheet.show();
    for (TDsFancyButton* button : buttons)
        putInState(*button, button->property("sheetState").toInt());

    const QImage image = sheet.grab().toImage();
    if (!image.save(args.at(1))) {
        QTextStream(stderr) << "No se puede escribir " << args.at(1) << "\n";
        return 1;
    }
    return 0;
}
