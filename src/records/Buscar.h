// The search text dialog shared by the list windows: it answers through
// TextoBuscado, the text accepted or empty when cancelled.
#pragma once

#include "records/TwoButtonDialog.h"

class QLineEdit;

class TFichaBuscar : public records::TwoButtonDialog {
    Q_OBJECT
public:
    explicit TFichaBuscar(QWidget* parent = nullptr);

    QLineEdit* TextoBusqueda = nullptr;

protected:
    void buildContent() override;
    void activate() override;
    void answerChosen() override;
    void answerCancelled() override;
};
