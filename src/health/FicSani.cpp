#include "health/FicSani.h"

#include "bound/DBEdit.h"
#include "bound/DBLookupComboBox.h"
#include "controls/Colors.h"
#include "controls/FancyButton.h"
#include "data/ModGen.h"
#include "platform/Furniture.h"

#include <QFrame>
#include <QLabel>

namespace furniture = platform::furniture;

namespace {

// Every label ends at this column; every box starts at kBoxLeft.
constexpr int kLabelRight = 127;
constexpr int kBoxLeft = 139;
constexpr int kWide = 516;
constexpr int kDateWidth = 86;
constexpr int kBoxHeight = 21;

void setTextColour(QWidget* box, const QColor& base, const QColor& text)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::Button, base);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ButtonText, text);
    box->setPalette(palette);
}

} // namespace

TFichaSanidad::TFichaSanidad(TModuloGeneral& dataModule, QWidget* parent)
    : records::RecordWindow(parent)
    , m_data(dataModule)
{
    setObjectName(QStringLiteral("FichaSanidad"));
    setWindowTitle(QStringLiteral("  Registro Visita / Tratamiento"));
    setClientSize(742, 390);
    setHelpTopic(5);
    furniture::setGround(this, furniture::Ground::ButtonFace);

    buildUnlessDeferred();
}

void TFichaSanidad::build()
{
    // Built from back to front.
    const RecordFurniture made = addRecordFurniture();
    Image1 = made.picture;
    Bevel1 = made.band;

    const auto label = [this](const QString& text, int top, const char* name) {
        return furniture::addFieldLabel(
            this, text, kLabelRight, top, furniture::LabelBack::Transparent, QString::fromLatin1(name));
    };
    Label1 = label(QStringLiteral("Mascota :"), 21, "Label1");
    Label2 = label(QStringLiteral("Fecha :"), 50, "Label2");
    Label3 = label(QStringLiteral("Descripción :"), 82, "Label3");
    Label4 = label(QStringLiteral("Clínica Veter. :"), 114, "Label4");
    Label5 = label(QStringLiteral("Veterinario :"), 146, "Label5");
    Label6 = label(QStringLiteral("Tratamiento :"), 178, "Label6");
    Label7 = label(QStringLiteral("Medicación :"), 210, "Label7");
    Label8 = label(QStringLiteral("Próxima Acción :"), 242, "Label8");
    Label9 = label(QStringLiteral("Comentarios :"), 274, "Label9");

    // Made in tab order, so the focus chain follows the rows.
    EditFecha = addBox("EditFecha", "FECHA", QRect(kBoxLeft, 50, kDateWidth, kBoxHeight));
    EditConcepto = addBox("EditConcepto", "DESCRIPCIO", QRect(kBoxLeft, 82, kWide, kBoxHeight));

    DBLookupComboBox1 = new bound::DBLookupComboBox(this);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    DBLookupComboBox1->setGeometry(kBoxLeft, 112, kWide, kBoxHeight);
    furniture::styleBoundBox(DBLookupComboBox1);
    DBLookupComboBox1->setDataSource(m_data.SourceSanidad);
    DBLookupComboBox1->setDataField(QStringLiteral("CLINICA"));
    DBLookupComboBox1->setListSource(m_data.SourceVeterinarios);
    DBLookupComboBox1->setKeyField(QStringLiteral("CLINICA"));
    DBLookupComboBox1->setListField(QStringLiteral("CLINICA"));
    // Of two clinics of one name, the visit's veterinarian tells which.
    DBLookupComboBox1->setMatchFields(QStringLiteral("VETERINARIO"), QStringLiteral("VETERINARIO"));

    EditVeterinario = addBox("EditVeterinario", "VETERINARIO", QRect(kBoxLeft, 145, kWide, kBoxHeight));
    EditTratamiento = addBox("EditTratamiento", "TRATAMIENTO", QRect(kBoxLeft, 177, kWide, kBoxHeight));
    EditMedicacion = addBox("EditMedicacion", "MEDICACION", QRect(kBoxLeft, 209, kWide, kBoxHeight));
    EditProx_Visita = addBox("EditProx_Visita", "PROX_VISITA", QRect(kBoxLeft, 240, kDateWidth, kBoxHeight));
    EditObserva1 = addBox("EditObserva1", "OBSERVA1", QRect(kBoxLeft, 272, kWide, kBoxHeight));
    EditObserva2 = addBox("EditObserva2", "OBSERVA2", QRect(kBoxLeft, 304, kWide, kBoxHeight));

    // The pet's name: bound like the others, so a click and typing edit it,
    // but Tab never reaches it.
    DBEdit2 = new bound::DBEdit(this);
    DBEdit2->setObjectName(QStringLiteral("DBEdit2"));
    DBEdit2->setGeometry(kBoxLeft, 19, kWide, kBoxHeight);
    furniture::styleBoundBox(DBEdit2);
    setTextColour(DBEdit2, controls::clMoneyGreen, palette().color(QPalette::WindowText));
    DBEdit2->setCharCase(bound::DBEdit::CharCase::Upper);
    DBEdit2->setDataSource(m_data.SourceMascotas);
    DBEdit2->setDataField(QStringLiteral("NOM_FAMI"));
    DBEdit2->setFocusPolicy(Qt::ClickFocus);

    const QList<QWidget*> order { EditFecha, EditConcepto, DBLookupComboBox1, EditVeterinario,
        EditTratamiento, EditMedicacion, EditProx_Visita, EditObserva1, EditObserva2 };
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    EditFecha->setFocus();
}

bound::DBEdit* TFichaSanidad::addBox(const char* name, const char* field, const QRect& geometry)
{
    auto* box = new bound::DBEdit(this); // owned by the window
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    furniture::styleBoundBox(box);
    setTextColour(box, controls::kBoxBackground, controls::clBlack);
    box->setCharCase(bound::DBEdit::CharCase::Upper);
    box->setDataSource(m_data.SourceSanidad);
    box->setDataField(QString::fromLatin1(field));
    return box;
}

engine::Table& TFichaSanidad::recordTable() const
{
    return *m_data.TablaSanidad;
}
