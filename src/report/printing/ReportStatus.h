// The report engine's status window "Estatus Listado": which page is being
// generated or printed, with a button that stops the work.
#pragma once

#include "platform/Window.h"

class QLabel;
class QPushButton;

namespace report {

class ReportStatusWindow : public platform::Window {
    Q_OBJECT
public:
    ReportStatusWindow(const QString& title, QWidget* parent = nullptr);

    // Shows `text` with "%p" replaced by the page number, lets the window
    // answer, and returns false once the user has asked to stop.
    bool step(const QString& text, int page);
    bool cancelled() const { return m_cancelled; }

    QLabel* LabelEstado = nullptr;
    QPushButton* But_Cancelar = nullptr;

protected:
    void build() override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool m_cancelled = false;
};

} // namespace report
