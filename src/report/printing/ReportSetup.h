// The report engine's output setup window "Opciones de Salida": destination
// (printer, preview or file), page range, copies, collation, duplex, and the
// printer and preview set-ups.
#pragma once

#include "platform/Window.h"
#include "report/ReportOutput.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace report {

class ReportSetupWindow : public platform::Window {
    Q_OBJECT
public:
    ReportSetupWindow(const ReportOptions& options, const QString& title, QWidget* parent = nullptr);

    // The choices as the window holds them.
    ReportOptions options() const;

    // What the buttons do.
    void accept() override;
    void chooseFile();
    void setUpPrinter();
    void setUpPreview();

    QRadioButton* RadioImpresora = nullptr;
    QRadioButton* RadioPrevisualizar = nullptr;
    QRadioButton* RadioFichero = nullptr;
    QComboBox* ComboFormato = nullptr;
    QLineEdit* EditFichero = nullptr;
    QPushButton* But_Examinar = nullptr;
    QRadioButton* RadioTodas = nullptr;
    QRadioButton* RadioPaginas = nullptr;
    QSpinBox* SpinDesde = nullptr;
    QSpinBox* SpinHasta = nullptr;
    QLabel* LabelImpresora = nullptr;
    QSpinBox* SpinCopias = nullptr;
    QCheckBox* CheckIntercalar = nullptr;
    QComboBox* ComboDuplex = nullptr;
    QPushButton* But_ConfigImpresora = nullptr;
    QPushButton* But_ConfigPrevisualizacion = nullptr;
    QPushButton* But_Aceptar = nullptr;
    QPushButton* But_Cancelar = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build() override;
    void followChoices();
    void showPrinter();

    ReportOptions m_options;
};

} // namespace report
