// The report engine's preview "Previsualización Listado": the pages of a
// laid-out report on screen, with page and zoom controls and printing.
#pragma once

#include "platform/Window.h"
#include "report/ReportLayout.h"
#include "report/ReportOutput.h"

#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QPrintPreviewWidget;
class QPrinter;
class QToolBar;

namespace report {

class ReportPreviewWindow : public platform::Window {
    Q_OBJECT
public:
    // `print` prints the document (the "Imprimir" button); empty: no printing.
    ReportPreviewWindow(const report::Document& document, const QString& title, ReportOptions::Zoom zoom,
        std::function<void()> print, QWidget* parent = nullptr);
    ~ReportPreviewWindow() override;

    // Paints every page into the preview now, telling `progress` of each.
    void generate(const report::Progress& progress);

    int pageCount() const;
    int currentPage() const; // from 1
    void showPage(int page);
    double zoomFactor() const;

    QToolBar* BarraHerramientas = nullptr;
    QAction* ActionImprimir = nullptr;
    QAction* ActionPrimera = nullptr;
    QAction* ActionAnterior = nullptr;
    QAction* ActionSiguiente = nullptr;
    QAction* ActionUltima = nullptr;
    QAction* ActionCerrar = nullptr;
    QLabel* LabelPagina = nullptr;
    QComboBox* ComboZoom = nullptr;
    QPrintPreviewWidget* Vista = nullptr;

protected:
    void build() override;
    void activate() override;

private:
    void paintPages(QPrinter* printer);
    void chooseZoom(int index);
    void showPosition();

    const report::Document& m_document;
    ReportOptions::Zoom m_zoom;
    std::function<void()> m_print;
    std::unique_ptr<QPrinter> m_printer;
    report::Progress m_progress;
};

} // namespace report
