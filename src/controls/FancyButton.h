// TDsFancyButton: the painted push button behind every command button of the system. It paints
// its own shaped face, follows the pointer, never takes the focus and answers its caption's accelerator.
#pragma once

#include "controls/Colors.h"
#include "controls/FancySettings.h"

#include <QColor>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QWidget>

#include <memory>
#include <variant>

class QPainter;

class TDsFancyButton : public QWidget {
    Q_OBJECT

public:
    explicit TDsFancyButton(QWidget* parent = nullptr);
    ~TDsFancyButton() override;

    TDsEffect& FancyEffects() { return *m_effects; }
    const TDsEffect& FancyEffects() const { return *m_effects; }
    TDsGlyph& Glyphs() { return *m_glyphs; }
    const TDsGlyph& Glyphs() const { return *m_glyphs; }

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);

    // The face colour, resolved: a system colour is looked up in the palette when asked for.
    QColor color() const;
    void setColor(const QColor& color);
    void setColor(controls::SystemColor color);

    // Colour of the caption font (a QFont has no colour of its own); window text by default.
    QColor fontColor() const;
    void setFontColor(const QColor& color);
    void setFontColor(controls::SystemColor color);

    // Run-time state, read-only: hot, down and the state image (1 normal, 2 disabled, 3 down, 4 hot).
    bool isHot() const { return m_hot; }
    bool isDown() const { return m_down; }
    int stateImage() const { return m_stateImage; }
    // Positions computed by the last paint.
    int imageWidth() const { return m_imageWidth; }
    QPoint imagePosition() const { return m_imagePos; }
    QPoint captionPosition() const { return m_captionPos; }

    // The colour with delta added to each channel, each clamped to 0..255.
    static QColor ShiftColor(const QColor& color, int delta);
    QColor ShiftColor(controls::SystemColor color, int delta) const;

    // Whether (x, y) lies in the area of the button's shape.
    bool PointInShape(int x, int y) const;

    // The character after the first single '&' of a caption ("&&" is a literal '&'); null if none.
    static QChar acceleratorOf(const QString& caption);
    // Whether a typed character would work this button: its accelerator, enabled and shown.
    bool acceptsAccelerator(QChar c) const;
    // Raises clicked() and returns true when acceptsAccelerator(c); the look does not change.
    bool offerAccelerator(QChar c);

    struct Placement {
        QPoint image;
        QPoint caption;
    };
    // Top-left corners of the image and the caption for a button, image and caption of the given sizes.
    static Placement computeLayout(TBmpLayout layout, QSize button, QSize image, QSize caption, int distance);

    // Size of the caption as measured for the layout: the text as stored, every '&' counted.
    QSize captionSize() const;

    QSize sizeHint() const override { return { 97, 25 }; }

signals:
    void clicked();
    void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void mouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void mouseMoved(Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

    // Every repaint the button's rules ask for goes through here. A plain update(): before the
    // window is shown (while it is being built) Qt paints nothing, so no loading flag is needed.
    virtual void requestRepaint();

private:
    using ColorSetting = std::variant<QColor, controls::SystemColor>;
    QColor resolve(const ColorSetting& setting) const;

    QFont drawingFont() const;
    void trackPointer(QPoint pos);
    void pointerLeft();
    void press(QMouseEvent* event);

    void paintBackground(QPainter& painter, const QColor& face) const;
    void paintFrame(QPainter& painter, const QColor& face) const;
    void paintImage(QPainter& painter, const QColor& face, int gw);
    void paintCaption(QPainter& painter, const QColor& face, QSize textSize) const;
    int cornerSize() const;

    std::unique_ptr<TDsEffect> m_effects;
    std::unique_ptr<TDsGlyph> m_glyphs;
    QString m_caption;
    ColorSetting m_color = controls::SystemColor::BtnFace;
    ColorSetting m_fontColor = controls::SystemColor::WindowText;

    bool m_hot = false;
    bool m_down = false;
    int m_stateImage = 1;
    int m_imageWidth = 0;
    QPoint m_imagePos;
    QPoint m_captionPos;
    // Qt holds back the leave notification while a mouse button is held; we raise it ourselves
    // when the pointer is dragged off the button and skip the late one Qt sends after the release.
    bool m_leftWhileHeld = false;
};
