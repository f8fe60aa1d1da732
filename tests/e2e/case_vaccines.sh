#!/usr/bin/env bash
# The vaccination card of the second pet, by keyboard: C shows the health
# buttons, "Vacunaciones" opens the card, Down chooses the second pet, M opens
# its record (it has none yet), Space ticks the first vaccine, Tab goes to its
# date, Alt+A stores it; VACUNAS.db then holds that pet's one record. Ctrl+P
# writes its card to a PDF file through "Opciones de Salida", and the context
# menu's "Imprimir cartilla..." opens that window too. Salir and "Salir del
# Programa" end the program with exit code 0.
source "$(dirname "$0")/lib.sh"
e2e_begin vaccines
e2e_make_data
second_code=$(e2e_sql FICMAES.DB "select CODIGO from FICMAES order by CODIGO desc limit 1")
[ -n "$second_code" ] || e2e_fail "la instalación no dejó mascotas"
e2e_expect_eq "$(e2e_sql VACUNAS.db "select count(*) from VACUNAS")" 0 "vacunas al instalar"

# Day first, as in Spain (Qt reads the name; the system needs no such
# locale); the date typed below would be refused the other way round.
LC_TIME=es_ES.UTF-8 "$E2E_BIN/huellario" >"$E2E_TMP/app.log" 2>&1 &
E2E_APP_PID=$!
e2e_wait_window "Huellario  2.0"
main=$E2E_WINDOW

e2e_key "$main" c
# "Vacunaciones" has no accelerator letter: a click in its middle.
e2e_click "$main" 413 242
e2e_wait_window "  Registro Visita / Tratamiento"
list=$E2E_WINDOW
# The pet grid has the focus.
e2e_key "$list" Down
e2e_key "$list" m
e2e_wait_window "Modificación datos Vacunas."
record=$E2E_WINDOW
# The focus is on the first tick: Space ticks it, Tab goes to its date.
e2e_key "$record" space
e2e_key "$record" Tab
e2e_type "$record" "15032027"
e2e_key "$record" alt+a
e2e_wait_titles "  Registro Visita / Tratamiento" "Huellario  2.0"

row=$(e2e_sql VACUNAS.db "select CODIGO, MOQUILLO_TRIVALENTE, FECHA_1,
    coalesce(PARVOVIROSI_LEUCEMIA, 'nulo'), coalesce(POLIVALENTE_LEUCEMIA, 'nulo'), coalesce(RABIA, 'nulo'),
    coalesce(FECHA_2, 'nulo'), coalesce(FECHA_3, 'nulo'), coalesce(FECHA_4, 'nulo') from VACUNAS")
e2e_expect_eq "$row" "$second_code|1|2027-03-15|nulo|nulo|nulo|nulo|nulo|nulo" "cartilla guardada"

# Ctrl+P: the card of that pet through "Opciones de Salida", to a PDF file
# ((F)ichero, a click in its name box, (A)ceptar).
e2e_key "$list" ctrl+p
e2e_wait_window "Opciones de Salida"
setup=$E2E_WINDOW
e2e_key "$setup" alt+f
e2e_click "$setup" 180 152
e2e_key "$setup" ctrl+a
e2e_type "$setup" "$E2E_TMP/cartilla.pdf"
e2e_key "$setup" alt+a
e2e_wait_no_window "Opciones de Salida"
e2e_wait_eq "cartilla escrita" "yes" bash -c "[ -s '$E2E_TMP/cartilla.pdf' ] && echo yes"
card=$(pdftotext -layout "$E2E_TMP/cartilla.pdf" - 2>/dev/null)
for expected in "Cartilla de vacunación" "Datos de la mascota" "Últimas visitas" "15/03/2027" "Sí" \
    "No hay visitas anotadas para esta mascota."; do
    grep -qF "$expected" <<<"$card" || e2e_fail "la cartilla no dice «$expected»"
done
# The context menu offers the same; Cancelar closes its output window.
ground=$(e2e_pixel "$list" 640 310)
e2e_activate "$list"
xdotool mousemove --window "$list" --sync 600 300 click 3
# The menu opens down and right of the pointer, over that point.
e2e_wait_pixel_changes "$list" 640 310 "$ground"
xdotool key --delay 50 Down Return
e2e_wait_window "Opciones de Salida"
e2e_key "$E2E_WINDOW" Escape
e2e_wait_no_window "Opciones de Salida"

e2e_key "$list" s
e2e_wait_titles "Huellario  2.0"
e2e_key "$main" s
e2e_wait_exit
e2e_expect_eq "$E2E_APP_STATUS" 0 "código de salida"
e2e_pass
