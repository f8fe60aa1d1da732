#!/usr/bin/env bash
# A reminder added with the program itself on a fixed day is shown at the next
# start: the pending window comes up on its own over the main window, lists
# it, and the letter A closes it; INIAVIS.DB then holds exactly that reminder.
source "$(dirname "$0")/lib.sh"

# The program runs on 3 March 2027 through libfaketime; the monotonic clock
# stays real so the program's timers run as usual. The date typed below reads
# the same with day and month in either order.
FAKETIME_LIB=/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1
[ -r "$FAKETIME_LIB" ] || e2e_fail "falta libfaketime (paquete faketime)"
start_on_fixed_day() {
    LD_PRELOAD="$FAKETIME_LIB" FAKETIME="@2027-03-03 10:00:00" FAKETIME_DONT_FAKE_MONOTONIC=1 \
        "$E2E_BIN/huellario" >>"$E2E_TMP/app.log" 2>&1 &
    E2E_APP_PID=$!
}

e2e_begin reminders_due
e2e_make_data
e2e_expect_eq "$(e2e_sql AVISOS.DB "select count(*) from AVISOS")" 0 "avisos al instalar"

# First run: nothing is due, so only the main window shows.
start_on_fixed_day
e2e_wait_window "Huellario  2.0"
main=$E2E_WINDOW
e2e_settle # no pending reminders: nothing may appear
e2e_expect_eq "$(e2e_visible_titles)" "Huellario  2.0" "ventanas visibles sin avisos"

# V opens the reminders list; Alt+D adds a reminder.
e2e_key "$main" v
e2e_wait_window "  Registro de Avisos y Recordatorios."
list=$E2E_WINDOW
e2e_key "$list" alt+d
e2e_wait_window "Datos del Aviso."
record=$E2E_WINDOW
# The focus is in "Inicio del Aviso :"; Enter moves to the next box.
e2e_type "$record" "03032027"
e2e_key "$record" Return
e2e_type "$record" "03032027"
e2e_key "$record" Return
e2e_type "$record" "vacuna rabia"
e2e_key "$record" alt+a
e2e_wait_no_window "Datos del Aviso."
e2e_expect_eq "$(e2e_sql AVISOS.DB "select INICIO, FIN, CONCEPTO from AVISOS")" \
    "2027-03-03|2027-03-03|VACUNA RABIA" "aviso guardado"
e2e_key "$list" s
e2e_close_window "$main"
e2e_wait_exit
e2e_expect_eq "$E2E_APP_STATUS" 0 "código de salida de la primera ejecución"
e2e_expect_eq "$(e2e_sql INIAVIS.DB "select count(*) from INIAVIS")" 0 "avisos pendientes tras la primera ejecución"

# Second run: the pending window comes up by itself, before anything is typed.
start_on_fixed_day
e2e_wait_window "  Existen Avisos pendientes."
pending=$E2E_WINDOW
e2e_wait_window "Huellario  2.0"
main=$E2E_WINDOW
e2e_expect_eq "$(e2e_visible_titles | sort | tr '\n' ';')" "  Existen Avisos pendientes.;Huellario  2.0;" \
    "ventanas visibles con avisos"
e2e_expect_eq "$(e2e_sql INIAVIS.DB "select TIPO, INICIO, FINAL, NOMBRE_CONCEPTO, HORA_INI is null, HORA_FIN is null from INIAVIS")" \
    "AVISO|2027-03-03|2027-03-03|VACUNA RABIA|1|1" "aviso pendiente mientras se muestra"
e2e_screenshot "$E2E_ARTIFACTS/reminders_due-pending.png"
# The grid takes no typed letters: A alone is "&Aceptar".
e2e_key "$pending" a
e2e_wait_no_window "  Existen Avisos pendientes."
e2e_expect_eq "$(e2e_visible_titles)" "Huellario  2.0" "ventanas visibles tras cerrar los avisos"
e2e_expect_eq "$(e2e_sql INIAVIS.DB "select TIPO, INICIO, FINAL, NOMBRE_CONCEPTO from INIAVIS")" \
    "AVISO|2027-03-03|2027-03-03|VACUNA RABIA" "INIAVIS.DB tras cerrar"
e2e_close_window "$main"
e2e_wait_exit
e2e_expect_eq "$E2E_APP_STATUS" 0 "código de salida de la segunda ejecución"
e2e_pass
