// The sign-up e-mail's text, written out in full by hand so the tests do not
// take it from the code they check.
#pragma once

#include <QString>

namespace abouttest {

inline const QString signUpText = QStringLiteral(
    "mailto:contacto@huellario.example?Subject=Registro Usuarios&body="
    "Cumplimente los siguientes campos.%0D%0A"
    "%0D%0A"
    "           * Nombre y Apellidos :%0D%0A"
    "%0D%0A"
    "            * Correo Electrónico :%0D%0A"
    "%0D%0A"
    "                                Ciudad :%0D%0A"
    "%0D%0A"
    "                            Provincia :%0D%0A"
    "%0D%0A"
    " Como conoció el programa :%0D%0A"
    "%0D%0A"
    "                        Comentarios :%0D%0A"
    "%0D%0A"
    "%0D%0A"
    "%0D%0A"
    "* Campos Obligatorios."
    "%0D%0A%0D%0ADeseo que me envíen noticias sobre las nuevas versiones y actualizaciones del programa"
    "%0D%0Ade Huellario. ");

inline constexpr int signUpLength = 545;

inline const QString failureSecondLine = QStringLiteral(
    "No se ha podido abrir el programa de correo; consulte la ayuda (tecla F1) para saber cómo resolverlo.");

} // namespace abouttest
