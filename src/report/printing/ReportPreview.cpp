#include "report/printing/ReportPreview.h"
#include "platform/Guarded.h"

#include <QAction>
#include <QComboBox>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>
#include <QVBoxLayout>

namespace report {

namespace {

// Zoom choices: a factor, or 0 and -1 for page width and whole page.
const std::pair<const char*, double> zooms[] = { { "50 %", 0.5 }, { "75 %", 0.75 }, { "100 %", 1.0 },
    { "150 %", 1.5 }, { "200 %", 2.0 }, { "Ancho de página", 0 }, { "Página entera", -1 } };

} // namespace

ReportPreviewWindow::ReportPreviewWindow(const report::Document& document, const QString& title,
    ReportOptions::Zoom zoom, std::function<void()> print, QWidget* parent)
    : platform::Window(parent)
    , m_document(document)
    , m_zoom(zoom)
    , m_print(std::move(print))
    , m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName(QStringLiteral("PrevisualizacionListado"));
    setWindowTitle(title);
    // A large document window: it may be resized and opens maximised.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint
        | Qt::WindowCloseButtonHint);
    setWindowState(Qt::WindowMaximized);
    m_printer->setFullPage(true);
    m_printer->setPageLayout(document.layout);
    buildUnlessDeferred();
}

ReportPreviewWindow::~ReportPreviewWindow() = default;

void ReportPreviewWindow::build()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    BarraHerramientas = new QToolBar(this);
    BarraHerramientas->setObjectName(QStringLiteral("BarraHerramientas"));
    BarraHerramientas->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ActionImprimir = BarraHerramientas->addAction(QStringLiteral("&Imprimir"));
    BarraHerramientas->addSeparator();
    ActionPrimera = BarraHerramientas->addAction(QStringLiteral("Pri&mera"));
    ActionAnterior = BarraHerramientas->addAction(QStringLiteral("&Anterior"));
    LabelPagina = new QLabel(BarraHerramientas);
    LabelPagina->setObjectName(QStringLiteral("LabelPagina"));
    LabelPagina->setContentsMargins(8, 0, 8, 0);
    BarraHerramientas->addWidget(LabelPagina);
    ActionSiguiente = BarraHerramientas->addAction(QStringLiteral("&Siguiente"));
    ActionUltima = BarraHerramientas->addAction(QStringLiteral("Ú&ltima"));
    BarraHerramientas->addSeparator();
    BarraHerramientas->addWidget(new QLabel(QStringLiteral(" Ampliación: "), BarraHerramientas));
    ComboZoom = new QComboBox(BarraHerramientas);
    ComboZoom->setObjectName(QStringLiteral("ComboZoom"));
    for (const auto& [caption, factor] : zooms)
        ComboZoom->addItem(QString::fromUtf8(caption), factor);
    BarraHerramientas->addWidget(ComboZoom);
    BarraHerramientas->addSeparator();
    ActionCerrar = BarraHerramientas->addAction(QStringLiteral("&Cerrar"));
    layout->addWidget(BarraHerramientas);

    Vista = new QPrintPreviewWidget(m_printer.get(), this);
    Vista->setObjectName(QStringLiteral("Vista"));
    Vista->setViewMode(QPrintPreviewWidget::SinglePageView);
    layout->addWidget(Vista, 1);

    // Toolbar buttons do not take their letters by themselves.
    for (QAction* action :
        { ActionImprimir, ActionPrimera, ActionAnterior, ActionSiguiente, ActionUltima, ActionCerrar }) {
        action->setShortcut(QKeySequence::mnemonic(action->text()));
        addAction(action);
    }
    ActionSiguiente->setShortcuts(
        { QKeySequence::mnemonic(ActionSiguiente->text()), QKeySequence(Qt::Key_PageDown) });
    ActionAnterior->setShortcuts(
        { QKeySequence::mnemonic(ActionAnterior->text()), QKeySequence(Qt::Key_PageUp) });
    ActionImprimir->setEnabled(bool(m_print));
    connect(Vista, &QPrintPreviewWidget::paintRequested, this,
        platform::guard(this, &ReportPreviewWindow::paintPages));
    connect(Vista, &QPrintPreviewWidget::previewChanged, this,
        platform::guard(this, &ReportPreviewWindow::showPosition));
    connect(ActionImprimir, &QAction::triggered, this, platform::guard([this] { m_print(); }));
    connect(ActionPrimera, &QAction::triggered, this, [this] { showPage(1); });
    connect(ActionAnterior, &QAction::triggered, this, [this] { showPage(currentPage() - 1); });
    connect(ActionSiguiente, &QAction::triggered, this, [this] { showPage(currentPage() + 1); });
    connect(ActionUltima, &QAction::triggered, this, [this] { showPage(pageCount()); });
    connect(ActionCerrar, &QAction::triggered, this, &QDialog::reject);
    connect(ComboZoom, &QComboBox::activated, this, platform::guard(this, &ReportPreviewWindow::chooseZoom));

    const int start = m_zoom == ReportOptions::Zoom::PageWidth ? 5
        : m_zoom == ReportOptions::Zoom::WholePage             ? 6
                                                               : 2;
    ComboZoom->setCurrentIndex(start);
    chooseZoom(start);
}

void ReportPreviewWindow::generate(const report::Progress& progress)
{
    m_progress = progress;
    Vista->updatePreview();
    m_progress = {};
}

void ReportPreviewWindow::paintPages(QPrinter* printer)
{
    QPainter painter(printer);
    for (int page = 0; page < int(m_document.pages.size()); ++page) {
        if (m_progress && !m_progress(page + 1))
            break;
        if (page > 0)
            printer->newPage();
        report::paintPage(painter, m_document, page);
    }
}

void ReportPreviewWindow::activate()
{
    // After the window base has placed the window: it opens filling the screen.
    setWindowState(windowState() | Qt::WindowMaximized);
    Vista->setFocus();
    showPosition();
}

int ReportPreviewWindow::pageCount() const
{
    return Vista->pageCount();
}

int ReportPreviewWindow::currentPage() const
{
    return Vista->currentPage();
}

void ReportPreviewWindow::showPage(int page)
{
    Vista->setCurrentPage(std::clamp(page, 1, std::max(1, pageCount())));
    showPosition();
}

double ReportPreviewWindow::zoomFactor() const
{
    return Vista->zoomFactor();
}

void ReportPreviewWindow::chooseZoom(int index)
{
    const double factor = ComboZoom->itemData(index).toDouble();
    if (factor > 0) {
        Vista->setZoomMode(QPrintPreviewWidget::CustomZoom);
        Vista->setZoomFactor(factor);
    } else {
        Vista->setZoomMode(factor == 0 ? QPrintPreviewWidget::FitToWidth : QPrintPreviewWidget::FitInView);
    }
}

void ReportPreviewWindow::showPosition()
{
    LabelPagina->setText(QStringLiteral("Página %1 de %2").arg(currentPage()).arg(pageCount()));
    ActionPrimera->setEnabled(currentPage() > 1);
    ActionAnterior->setEnabled(currentPage() > 1);
    ActionSiguiente->setEnabled(currentPage() < pageCount());
    ActionUltima->setEnabled(currentPage() < pageCount());
}

} // namespace report
