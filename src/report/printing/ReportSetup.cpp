#include "report/printing/ReportSetup.h"

#include "platform/Dialogs.h"
#include "platform/Guarded.h"
#include "report/printing/ReportPrint.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace report {

namespace {

template <typename T> T* named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

bool hasPrinters()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

// The preview set-up: the zoom the preview opens at.
class PreviewSetupWindow : public platform::Window {
public:
    PreviewSetupWindow(ReportOptions::Zoom zoom, QWidget* parent)
        : platform::Window(parent)
    {
        setObjectName(QStringLiteral("OpcionesPrevisualizacion"));
        setWindowTitle(QStringLiteral("Opciones de Previsualización"));
        auto* layout = new QVBoxLayout(this);
        auto* group = new QGroupBox(QStringLiteral(" Ampliación al abrir "), this);
        auto* inner = new QVBoxLayout(group);
        const std::pair<const char*, ReportOptions::Zoom> choices[]
            = { { "&100 %", ReportOptions::Zoom::Actual },
                  { "A&ncho de página", ReportOptions::Zoom::PageWidth },
                  { "Página &entera", ReportOptions::Zoom::WholePage } };
        for (const auto& [caption, value] : choices) {
            auto* radio = new QRadioButton(QString::fromUtf8(caption), group);
            radio->setChecked(value == zoom);
            inner->addWidget(radio);
            m_radios.push_back({ radio, value });
        }
        layout->addWidget(group);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        auto* ok = named(new QPushButton(QStringLiteral("&Aceptar"), this), "But_Aceptar");
        auto* cancel = named(new QPushButton(QStringLiteral("Cancelar"), this), "But_Cancelar");
        buttons->addWidget(ok);
        buttons->addWidget(cancel);
        layout->addLayout(buttons);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
        // Wide enough for its caption in the title bar, whose font is often
        // larger and bolder than the window's, beside the close button.
        const int forCaption = fontMetrics().horizontalAdvance(windowTitle()) * 3 / 2 + 96;
        setFixedSize(std::max(sizeHint().width(), forCaption), sizeHint().height());
    }

    ReportOptions::Zoom zoom() const
    {
        for (const auto& [radio, value] : m_radios)
            if (radio->isChecked())
                return value;
        return ReportOptions::Zoom::Actual;
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
            reject();
            return;
        }
        platform::Window::keyPressEvent(event);
    }

private:
    std::vector<std::pair<QRadioButton*, ReportOptions::Zoom>> m_radios;
};

} // namespace

ReportSetupWindow::ReportSetupWindow(const ReportOptions& options, const QString& title, QWidget* parent)
    : platform::Window(parent)
    , m_options(options)
{
    setObjectName(QStringLiteral("OpcionesSalida"));
    setWindowTitle(title);
    buildUnlessDeferred();
}

void ReportSetupWindow::build()
{
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    layout->addLayout(top);

    auto* destination = named(new QGroupBox(QStringLiteral(" Destino del listado "), this), "GrupoDestino");
    auto* d = new QGridLayout(destination);
    RadioImpresora = named(new QRadioButton(QStringLiteral("Imp&resora"), destination), "RadioImpresora");
    RadioPrevisualizar
        = named(new QRadioButton(QStringLiteral("Pre&visualizar"), destination), "RadioPrevisualizar");
    RadioFichero = named(new QRadioButton(QStringLiteral("&Fichero"), destination), "RadioFichero");
    ComboFormato = named(new QComboBox(destination), "ComboFormato");
    ComboFormato->addItem(report::formatCaption(ReportFileFormat::Pdf), int(ReportFileFormat::Pdf));
    ComboFormato->addItem(report::formatCaption(ReportFileFormat::Text), int(ReportFileFormat::Text));
    EditFichero = named(new QLineEdit(destination), "EditFichero");
    EditFichero->setMinimumWidth(180);
    But_Examinar = named(new QPushButton(QStringLiteral("E&xaminar..."), destination), "But_Examinar");
    d->addWidget(RadioImpresora, 0, 0, 1, 3);
    d->addWidget(RadioPrevisualizar, 1, 0, 1, 3);
    d->addWidget(RadioFichero, 2, 0, 1, 3);
    d->addWidget(new QLabel(QStringLiteral("Formato:"), destination), 3, 1);
    d->addWidget(ComboFormato, 3, 2, 1, 2);
    d->addWidget(new QLabel(QStringLiteral("Nombre:"), destination), 4, 1);
    d->addWidget(EditFichero, 4, 2);
    d->addWidget(But_Examinar, 4, 3);
    d->setColumnMinimumWidth(0, 12);
    top->addWidget(destination);

    auto* range = named(new QGroupBox(QStringLiteral(" Rango impresión "), this), "GrupoRango");
    auto* r = new QGridLayout(range);
    RadioTodas = named(new QRadioButton(QStringLiteral("&Todas las páginas"), range), "RadioTodas");
    RadioPaginas = named(new QRadioButton(QStringLiteral("&Páginas"), range), "RadioPaginas");
    SpinDesde = named(new QSpinBox(range), "SpinDesde");
    SpinHasta = named(new QSpinBox(range), "SpinHasta");
    for (QSpinBox* spin : { SpinDesde, SpinHasta })
        spin->setRange(1, 99999);
    r->addWidget(RadioTodas, 0, 0, 1, 4);
    r->addWidget(RadioPaginas, 1, 0, 1, 4);
    r->addWidget(new QLabel(QStringLiteral("desde"), range), 2, 1);
    r->addWidget(SpinDesde, 2, 2);
    r->addWidget(new QLabel(QStringLiteral("hasta"), range), 3, 1);
    r->addWidget(SpinHasta, 3, 2);
    r->setColumnMinimumWidth(0, 12);
    r->setRowStretch(4, 1);
    top->addWidget(range);

    auto* printing = named(new QGroupBox(QStringLiteral(" Impresora "), this), "GrupoImpresora");
    auto* p = new QGridLayout(printing);
    LabelImpresora = named(new QLabel(printing), "LabelImpresora");
    SpinCopias = named(new QSpinBox(printing), "SpinCopias");
    SpinCopias->setRange(1, 999);
    auto* copiesLabel = new QLabel(QStringLiteral("&Copias:"), printing);
    copiesLabel->setBuddy(SpinCopias);
    CheckIntercalar = named(new QCheckBox(QStringLiteral("&Intercalar"), printing), "CheckIntercalar");
    ComboDuplex = named(new QComboBox(printing), "ComboDuplex");
    ComboDuplex->addItem(QStringLiteral("Una cara"), int(ReportDuplex::None));
    ComboDuplex->addItem(QStringLiteral("Dos caras, borde largo"), int(ReportDuplex::LongSide));
    ComboDuplex->addItem(QStringLiteral("Dos caras, borde corto"), int(ReportDuplex::ShortSide));
    auto* duplexLabel = new QLabel(QStringLiteral("&Dúplex:"), printing);
    duplexLabel->setBuddy(ComboDuplex);
    p->addWidget(LabelImpresora, 0, 0, 1, 5);
    p->addWidget(copiesLabel, 1, 0);
    p->addWidget(SpinCopias, 1, 1);
    p->addWidget(CheckIntercalar, 1, 2);
    p->addWidget(duplexLabel, 1, 3);
    p->addWidget(ComboDuplex, 1, 4);
    layout->addWidget(printing);

    auto* buttons = new QHBoxLayout;
    But_ConfigImpresora
        = named(new QPushButton(QStringLiteral("Configurar i&mpresora..."), this), "But_ConfigImpresora");
    But_ConfigPrevisualizacion
        = named(new QPushButton(QStringLiteral("Opciones de pr&evisualización..."), this),
            "But_ConfigPrevisualizacion");
    But_Aceptar = named(new QPushButton(QStringLiteral("&Aceptar"), this), "But_Aceptar");
    But_Cancelar = named(new QPushButton(QStringLiteral("Cancelar"), this), "But_Cancelar");
    buttons->addWidget(But_ConfigImpresora);
    buttons->addWidget(But_ConfigPrevisualizacion);
    buttons->addStretch();
    buttons->addWidget(But_Aceptar);
    buttons->addWidget(But_Cancelar);
    layout->addLayout(buttons);

    // The chosen options shown.
    RadioImpresora->setChecked(m_options.destination == ReportDestination::Printer);
    RadioPrevisualizar->setChecked(m_options.destination == ReportDestination::Preview);
    RadioFichero->setChecked(m_options.destination == ReportDestination::File);
    ComboFormato->setCurrentIndex(ComboFormato->findData(int(m_options.format)));
    EditFichero->setText(m_options.fileName);
    // A name ending in the other format's extension follows the format.
    connect(ComboFormato, &QComboBox::currentIndexChanged, this, [this] {
        const QString name = EditFichero->text().trimmed();
        if (!QFileInfo(name).suffix().isEmpty())
            EditFichero->setText(
                report::withExtension(name, ReportFileFormat(ComboFormato->currentData().toInt())));
    });
    RadioTodas->setChecked(m_options.allPages);
    RadioPaginas->setChecked(!m_options.allPages);
    SpinDesde->setValue(m_options.fromPage);
    SpinHasta->setValue(m_options.toPage);
    SpinCopias->setValue(m_options.copies);
    CheckIntercalar->setChecked(m_options.collate);
    ComboDuplex->setCurrentIndex(std::max(0, ComboDuplex->findData(int(m_options.duplex))));
    // Without a printer the printer cannot be chosen; preview and file still work.
    if (!hasPrinters()) {
        RadioImpresora->setEnabled(false);
        But_ConfigImpresora->setEnabled(false);
        if (RadioImpresora->isChecked())
            RadioPrevisualizar->setChecked(true);
    }
    showPrinter();
    followChoices();

    for (QRadioButton* radio : { RadioImpresora, RadioPrevisualizar, RadioFichero, RadioTodas, RadioPaginas })
        connect(
            radio, &QRadioButton::toggled, this, platform::guard(this, &ReportSetupWindow::followChoices));
    // A radio chosen by its letter is checked only when its click animation
    // ends, a tenth of a second later; a Tab typed at once would skip the
    // boxes it opens and the numbers typed next would land in "Copias". The
    // boxes open as soon as the radio is pressed.
    connect(RadioFichero, &QRadioButton::pressed, this, [this] {
        for (QWidget* w : { static_cast<QWidget*>(ComboFormato), static_cast<QWidget*>(EditFichero),
                 static_cast<QWidget*>(But_Examinar) })
            w->setEnabled(true);
    });
    connect(RadioPaginas, &QRadioButton::pressed, this, [this] {
        SpinDesde->setEnabled(true);
        SpinHasta->setEnabled(true);
    });
    connect(But_Examinar, &QPushButton::clicked, this, platform::guard(this, &ReportSetupWindow::chooseFile));
    connect(But_ConfigImpresora, &QPushButton::clicked, this,
        platform::guard(this, &ReportSetupWindow::setUpPrinter));
    connect(But_ConfigPrevisualizacion, &QPushButton::clicked, this,
        platform::guard(this, &ReportSetupWindow::setUpPreview));
    connect(But_Aceptar, &QPushButton::clicked, this, platform::guard(this, &ReportSetupWindow::accept));
    connect(But_Cancelar, &QPushButton::clicked, this, platform::guard(this, &ReportSetupWindow::reject));

    setFixedSize(sizeHint());
}

void ReportSetupWindow::followChoices()
{
    const bool file = RadioFichero->isChecked();
    for (QWidget* w : { static_cast<QWidget*>(ComboFormato), static_cast<QWidget*>(EditFichero),
             static_cast<QWidget*>(But_Examinar) })
        w->setEnabled(file);
    SpinDesde->setEnabled(RadioPaginas->isChecked());
    SpinHasta->setEnabled(RadioPaginas->isChecked());
}

void ReportSetupWindow::showPrinter()
{
    QString name = m_options.printerName;
    if (name.isEmpty())
        name = QPrinterInfo::defaultPrinterName();
    LabelImpresora->setText(name.isEmpty() ? QStringLiteral("No hay ninguna impresora instalada.")
                                           : QStringLiteral("Impresora: %1").arg(name));
}

ReportOptions ReportSetupWindow::options() const
{
    ReportOptions o = m_options;
    o.destination = RadioImpresora->isChecked() ? ReportDestination::Printer
        : RadioFichero->isChecked()             ? ReportDestination::File
                                                : ReportDestination::Preview;
    o.format = ReportFileFormat(ComboFormato->currentData().toInt());
    o.fileName = EditFichero->text().trimmed();
    o.allPages = RadioTodas->isChecked();
    o.fromPage = SpinDesde->value();
    o.toPage = SpinHasta->value();
    o.copies = SpinCopias->value();
    o.collate = CheckIntercalar->isChecked();
    o.duplex = ReportDuplex(ComboDuplex->currentData().toInt());
    return o;
}

void ReportSetupWindow::chooseFile()
{
    // Our own chooser, so that its texts are Spanish like the rest.
    QFileDialog dialog(this, QStringLiteral("Guardar el listado como"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // Replacing a file is asked by "Aceptar", in Spanish, however the name came.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Buscar en:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Nombre:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Tipo:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("&Guardar"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Cancelar"));
    const QStringList filters
        = { report::formatFilter(ReportFileFormat::Pdf), report::formatFilter(ReportFileFormat::Text) };
    dialog.setNameFilters(filters);
    const auto format = ReportFileFormat(ComboFormato->currentData().toInt());
    dialog.selectNameFilter(report::formatFilter(format));
    dialog.setDefaultSuffix(report::formatExtension(format));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, filters](const QString& filter) {
        dialog.setDefaultSuffix(report::formatExtension(
            filters.indexOf(filter) == 1 ? ReportFileFormat::Text : ReportFileFormat::Pdf));
    });
    if (!EditFichero->text().isEmpty())
        dialog.selectFile(EditFichero->text());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const int chosen = int(filters.indexOf(dialog.selectedNameFilter()));
    ComboFormato->setCurrentIndex(chosen == 1 ? 1 : 0);
    EditFichero->setText(QDir::toNativeSeparators(dialog.selectedFiles().first()));
    m_options.fileName = EditFichero->text();
}

void ReportSetupWindow::setUpPrinter()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!m_options.printerName.isEmpty())
        printer.setPrinterName(m_options.printerName);
    printer.setCopyCount(SpinCopias->value());
    printer.setCollateCopies(CheckIntercalar->isChecked());
    printer.setDuplex(printerDuplex(ReportDuplex(ComboDuplex->currentData().toInt())));
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Configurar impresora"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_options.printerName = printer.printerName();
    SpinCopias->setValue(printer.copyCount());
    CheckIntercalar->setChecked(printer.collateCopies());
    ComboDuplex->setCurrentIndex(std::max(0, ComboDuplex->findData(int(reportDuplex(printer.duplex())))));
    showPrinter();
}

void ReportSetupWindow::setUpPreview()
{
    PreviewSetupWindow window(m_options.previewZoom, this);
    if (window.exec() == QDialog::Accepted)
        m_options.previewZoom = window.zoom();
}

void ReportSetupWindow::accept()
{
    ReportOptions o = options();
    if (!o.allPages && o.fromPage > o.toPage) {
        showMessage(this, windowTitle(),
            QStringLiteral("La primera página no puede ser mayor que la última."),
            platform::MessageIcon::Warning);
        SpinDesde->setFocus();
        return;
    }
    if (o.destination == ReportDestination::File) {
        if (o.fileName.isEmpty())
            chooseFile();
        o = options();
        if (o.fileName.isEmpty())
            return;
        // A bare name goes to the user's home folder, not wherever the program was started.
        if (QFileInfo(o.fileName).isRelative()) {
            EditFichero->setText(QDir::home().filePath(o.fileName));
            o = options();
        }
        if (QFileInfo(o.fileName).isDir() || QFileInfo(report::withExtension(o.fileName, o.format)).isDir()) {
            showMessage(this, windowTitle(),
                QStringLiteral("«%1» es una carpeta; escriba el nombre de un fichero.")
                    .arg(QDir::toNativeSeparators(o.fileName)),
                platform::MessageIcon::Warning);
            EditFichero->setFocus();
            return;
        }
        const QString fileName = report::withExtension(o.fileName, o.format);
        const QFileInfo info(fileName);
        if (!info.absoluteDir().exists()) {
            showMessage(this, windowTitle(),
                QStringLiteral("La carpeta «%1» no existe.")
                    .arg(QDir::toNativeSeparators(info.absolutePath())),
                platform::MessageIcon::Warning);
            EditFichero->setFocus();
            return;
        }
        if (info.exists()) {
            QMessageBox box(QMessageBox::Question, windowTitle(),
                QStringLiteral("El fichero «%1» ya existe.\n¿Desea reemplazarlo?")
                    .arg(QDir::toNativeSeparators(fileName)),
                QMessageBox::NoButton, this);
            box.setObjectName(QStringLiteral("ConfirmarReemplazo"));
            box.setTextFormat(Qt::PlainText);
            QPushButton* yes = box.addButton(QStringLiteral("&Sí"), QMessageBox::YesRole);
            box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
            box.exec();
            if (box.clickedButton() != yes)
                return;
        }
        EditFichero->setText(fileName);
    }
    m_options = options();
    Window::accept();
}

void ReportSetupWindow::keyPressEvent(QKeyEvent* event)
{
    // As in any standard dialog, Escape is the "Cancelar" button.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        reject();
        return;
    }
    platform::Window::keyPressEvent(event);
}

} // namespace report
