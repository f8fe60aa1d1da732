#include "records/FicPerro.h"

#include "bound/DBCheckBox.h"
#include "bound/DBEdit.h"
#include "bound/DBLookupComboBox.h"
#include "data/ModGen.h"
#include "platform/Furniture.h"
#include "platform/Guarded.h"
#include "records/BoundBoxes.h"

#include <QLabel>
#include <QPalette>

namespace {

// Every label ends at this column, every box starts at the next.
constexpr int kLabelRight = 147;
constexpr int kBoxLeft = 164;
constexpr int kBoxHeight = 21;
// Labels sit a little lower than their box, so the texts share a baseline.
constexpr int kLabelDrop = 4;

} // namespace

TFichaPerro::TFichaPerro(TModuloGeneral& dataModule, QWidget* parent)
    : records::RecordWindow(parent)
    , m_data(dataModule)
{
    setWindowTitle(QStringLiteral("Datos de la Mascota"));
    setClientSize(742, 390);
    setHelpTopic(3, true);
    platform::furniture::setGround(this, platform::furniture::Ground::White);
    buildUnlessDeferred();
}

void TFichaPerro::build()
{
    using platform::furniture::addFieldLabel;
    Image1 = platform::furniture::addBackground(this);

    engine::DataSource* pets = m_data.SourceMascotas;
    auto label = [this](const QString& text, int top, const char* name) {
        return addFieldLabel(this, text, kLabelRight, top + kLabelDrop,
            platform::furniture::LabelBack::Transparent, QString::fromLatin1(name));
    };
    auto edit = [this, pets](const char* name, const char* field, int top, int width, bool upper) {
        return records::addBoundBox(this, name, pets, field, QRect(kBoxLeft, top, width, kBoxHeight), upper);
    };
    auto lookup = [this, pets](const char* name, const char* field, int top, engine::DataSource* list,
                      const char* key) {
        auto* box = new bound::DBLookupComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(kBoxLeft, top, 393, kBoxHeight);
        platform::furniture::styleBoundBox(box);
        box->setDataSource(pets);
        box->setDataField(QString::fromLatin1(field));
        box->setListSource(list);
        box->setKeyField(QString::fromLatin1(key));
        box->setListField(QString::fromLatin1(key));
        return box;
    };
    auto check = [this, pets](const char* name, const QString& caption, const char* field, int left) {
        auto* box = new bound::DBCheckBox(caption, this);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(left, 243, 73, 17);
        platform::furniture::styleBoundBox(box);
        box->setDataSource(pets);
        box->setDataField(QString::fromLatin1(field));
        return box;
    };

    // Built in tab order, so the focus chain follows the rows.
    Label1 = label(QStringLiteral("Nombre Familiar :"), 21, "Label1");
    EDITNOM_FAMI = edit("EDITNOM_FAMI", "NOM_FAMI", 21, 516, true);
    Label11 = label(QStringLiteral("Nombre Oficial :"), 53, "Label11");
    EDITNOM_OFICIA = edit("EDITNOM_OFICIA", "NOM_OFICIA", 53, 516, true);
    Label2 = label(QStringLiteral("Sexo :"), 85, "Label2");
    EditSexo = edit("EditSexo", "SEXO", 85, 18, true);
    Label3 = new QLabel(QStringLiteral("( M/H )"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    platform::furniture::styleFieldLabel(Label3);
    Label3->adjustSize();
    Label3->move(191, 85 + kLabelDrop);
    Label8 = label(QStringLiteral("Especie :"), 117, "Label8");
    DBLookupComboBox2 = lookup("DBLookupComboBox2", "ESPECIE", 117, m_data.SourceEspecies, "DESCRIPCION");
    Label5 = label(QStringLiteral("Raza :"), 149, "Label5");
    DBLookupComboBox1 = lookup("DBLookupComboBox1", "RAZA", 149, m_data.SourceRazas, "RAZA");
    Label4 = label(QStringLiteral("Color/Manto :"), 181, "Label4");
    DBEdit2 = edit("DBEdit2", "COLOR", 181, 374, true);
    Label9 = label(QStringLiteral("Tipo de Pelo :"), 213, "Label9");
    DBEdit1 = edit("DBEdit1", "PELO", 213, 372, true);
    Label10 = label(QStringLiteral("Tamaño :"), 245, "Label10");
    DBCheckBox1 = check("DBCheckBox1", QStringLiteral("&Grande"), "GRANDE", 164);
    DBCheckBox2 = check("DBCheckBox2", QStringLiteral("&Mediano"), "MEDIANO", 271);
    DBCheckBox3 = check("DBCheckBox3", QStringLiteral("&Pequeño"), "PEQUENO", 375);
    Label6 = label(QStringLiteral("Fec.Nacimiento :"), 277, "Label6");
    DBEdit3 = edit("DBEdit3", "FEC_NAC", 277, 84, false);
    Label7 = label(QStringLiteral("Nº Chip/Tatuaje :"), 309, "Label7");
    DBEdit4 = edit("DBEdit4", "CHIP", 309, 252, true);

    const QList<QWidget*> order { EDITNOM_FAMI, EDITNOM_OFICIA, EditSexo, DBLookupComboBox2,
        DBLookupComboBox1, DBEdit2, DBEdit1, DBCheckBox1, DBCheckBox2, DBCheckBox3, DBEdit3, DBEdit4 };
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    Bevel1 = platform::furniture::addSeparator(this, 336);
    // Aceptar and Cancelar post or drop the pet; closing() then puts the
    // three tables back.
    addAcceptButton(QRect(230, 353, 113, 30));
    addCancelButton(QRect(398, 353, 113, 30));

    // Entering the breed list, by keyboard or mouse, narrows it first.
    connect(DBLookupComboBox1, &bound::DBLookupComboBox::entered, this,
        platform::guard(this, &TFichaPerro::filterBreeds));
    // The sex rule lives in the data module, which knows no window: it
    // reaches the sex box through this hook.
    m_data.focusSexBox = [this] { EditSexo->setFocus(Qt::OtherFocusReason); };
}

TFichaPerro::~TFichaPerro()
{
    m_data.focusSexBox = {};
}

engine::Table& TFichaPerro::recordTable() const
{
    return *m_data.TablaMascotas;
}

QString TFichaPerro::breedFilter(const QString& speciesCode)
{
    QString literal = speciesCode;
    literal.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QStringLiteral("ESPECIE = '%1'").arg(literal);
}

void TFichaPerro::filterBreeds()
{
    // The species list keeps the species table on the species chosen, so its
    // current code is the one shown in the window.
    engine::Table& breeds = *m_data.TablaRazas;
    breeds.setFiltered(false);
    breeds.setFilter(breedFilter(m_data.TablaEspeciesCODIGO->asString()));
    breeds.setFiltered(true);
}

void TFichaPerro::closeTables()
{
    m_data.TablaMascotas->close();
    m_data.TablaRazas->setFiltered(false);
    m_data.TablaRazas->close();
    m_data.TablaEspecies->close();
}

void TFichaPerro::closing()
{
    if (m_data.TablaMascotas->active()) {
        m_data.TablaMascotas->cancel();
        if (m_tablesLent)
            m_data.TablaRazas->setFiltered(false);
        else
            closeTables();
    }
}
