#!/usr/bin/env bash
# A table file replaced by garbage: every step that opens it shows the error
# box and the program goes on; the file is never written over.
source "$(dirname "$0")/lib.sh"
e2e_begin damaged_table
e2e_make_data
head -c 4096 /dev/urandom >"$E2E_DATA/AVISOS.DB"
before=$(md5sum <"$E2E_DATA/AVISOS.DB")
e2e_start_app
# The start-up scan reads the reminders: its error comes over the main window.
e2e_wait_window "Huellario"
e2e_key "$E2E_WINDOW" Return
e2e_wait_window "Huellario  2.0"
main=$E2E_WINDOW
# The reminders list opens the same table: the error again, then the list.
e2e_key "$main" v
e2e_wait_window "Huellario"
e2e_key "$E2E_WINDOW" Return
e2e_wait_window "  Registro de Avisos y Recordatorios."
e2e_key "$E2E_WINDOW" s
e2e_wait_titles "Huellario  2.0"
# The rest of the program still works: the pets table is read as usual.
e2e_key "$main" m 1
e2e_wait_window "Datos de la Mascota"
e2e_key "$E2E_WINDOW" alt+c
e2e_wait_titles "Huellario  2.0"
e2e_key "$main" s
e2e_wait_exit
e2e_expect_eq "$E2E_APP_STATUS" 0 "código de salida"
e2e_expect_eq "$(md5sum <"$E2E_DATA/AVISOS.DB")" "$before" "AVISOS.DB sin tocar"
e2e_pass
