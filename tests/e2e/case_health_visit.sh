#!/usr/bin/env bash
# A clinic added through the clinics window, then a health visit entered
# through the keyboard: the second pet chosen in the
# register's pet selector, Añadir (D), the date typed through the template,
# the clinic chosen in its lookup list by typing the beginning of its name,
# Alt+A; SANIDAD.db then holds the pet's code and the clinic's veterinarian.
# A second visit's window closed with Alt+F4 leaves the new visit pending on
# the same pet, so Modificar (M) and Alt+A store it there.
source "$(dirname "$0")/lib.sh"
e2e_begin health_visit
e2e_make_data
# One clinic is there already; the other is added through its window below.
e2e_sql VETERIN.DB "insert into VETERIN (CLINICA, VETERINARIO) values ('ANIMALIA', 'DR. RUIZ')"
second_code=$(e2e_sql FICMAES.DB "select CODIGO from FICMAES order by CODIGO desc limit 1")
[ -n "$second_code" ] || e2e_fail "la instalación no dejó mascotas"
e2e_start_app
e2e_wait_window "Huellario  2.0"
main=$E2E_WINDOW

# C shows the health buttons; "Clínicas / Veterinarios" has no letter.
ground=$(e2e_pixel "$main" 410 293)
registro_ground=$(e2e_pixel "$main" 413 191) # where "Registro Sanitario" shows
e2e_key "$main" c
e2e_wait_pixel_changes "$main" 410 293 "$ground"
e2e_click "$main" 410 293
e2e_wait_window "Tabla de Clínicas Veterinarias y Veterinarios."
clinics=$E2E_WINDOW
e2e_key "$clinics" d
e2e_wait_window " Datos de la Clínica Veterinaria"
e2e_type "$E2E_WINDOW" "clinica del sol"
e2e_key "$E2E_WINDOW" Tab
e2e_type "$E2E_WINDOW" "dra. perez"
e2e_key "$E2E_WINDOW" alt+a
e2e_wait_eq "clínicas guardadas" "$(printf 'ANIMALIA|DR. RUIZ\nCLINICA DEL SOL|DRA. PEREZ')" \
    e2e_rows VETERIN.DB "select CLINICA || '|' || VETERINARIO from VETERIN order by CLINICA"
e2e_wait_titles "Huellario  2.0" "Tabla de Clínicas Veterinarias y Veterinarios."
e2e_key "$clinics" s
e2e_wait_titles "Huellario  2.0"

# "Registro Sanitario" has no letter either.
e2e_key "$main" c
e2e_wait_pixel_changes "$main" 413 191 "$registro_ground"
e2e_click "$main" 413 191
e2e_wait_window " Registro Sanitario"
register=$E2E_WINDOW

# The register starts in the pet selector: Down chooses the second pet.
e2e_key "$register" Down
e2e_key "$register" d
e2e_wait_window "  Registro Visita / Tratamiento"
visit=$E2E_WINDOW
# Day and month alike, whichever order the desktop's date format takes.
e2e_type "$visit" "03032024"
e2e_key "$visit" Tab
e2e_type "$visit" "vacuna anual"
e2e_key "$visit" Tab
e2e_type "$visit" "cl"
e2e_key "$visit" alt+a
e2e_wait_titles " Registro Sanitario" "Huellario  2.0"
row=$(e2e_sql SANIDAD.db "select CODIGO, FECHA, DESCRIPCIO, CLINICA, VETERINARIO from SANIDAD")
e2e_expect_eq "$row" "$second_code|2024-03-03|VACUNA ANUAL|CLINICA DEL SOL|DRA. PEREZ" "visita guardada"

# A second visit, its window closed by the window manager: the new visit
# stays pending on the same pet, and Modificar opens it again.
e2e_key "$register" d
e2e_wait_window "  Registro Visita / Tratamiento"
visit=$E2E_WINDOW
# The window kept its focus in the clinic list: a click goes back to the date.
e2e_click "$visit" 143 60
e2e_key "$visit" Home
e2e_type "$visit" "04042024"
e2e_key "$visit" Tab
e2e_type "$visit" "revision"
e2e_key "$visit" Tab
e2e_type "$visit" "an"
e2e_close_window "$visit"
e2e_wait_titles " Registro Sanitario" "Huellario  2.0"
e2e_expect_eq "$(e2e_sql SANIDAD.db "select count(*) from SANIDAD")" "1" "nada guardado tras Alt+F4"
e2e_key "$register" m
e2e_wait_window "  Registro Visita / Tratamiento"
e2e_key "$E2E_WINDOW" alt+a
e2e_wait_titles " Registro Sanitario" "Huellario  2.0"
e2e_wait_eq "visitas guardadas" "$(printf '%s\n' "$second_code|2024-03-03|VACUNA ANUAL|CLINICA DEL SOL|DRA. PEREZ" "$second_code|2024-04-04|REVISION|ANIMALIA|DR. RUIZ")" \
    e2e_rows SANIDAD.db "select CODIGO, FECHA, DESCRIPCIO, CLINICA, VETERINARIO from SANIDAD order by CONTADOR"

e2e_key "$register" s
e2e_wait_titles "Huellario  2.0"
e2e_key "$main" s
e2e_wait_exit
e2e_expect_eq "$E2E_APP_STATUS" 0 "código de salida"
e2e_pass
