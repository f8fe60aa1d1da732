// The two process-wide answers of the shared dialogs: the delete
// confirmation result and the search text, reset by each caller before showing.
#pragma once

#include <QString>

// 1: the user confirmed the deletion in TFichaBorrar; 0: not confirmed.
extern unsigned char BorrarConfirmado;
// The text accepted in TFichaBuscar; empty: cancelled.
extern QString TextoBuscado;
