// The delete confirmation dialog shared by every list window: it answers
// through BorrarConfirmado, 1 when the user chose "&Eliminar".
#pragma once

#include "records/TwoButtonDialog.h"

class TFichaBorrar : public records::TwoButtonDialog {
    Q_OBJECT
public:
    explicit TFichaBorrar(QWidget* parent = nullptr);

    QLabel* Image2 = nullptr;

protected:
    void buildContent() override;
    void activate() override;
    void answerChosen() override;
    void answerCancelled() override;
};
