#!/usr/bin/env bash
# The windows as openbox sees them. The reminders list is a dialog transient
# for the main window that asks for neither minimise nor maximise; minimised
# anyway, activating the main window brings it back. A reminder window closed
# with Alt+F4 after "Aña&dir" stores nothing more while the list stays open, and
# leaving the list drops it. A click on a button the pointer rests on when a
# window closes over it works without a move first.
source "$(dirname "$0")/lib.sh"
e2e_begin window_manager
e2e_make_data
e2e_start_app
e2e_wait_window "Huellario  2.0"
main=$E2E_WINDOW
e2e_wait_managed "$main"

e2e_key "$main" v
e2e_wait_window "  Registro de Avisos y Recordatorios."
list=$E2E_WINDOW
types=$(xprop -id "$list" _NET_WM_WINDOW_TYPE)
[[ "$types" == *"= _NET_WM_WINDOW_TYPE_DIALOG"* ]] || e2e_fail "tipo de la lista: $types"
transient=$(xprop -id "$list" WM_TRANSIENT_FOR | grep -o '0x[0-9a-f]*')
e2e_expect_eq "$((transient))" "$((main))" "ventana de la que depende la lista"
# _MOTIF_WM_HINTS: flags, functions, decorations; both parts present, neither
# with minimise (functions 0x08, decorations 0x20) nor maximise (0x10, 0x40).
read -r flags functions decorations _ < <(xprop -id "$list" _MOTIF_WM_HINTS | sed 's/.*= //; s/,/ /g')
[ -n "$flags" ] || e2e_fail "la lista no lleva _MOTIF_WM_HINTS"
((flags & 3)) && ((flags & 1)) && ((flags & 2)) || e2e_fail "_MOTIF_WM_HINTS sin funciones o decoraciones: $flags"
((functions & 0x18)) && e2e_fail "funciones con minimizar o maximizar: $functions"
((decorations & 0x60)) && e2e_fail "decoraciones con minimizar o maximizar: $decorations"

# Minimised anyway (openbox takes the main window with it): activating the
# main window brings the list back, and the list answers its letters.
xdotool windowminimize --sync "$list" || e2e_fail "no se pudo minimizar la lista"
e2e_wait_managed "$list" Iconic
timeout "$E2E_TIMEOUT" xdotool windowactivate "$main" >/dev/null 2>&1
e2e_wait_window "  Registro de Avisos y Recordatorios."
list=$E2E_WINDOW

# One reminder stored with "&Aceptar", then Añadir, a description, Alt+F4:
# nothing more is stored while the list is open.
e2e_key "$list" alt+d
e2e_wait_window "Datos del Aviso."
e2e_key "$E2E_WINDOW" Tab Tab
e2e_type "$E2E_WINDOW" "guardado"
e2e_key "$E2E_WINDOW" alt+a
e2e_wait_eq "avisos tras Aceptar" 1 e2e_rows AVISOS.DB "select count(*) from AVISOS"
e2e_wait_titles "  Registro de Avisos y Recordatorios." "Huellario  2.0"
e2e_key "$list" alt+d
e2e_wait_window "Datos del Aviso."
record=$E2E_WINDOW
e2e_key "$record" Tab Tab
e2e_type "$record" "cerrado por el gestor"
e2e_close_window "$record"
e2e_wait_titles "  Registro de Avisos y Recordatorios." "Huellario  2.0"
e2e_expect_eq "$(e2e_sql AVISOS.DB "select CONCEPTO from AVISOS")" "GUARDADO" "avisos con la lista abierta"

# The pointer rests on "Aña&dir" of the list, which covers "&Salir del
# Programa" of the main window (both client areas are centred). S closes the
# list; a click without moving the pointer then ends the program.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove --sync $((X + 70)) $((Y + 352))
e2e_key "$list" s
e2e_wait_titles "Huellario  2.0"
e2e_expect_eq "$(e2e_sql AVISOS.DB "select CONCEPTO from AVISOS")" "GUARDADO" "avisos tras salir de la lista"
xdotool click 1
e2e_wait_exit
e2e_expect_eq "$E2E_APP_STATUS" 0 "código de salida"
e2e_pass
