#include "album/FicFoto.h"

#include "album/Album.h"
#include "bound/DBEdit.h"
#include "controls/ButtonLook.h"
#include "controls/Colors.h"
#include "data/ModGen.h"
#include "engine/EngineError.h"
#include "engine/Table.h"
#include "platform/Application.h"
#include "platform/Furniture.h"
#include "platform/Guarded.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QToolButton>
#include <QTreeView>

namespace furniture = platform::furniture;

namespace {

constexpr int kLabelRight = 107;
constexpr int kBoxLeft = 122;

// The chooser's filters: what its list shows, then the patterns. The list
// shows the text before the patterns' brackets, so an entry whose text
// carries its own pattern repeats it.
struct FilterEntry {
    const char* shown;
    const char* patterns;
};
constexpr FilterEntry kFilters[] = {
    { "Todos los formatos", "*.bmp *.jpg *.jpeg *.emf *.wmf" },
    { "Bitmaps (*.bmp)", "*.bmp" },
    { "JPEG Formato imagen (*.jpg)", "*.jpg" },
    { "JPEG Formato imagen (*.jpeg)", "*.jpeg" },
    { "Enhaced Metafiles (*.emf)", "*.emf" },
    { "Metafiles (*.wmf)", "*.wmf" },
};

QStringList chooserFilters()
{
    QStringList filters;
    for (const FilterEntry& entry : kFilters)
        filters << QStringLiteral("%1 (%2)").arg(
            QString::fromUtf8(entry.shown), QLatin1String(entry.patterns));
    return filters;
}

// A small camera: body, lens and flash.
QPixmap cameraPicture()
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(QColor(90, 90, 100));
    p.drawRoundedRect(QRectF(1.5, 4.5, 13, 9), 1.5, 1.5);
    p.drawRect(QRectF(5.5, 2.5, 5, 2));
    p.setBrush(QColor(170, 200, 235));
    p.drawEllipse(QRectF(5, 6, 6, 6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 230, 120));
    p.drawRect(QRectF(2.5, 5.5, 2, 1.5));
    return picture;
}

} // namespace

TFichaFoto::TFichaFoto(TModuloGeneral& dataModule, QWidget* parent)
    : records::RecordWindow(parent)
    , m_data(dataModule)
{
    setObjectName(QStringLiteral("FichaFoto"));
    setWindowTitle(QStringLiteral("  Datos de la Fotografia."));
    setClientSize(692, 223);
    setHelpTopic(5, true);
    furniture::setGround(this, furniture::Ground::ButtonFace);

    buildUnlessDeferred();
}

TFichaFoto::~TFichaFoto() = default;

void TFichaFoto::build()
{
    // Built from back to front; the background starts at the top-left corner.
    Image1 = furniture::addBackground(this, QRect(), Qt::AlignLeft | Qt::AlignTop);

    Label1 = furniture::addFieldLabel(this, QStringLiteral("Mascota :"), kLabelRight, 29,
        furniture::LabelBack::Transparent, QStringLiteral("Label1"));
    Label2 = furniture::addFieldLabel(this, QStringLiteral("Descripción :"), kLabelRight, 77,
        furniture::LabelBack::Transparent, QStringLiteral("Label2"));
    Label3 = furniture::addFieldLabel(this, QStringLiteral("Ubicación :"), kLabelRight, 125,
        furniture::LabelBack::Transparent, QStringLiteral("Label3"));

    // In tab order.
    EDIT_DESC = addBox("EDIT_DESC", m_data.SourceAlbum, "DESCRIPCION", 75);
    EDIT_DESC->setCharCase(bound::DBEdit::CharCase::Upper);
    // File names on Linux tell capitals from small letters: a location is
    // kept as typed, or it would name another file.
    EDIT_CARPETA = addBox("EDIT_CARPETA", m_data.SourceAlbum, "CARPETA", 123);
    DBEdit1 = addBox("DBEdit1", m_data.SourceMascotas, "NOM_FAMI", 27);
    DBEdit1->setCharCase(bound::DBEdit::CharCase::Upper);
    QPalette green = DBEdit1->palette();
    green.setColor(QPalette::Base, controls::clMoneyGreen);
    DBEdit1->setPalette(green);
    QWidget::setTabOrder(EDIT_DESC, EDIT_CARPETA);
    QWidget::setTabOrder(EDIT_CARPETA, DBEdit1);

    SpeedButton2 = new QToolButton(this);
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    SpeedButton2->setGeometry(644, 121, 32, 27);
    SpeedButton2->setAutoRaise(true);
    SpeedButton2->setIcon(QIcon(cameraPicture()));
    SpeedButton2->setIconSize(QSize(16, 16));
    SpeedButton2->setCursor(Qt::PointingHandCursor);
    SpeedButton2->setToolTip(QStringLiteral("Seleccionar Imagen"));
    SpeedButton2->setFocusPolicy(Qt::NoFocus);
    connect(SpeedButton2, &QToolButton::clicked, this, platform::guard(this, &TFichaFoto::choosePicture));

    Bevel1 = furniture::addSeparator(this, 165);
    Bevel1->setGeometry(0, 165, 692, 5);
    // Aceptar and Cancelar have their own steps around the close.
    But_Aceptar = controls::makeWindowButton(
        this, QStringLiteral("But_Aceptar"), QStringLiteral("&Aceptar"), QRect(218, 184, 95, 30));
    But_Cancelar = controls::makeWindowButton(
        this, QStringLiteral("But_Cancelar"), QStringLiteral("&Cancelar"), QRect(378, 184, 95, 30));
    connect(But_Aceptar, &TDsFancyButton::clicked, this, platform::guard(this, &TFichaFoto::acceptPhoto));
    connect(But_Cancelar, &TDsFancyButton::clicked, this, platform::guard(this, &TFichaFoto::cancelPhoto));
}

bound::DBEdit* TFichaFoto::addBox(const char* name, engine::DataSource* source, const char* field, int top)
{
    auto* box = new bound::DBEdit(this); // owned by the window
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(kBoxLeft, top, 516, 21);
    furniture::styleBoundBox(box);
    box->setDataSource(source);
    box->setDataField(QString::fromLatin1(field));
    return box;
}

engine::Table& TFichaFoto::recordTable() const
{
    return *m_data.TablaAlbum;
}

int TFichaFoto::failedDisplays() const
{
    return m_album ? m_album->failedDisplays() : 0;
}

void TFichaFoto::acceptPhoto()
{
    const int failedBefore = failedDisplays();
    // The focused box's text first: a location whose picture does not load
    // is then reported once and not stored, and can be corrected.
    if (auto* box = qobject_cast<bound::DBEdit*>(focusWidget()); box && box->pending())
        box->commit();
    if (failedDisplays() != failedBefore)
        return;
    // A location picked with the chooser was written when it was picked:
    // whether its picture loads is asked again before anything is stored, so
    // a photograph the user then leaves (Cancelar, Alt+F4) is never stored.
    if (m_album) {
        try {
            m_album->showCurrentPictureAtOwnSize();
        } catch (const engine::EngineError& error) {
            platform::Application::showError(error.message());
            return;
        }
    }
    // A record posted at an earlier Aceptar whose picture failed has nothing
    // left to post; the window then only tries to close again.
    const engine::TableState state = recordTable().state();
    if (state == engine::TableState::Edit || state == engine::TableState::Insert)
        recordTable().post();
    if (failedDisplays() != failedBefore)
        return;
    m_accepting = true;
    m_failedAtOperation = failedBefore;
    const auto reset = qScopeGuard([this] {
        m_accepting = false;
        m_failedAtOperation = -1;
    });
    close();
}

void TFichaFoto::cancelPhoto()
{
    m_failedAtOperation = failedDisplays();
    const auto reset = qScopeGuard([this] { m_failedAtOperation = -1; });
    recordTable().cancel();
    close();
}

void TFichaFoto::done(int result)
{
    // Closed by neither Aceptar nor Cancelar (Alt+F4 on the desktop): as
    // Cancelar. A change left pending would show in the list as if stored,
    // and the next move there would store it.
    const bool leftByTheDesktop = !m_accepting && m_failedAtOperation < 0;
    const auto reset = qScopeGuard([this, leftByTheDesktop] {
        if (leftByTheDesktop)
            m_failedAtOperation = -1;
    });
    if (leftByTheDesktop) {
        m_failedAtOperation = failedDisplays();
        const engine::TableState state = recordTable().state();
        if (state == engine::TableState::Edit || state == engine::TableState::Insert)
            recordTable().cancel();
    }
    // However the window closes, the album shows the current photograph's
    // picture at its own size.
    if (m_album) {
        try {
            m_album->showCurrentPictureAtOwnSize();
        } catch (const engine::EngineError& error) {
            const bool alreadyShown = m_failedAtOperation >= 0 && failedDisplays() != m_failedAtOperation;
            if (!alreadyShown)
                platform::Application::showError(error.message());
            // Only after Aceptar is there a location to correct; otherwise
            // the window must not hold the user until a stored path is changed.
            if (m_accepting)
                return;
        }
    }
    records::RecordWindow::done(result);
}

QFileDialog* TFichaFoto::pictureChooser()
{
    if (m_chooser)
        return m_chooser.get();
    m_chooser = std::make_unique<QFileDialog>(this);
    QFileDialog& chooser = *m_chooser;
    chooser.setObjectName(QStringLiteral("OpenDialog"));
    // Qt's own dialog rather than the desktop's: its texts can be given in
    // Spanish, and tests can work it.
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    // The list shows each entry's text alone; the patterns stay behind it.
    chooser.setOption(QFileDialog::HideNameFilterDetails);
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    // A typed name that names no file comes back as typed.
    chooser.setFileMode(QFileDialog::AnyFile);
    chooser.setDefaultSuffix(QStringLiteral("bmp"));
    chooser.setNameFilters(chooserFilters());
    chooser.setWindowTitle(QStringLiteral("Abrir"));
    chooser.setLabelText(QFileDialog::LookIn, QStringLiteral("Buscar en:"));
    chooser.setLabelText(QFileDialog::FileName, QStringLiteral("Nombre:"));
    chooser.setLabelText(QFileDialog::FileType, QStringLiteral("Tipo:"));
    chooser.setLabelText(QFileDialog::Accept, QStringLiteral("&Abrir"));
    chooser.setLabelText(QFileDialog::Reject, QStringLiteral("Cancelar"));
    // Qt sizes the size, type and date columns for short English texts, and
    // cuts longer ones ("15....KiB"): each is sized to what it shows, its
    // title included, and the name takes the rest.
    if (auto* files = chooser.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* titles = files->header();
        titles->setStretchLastSection(false);
        titles->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < titles->count(); ++column)
            titles->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    // The program is started from a menu as often as from a folder: the first
    // showing opens on the user's pictures rather than wherever it runs.
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    chooser.setDirectory(QDir(pictures).exists() ? pictures : QDir::homePath());
    return m_chooser.get();
}

void TFichaFoto::choosePicture()
{
    QFileDialog& chooser = *pictureChooser();
    if (!m_lastFilter.isEmpty())
        chooser.selectNameFilter(m_lastFilter);
    if (!m_lastFile.isEmpty())
        chooser.selectFile(m_lastFile);
    const int answer = chooser.exec();
    // The file name box's completion list may still be up after a name typed
    // quickly and accepted; it would take the next keys typed elsewhere.
    for (QCompleter* completer : chooser.findChildren<QCompleter*>()) {
        if (completer->popup())
            completer->popup()->hide();
    }
    if (answer != QDialog::Accepted)
        return;
    const QStringList files = chooser.selectedFiles();
    if (files.isEmpty())
        return;
    m_lastFile = files.first();
    m_lastFilter = chooser.selectedNameFilter();
    // Cut to the field's size, the path would name another file.
    const int limit = m_data.TablaAlbumCARPETA->size();
    if (engine::characterCount(m_lastFile) > limit) {
        platform::Application::showError(
            QStringLiteral("La ubicación \"%1\" tiene más de %2 caracteres y no cabe en la ficha")
                .arg(m_lastFile)
                .arg(limit));
        return;
    }
    // The window may be open on a posted record (after a picture failed).
    if (!m_data.SourceAlbum->editForTyping())
        return;
    m_data.TablaAlbumCARPETA->setAsString(m_lastFile);
}
