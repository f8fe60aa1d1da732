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

wait_lines() {
    local n=$1 waited=0
    until [ "$(wc -l <"$opened" 2>/dev/null || echo 0)" -ge "$n" ]; do
        ((waited++ > E2E_TIMEOUT * 10)) && e2e_fail "el abridor no recibió el texto $n"
        sleep 0.1
    done
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
waited=0
while xdotool search --onlyvisible --name '^Huellario$' >/dev/null 2>&1; do
    ((waited++ > E2E_TIMEOUT * 10)) && e2e_fail "el mensaje no se cerró"
    sleep 0.1
done
e2e_expect_eq "$(e2e_visible_titles | sort | tr '\n' '|')" "AboutBox|Huellario  2.0|" "ventanas tras el mensaje"

e2e_key "$about" c
waited=0
while [ "$(e2e_visible_titles)" != "Huellario  2.0" ]; do
    ((waited++ > E2E_TIMEOUT * 10)) && e2e_fail "C no cerró la ventana"
    sleep 0.1
done

# Shown again, Alt+F4 closes it too.
e2e_key "$main" r
e2e_wait_window "AboutBox"
e2e_close_window "$E2E_WINDOW"
waited=0
while [ "$(e2e_visible_titles)" != "Huellario  2.0" ]; do
    ((waited++ > E2E_TIMEOUT * 10)) && e2e_fail "Alt+F4 no cerró la ventana"
    sleep 0.1
done
e2e_close_window "$main"
e2e_wait_exit
e2e_expect_eq "$E2E_APP_STATUS" 0 "código de salida"
e2e_pass
