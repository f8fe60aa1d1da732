#!/usr/bin/env bash
# The about window from the main window's letter: its size, the mail link and
# the sign-up e-mail reaching the desktop's opener as valid addresses, the
# three-line message when no opener is left, and its letters and Alt+F4.
source "$(dirname "$0")/lib.sh"
e2e_begin about
e2e_make_data

# A stand-in for the desktop's opener that writes down what it is given.
opened="$E2E_TMP/opened.txt"
mkdir -p "$E2E_TMP/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >> "%s"\n' "$opened" >"$E2E_TMP/bin/xdg-open"
chmod +x "$E2E_TMP/bin/xdg-open"
export PATH="$E2E_TMP/bin:$PATH"

handed() { wc -l <"$opened" 2>/dev/null || echo 0; }
wait_lines() {
    e2e_wait_eq "textos recibidos por el abridor" "$1" handed
}

e2e_start_app
e2e_wait_window "Huellario  2.0"
main=$E2E_WINDOW
e2e_key "$main" r
e2e_wait_window "AboutBox"
about=$E2E_WINDOW
geometry=$(xdotool getwindowgeometry "$about" | sed -n 's/.*Geometry: //p')
e2e_expect_eq "$geometry" "543x336" "tamaño de la ventana"

# The mail address, centred at the top 144.
e2e_click "$about" 271 150
wait_lines 1
e2e_expect_eq "$(sed -n 1p "$opened")" "mailto:contacto@huellario.example" "enlace de correo"

e2e_key "$about" r
wait_lines 2
signup=$(sed -n 2p "$opened")
case "$signup" in
mailto:contacto@huellario.example\?Subject=Registro%20Usuarios\&body=Cumplimente%20los%20siguientes%20campos.%0D%0A%0D%0A%20%20*) ;;
*) e2e_fail "correo de registro: «$signup»" ;;
esac
case "$signup" in
*conoci%C3%B3%20el%20programa%20:*Obligatorios.%0D%0A%0D%0ADeseo%20que%20me%20env%C3%ADen*programa%0D%0Ade%20Huellario.%20) ;;
*) e2e_fail "correo de registro: «$signup»" ;;
esac
[[ "$signup" =~ [[:space:]] ]] && e2e_fail "el correo de registro lleva blancos: «$signup»"

# With no opener left, the sign-up says why in a box of its own.
rm "$E2E_TMP/bin/xdg-open"
e2e_key "$about" r
e2e_wait_window "Huellario"
box=$E2E_WINDOW
e2e_key "$box" Return
e2e_wait_titles "AboutBox" "Huellario  2.0"

e2e_key "$about" c
e2e_wait_titles "Huellario  2.0"

# Shown again, Alt+F4 closes it too.
e2e_key "$main" r
e2e_wait_window "AboutBox"
e2e_close_window "$E2E_WINDOW"
e2e_wait_titles "Huellario  2.0"
e2e_close_window "$main"
e2e_wait_exit
e2e_expect_eq "$E2E_APP_STATUS" 0 "código de salida"
e2e_pass
