#!/usr/bin/env bash
# The program starts on a fresh data folder, its main window appears alone,
# and closing it ends the program with exit code 0, tables untouched.
source "$(dirname "$0")/lib.sh"
e2e_begin startup
e2e_make_data
pets_before=$(e2e_sql FICMAES.DB "select count(*) from FICMAES")
e2e_start_app
e2e_wait_window "Huellario  2.0"
main=$E2E_WINDOW
e2e_expect_eq "$(e2e_visible_titles)" "Huellario  2.0" "ventanas visibles"
geometry=$(xdotool getwindowgeometry "$main" | sed -n 's/.*Geometry: //p')
e2e_expect_eq "$geometry" "742x390" "tamaño de la ventana principal"
e2e_close_window "$main"
# On a loaded machine the window manager may not have taken the window as
# its own yet and drops the first Alt+F4; ask once more while it still shows.
for _ in $(seq 50); do kill -0 "$E2E_APP_PID" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$E2E_APP_PID" 2>/dev/null && [ "$(e2e_visible_titles)" = "Huellario  2.0" ]; then
    e2e_close_window "$main"
fi
e2e_wait_exit
e2e_expect_eq "$E2E_APP_STATUS" 0 "código de salida"
e2e_expect_eq "$(e2e_sql FICMAES.DB "select count(*) from FICMAES")" "$pets_before" "fichas de mascotas"
e2e_expect_eq "$(ls "$E2E_DATA" | wc -l)" 9 "archivos de la carpeta de datos"
e2e_pass
