#include "records/Shared.h"

unsigned char BorrarConfirmado = 0;
QString TextoBuscado;
