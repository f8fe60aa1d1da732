#include "about/Acerca.h"

#include "about/AboutPicture.h"
#include "controls/ButtonLook.h"
#include "controls/Colors.h"
#include "controls/Fonts.h"
#include "platform/Dialogs.h"
#include "platform/Furniture.h"
#include "platform/Guarded.h"
#include "platform/Shell.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStyle>

#include <functional>

namespace furniture = platform::furniture;

namespace {

const QString messageTitle = QStringLiteral("Huellario");

// The picture area: drawn at its first paint, centred and at natural size.
class AboutPictureArea : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        const QRect place
            = QStyle::alignedRect(layoutDirection(), Qt::AlignCenter, about::kAboutPictureSize, rect());
        QPainter(this).drawPixmap(place.topLeft(), about::aboutPicture());
    }
};

// A label that acts when clicked with the left button.
class LinkLabel : public QLabel {
public:
    LinkLabel(const QString& text, QWidget* parent, std::function<void()> action)
        : QLabel(text, parent)
        , m_action(std::move(action))
    {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            m_action();
    }

private:
    std::function<void()> m_action;
};

QFont sansFont(int pixels, bool bold)
{
    return controls::makeFont(QString::fromLatin1(controls::kSansSerifFace), pixels, bold);
}

QFont timesFont(int pixels)
{
    return controls::makeFont(QString::fromLatin1(controls::kTimesFace), pixels, true, true);
}

QFont linkFont()
{
    QFont font = sansFont(11, true);
    font.setUnderline(true);
    return font;
}

void styleLabel(QLabel* label, const QString& name, const QFont& font, const QColor& color)
{
    label->setObjectName(name);
    label->setFont(font);
    // The button-face ground would otherwise make labels draw in button text.
    label->setForegroundRole(QPalette::WindowText);
    if (color.isValid()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, color);
        label->setPalette(palette);
    }
    // Transparent over the picture.
    label->setAutoFillBackground(false);
    label->adjustSize();
}

} // namespace

TAboutBox::TAboutBox(QWidget* parent)
    : platform::Window(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("AboutBox"));
    setClientSize(543, 336);
    setHelpTopic(1);
    furniture::setGround(this, furniture::Ground::ButtonFace);

    buildUnlessDeferred();
}

QLabel* TAboutBox::addLabel(const QString& name, const QString& text, const QFont& font, const QColor& color)
{
    auto* label = new QLabel(text, this);
    styleLabel(label, name, font, color);
    return label;
}

QLabel* TAboutBox::addCentredLabel(
    const QString& name, const QString& text, int top, const QFont& font, const QColor& color)
{
    QLabel* label = addLabel(name, text, font, color);
    label->move((width() - label->width()) / 2, top);
    return label;
}

void TAboutBox::build()
{
    // Built from back to front.
    Image1 = new AboutPictureArea(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(rect());
    Image1->setAttribute(Qt::WA_TransparentForMouseEvents);

    Label1 = addCentredLabel(
        QStringLiteral("Label1"), QStringLiteral("Huellario"), 16, timesFont(32), controls::clMaroon);
    Label2 = addCentredLabel(
        QStringLiteral("Label2"), QStringLiteral("Versión  2.0"), 80, sansFont(13, true), {});
    Label6 = addCentredLabel(QStringLiteral("Label6"),
        QStringLiteral("Programa para la gestión particular de mascotas"), 56, timesFont(13),
        controls::clMaroon);
    Label3 = addCentredLabel(
        QStringLiteral("Label3"), about::kMakerNotice, 112, sansFont(13, true), controls::clMaroon);

    Label4 = new LinkLabel(about::kMakerAddress, this, [this] { openMailLink(); });
    styleLabel(Label4, QStringLiteral("Label4"), linkFont(), controls::clNavy);
    Label4->move((width() - Label4->width()) / 2, 144);
    Label5 = new LinkLabel(about::kMakerWeb, this, [this] { openWebLink(); });
    styleLabel(Label5, QStringLiteral("Label5"), linkFont(), controls::clNavy);
    Label5->move((width() - Label5->width()) / 2, 168);

    // Wider than the window on both sides: only the top and bottom edges show.
    Bevel1 = furniture::addSeparator(this, 296, QStringLiteral("Bevel1"));
    Bevel1->setGeometry(-16, 296, 750, 9);

    But_Modificar = controls::makeWindowButton(
        this, QStringLiteral("But_Modificar"), QStringLiteral("&Registro"), QRect(101, 305, 152, 20));
    But_Salir = controls::makeWindowButton(
        this, QStringLiteral("But_Salir"), QStringLiteral("&Cerrar"), QRect(301, 305, 142, 20));

    const QFont invitation = sansFont(11, true);
    const auto addInvitation = [&](const QString& name, const QString& text, int top) {
        QLabel* label = addLabel(name, text, invitation, controls::clOlive);
        label->move(20, top);
        return label;
    };
    Label7 = addInvitation(QStringLiteral("Label7"),
        QStringLiteral(
            "Si desea recibir noticias sobre futuras  versiones y  actualizaciones de nuestro software"),
        216);
    Label8 = addInvitation(QStringLiteral("Label8"),
        QStringLiteral("puede registrarse mediante el botón al pie de esta ventana."), 232);
    Label9 = addInvitation(QStringLiteral("Label9"),
        QStringLiteral(
            "Esta información, solo  será usada a  nivel interno  por nuestra  empresa para  mantener"),
        256);
    Label10 = addInvitation(QStringLiteral("Label10"),
        QStringLiteral(
            "informados a nuestros clientes y en ningún caso será compartida con terceras empresas."),
        272);

    Bevel2 = furniture::addSeparator(this, 200, QStringLiteral("Bevel2"));
    Bevel2->setGeometry(-199, 200, 750, 5);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(96, 216, 337, 33);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setPlainText(about::signUpTemplate().join(QLatin1Char('\n')));
    Memo1->setVisible(false);

    connect(But_Modificar, &TDsFancyButton::clicked, this, platform::guard(this, &TAboutBox::signUp));
    connect(But_Salir, &TDsFancyButton::clicked, this, &QDialog::close);
}

void TAboutBox::openMailLink()
{
    // As a link: whatever the desktop makes of it, nothing is reported.
    platform::shell().openText(QStringLiteral("mailto:") + about::kMakerAddress);
}

void TAboutBox::openWebLink()
{
    platform::shell().openWebAddress(about::kMakerWeb);
}

void TAboutBox::signUp()
{
    m_mail.recipient = about::kMakerAddress;
    m_mail.subject = about::kSignUpSubject;
    m_mail.copy.clear();
    m_mail.blindCopy.clear();
    m_mail.body = about::joinBodyLines(Memo1->toPlainText().split(QLatin1Char('\n')));
    sendMail();
}

void TAboutBox::sendMail()
{
    if (m_mail.recipient.isEmpty()) {
        platform::showMessage(
            this, messageTitle, QStringLiteral("Falta el destinatario..."), platform::MessageIcon::None);
        return;
    }
    const QString text = about::composeMail(m_mail);
    const int result = platform::shell().openText(text);
    if (!platform::shellSucceeded(result))
        platform::showMessage(
            this, messageTitle, about::failureMessage(result, text.size()), platform::MessageIcon::None);
}
