#include "health/FicVeter.h"

#include "bound/DBEdit.h"
#include "controls/FancyButton.h"
#include "data/ModGen.h"
#include "engine/Field.h"
#include "platform/Furniture.h"
#include "platform/Guarded.h"
#include "platform/MailtoUrl.h"
#include "platform/Shell.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace furniture = platform::furniture;

namespace health {

namespace {

bool isTrimmed(QChar c)
{
    return c.unicode() <= 0x20 || c.isSpace() || c.category() == QChar::Other_Control;
}

QPixmap blankPicture()
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    return picture;
}

QPixmap drawMail()
{
    QPixmap picture = blankPicture();
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    // A white envelope with a navy edge and its flap folded down.
    p.setPen(QPen(QColor(0, 0, 128), 1));
    p.setBrush(QColor(255, 255, 240));
    p.drawRect(QRectF(1.5, 3.5, 13, 9));
    p.setBrush(QColor(166, 202, 240));
    QPainterPath flap;
    flap.moveTo(1.5, 3.5);
    flap.lineTo(8, 9);
    flap.lineTo(14.5, 3.5);
    p.drawPath(flap);
    p.setPen(QPen(QColor(0, 0, 128, 140), 1));
    p.drawLine(QPointF(1.5, 12.5), QPointF(6, 8));
    p.drawLine(QPointF(14.5, 12.5), QPointF(10, 8));
    return picture;
}

QPixmap drawWeb()
{
    QPixmap picture = blankPicture();
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    // A blue globe with green land, its meridian and parallels.
    const QRectF globe(0.5, 0.5, 11, 11);
    p.setPen(QPen(QColor(0, 0, 128), 1));
    p.setBrush(QColor(70, 130, 220));
    p.drawEllipse(globe);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 160, 60));
    p.drawEllipse(QRectF(2.5, 2.5, 4, 3));
    p.drawEllipse(QRectF(5.5, 6.5, 4, 3));
    p.setPen(QPen(QColor(220, 235, 255), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(3.5, 0.5, 5, 11));
    p.drawLine(QPointF(1, 6), QPointF(11, 6));
    // The magnifying glass over its lower right.
    p.setPen(QPen(QColor(90, 60, 30), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12.5, 12.5), QPointF(15, 15));
    p.setPen(QPen(QColor(60, 60, 60), 1.2));
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawEllipse(QRectF(7.5, 7.5, 6, 6));
    return picture;
}

} // namespace

QString trimmedAddress(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isTrimmed(text[first]))
        ++first;
    while (last > first && isTrimmed(text[last - 1]))
        --last;
    return text.mid(first, last - first);
}

const QPixmap& mailPicture()
{
    static const QPixmap picture = drawMail();
    return picture;
}

const QPixmap& webPicture()
{
    static const QPixmap picture = drawWeb();
    return picture;
}

} // namespace health

TFichaVeterinarios::TFichaVeterinarios(TModuloGeneral& dataModule, QWidget* parent)
    : records::RecordWindow(parent)
    , m_data(dataModule)
{
    setObjectName(QStringLiteral("FichaVeterinarios"));
    setWindowTitle(QStringLiteral(" Datos de la Clínica Veterinaria"));
    setClientSize(742, 390);
    setHelpTopic(7);
    furniture::setGround(this, furniture::Ground::ButtonFace);

    buildUnlessDeferred();
}

void TFichaVeterinarios::build()
{
    // Built from back to front.
    const RecordFurniture made = addRecordFurniture();
    Image1 = made.picture;
    Bevel1 = made.band;

    const auto label = [this](const char* text, int right, int top, const char* name) {
        return furniture::addFieldLabel(this, QString::fromUtf8(text), right, top,
            furniture::LabelBack::Transparent, QString::fromLatin1(name));
    };
    Label1 = label("Clínica Veter. :", 120, 27, "Label1");
    Label2 = label("Veterinario :", 120, 56, "Label2");
    Label3 = label("Domicilio :", 120, 85, "Label3");
    Label4 = label("Localidad :", 120, 115, "Label4");
    Label5 = label("Cod. Postal :", 120, 144, "Label5");
    Label6 = label("Provincia :", 296, 144, "Label6");
    Label7 = label("Teléfonos", 120, 173, "Label7");
    Label8 = label("Móvil :", 400, 173, "Label8");
    Label9 = label("E-Mail :", 120, 203, "Label9");
    Label10 = label("Web :", 120, 232, "Label10");
    Label11 = label("Observaciones :", 120, 261, "Label11");

    EditClinica = addBox("EditClinica", "CLINICA", QRect(128, 25, 550, 21));
    DBEdit1 = addBox("DBEdit1", "VETERINARIO", QRect(128, 54, 550, 21));
    Editdomicilio = addBox("Editdomicilio", "DOMICILIO", QRect(128, 83, 550, 21));
    Editlocalidad = addBox("Editlocalidad", "LOCALIDAD", QRect(128, 113, 550, 21));
    EditCodPostal = addBox("EditCodPostal", "CODPOSTAL", QRect(128, 142, 89, 21));
    EditProvincia = addBox("EditProvincia", "PROVINCIA", QRect(301, 142, 375, 21));
    // Crosswise: the left box, first in the tab order, holds the second
    // phone; the right one the number the list shows under "Teléfono".
    Edittelf1 = addBox("Edittelf1", "TELF2", QRect(128, 171, 89, 21));
    Edittelf2 = addBox("Edittelf2", "TELF1", QRect(238, 171, 89, 21));
    DBEdit15 = addBox("DBEdit15", "MOVIL", QRect(406, 171, 89, 21));
    // Addresses keep their letters as typed.
    DBEdit16 = addBox("DBEdit16", "EMAIL", QRect(128, 201, 550, 21), false);
    DBEdit17 = addBox("DBEdit17", "WEB", QRect(128, 230, 550, 21), false);
    Editobserv = addBox("Editobserv", "OBSERV1", QRect(128, 259, 550, 21));
    Editobserv2 = addBox("Editobserv2", "OBSERV2", QRect(128, 289, 550, 21));

    const std::vector<QWidget*> order { EditClinica, DBEdit1, Editdomicilio, Editlocalidad, EditCodPostal,
        EditProvincia, Edittelf1, Edittelf2, DBEdit15, DBEdit16, DBEdit17, Editobserv, Editobserv2 };
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    SpeedButton1 = addLinkButton("SpeedButton1", health::mailPicture(), QStringLiteral("Enviar Correo"), 198);
    SpeedButton2
        = addLinkButton("SpeedButton2", health::webPicture(), QStringLiteral("Abrir dirección Web"), 227);
    connect(SpeedButton1, &QToolButton::clicked, this, platform::guard(this, &TFichaVeterinarios::sendMail));
    connect(SpeedButton2, &QToolButton::clicked, this, platform::guard(this, &TFichaVeterinarios::openWeb));
}

bound::DBEdit* TFichaVeterinarios::addBox(
    const char* name, const char* field, const QRect& geometry, bool upperCase)
{
    auto* box = new bound::DBEdit(this); // owned by the window
    box->setObjectName(QString::fromLatin1(name));
    box->setDataSource(m_data.SourceVeterinarios);
    box->setDataField(QString::fromLatin1(field));
    box->setGeometry(geometry);
    if (upperCase)
        box->setCharCase(bound::DBEdit::CharCase::Upper);
    furniture::styleBoundBox(box);
    return box;
}

QToolButton* TFichaVeterinarios::addLinkButton(
    const char* name, const QPixmap& picture, const QString& hint, int top)
{
    // Flat until the pointer is over it; it never takes the focus, so the
    // box being typed into keeps it.
    auto* button = new QToolButton(this); // owned by the window
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(690, top, 25, 25);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(QIcon(picture));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(hint);
    return button;
}

engine::Table& TFichaVeterinarios::recordTable() const
{
    return *m_data.TablaVeterinarios;
}

void TFichaVeterinarios::sendMail()
{
    // The field as the record holds it: text still in the focused box is not
    // seen. It is an address only, never header fields. Whatever the desktop
    // answers, nothing is reported.
    platform::shell().openText(
        platform::mailtoAddress(health::trimmedAddress(m_data.TablaVeterinariosEMAIL->asString())));
}

void TFichaVeterinarios::openWeb()
{
    platform::shell().openWebAddress(health::trimmedAddress(m_data.TablaVeterinariosWEB->asString()));
}
