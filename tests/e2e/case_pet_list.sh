#!/usr/bin/env bash
# Every pet of the house through the list: M then T show "Todas las
# Mascotas"; D adds a pet through the pet window with the next free code;
# L finds it by part of its name, so B asks about it and Alt+B removes it
# with its visit; Alt+F4 closes the list and the first pet button still
# opens; S ends the program with exit code 0.
source "$(dirname "$0")/lib.sh"
e2e_begin pet_list
e2e_make_data
pets=$(e2e_sql FICMAES.DB "select count(*) from FICMAES")
last=$(e2e_sql FICMAES.DB "select max(cast(CODIGO as integer)) from FICMAES")
next=$(printf '%07d' $((last + 1)))
e2e_start_app
e2e_wait_window "Huellario  2.0"
main=$E2E_WINDOW

e2e_key "$main" m
e2e_key "$main" t
e2e_wait_window "Todas las Mascotas"
list=$E2E_WINDOW
e2e_screenshot "$E2E_ARTIFACTS/pet_list-list.png"

# D: a new pet, typed in the pet window and stored with Alt+A.
e2e_key "$list" d
e2e_wait_window "Datos de la Mascota"
pet=$E2E_WINDOW
e2e_type "$pet" "nube"
e2e_key "$pet" Tab
e2e_type "$pet" "nube de agosto"
e2e_key "$pet" alt+a
e2e_wait_titles "Huellario  2.0" "Todas las Mascotas"
e2e_wait_eq "mascota añadida" "$next|NUBE|NUBE DE AGOSTO" \
    e2e_sql FICMAES.DB "select CODIGO, NOM_FAMI, NOM_OFICIA from FICMAES where NOM_FAMI = 'NUBE'"
e2e_expect_eq "$(e2e_sql FICMAES.DB "select count(*) from FICMAES")" "$((pets + 1))" "mascotas tras añadir"
e2e_sql SANIDAD.db "insert into SANIDAD (CODIGO, DESCRIPCIO) values ('$next', 'REVISION')"

# L: the search box, part of the name, Aceptar clicked with the mouse.
e2e_key "$list" l
e2e_wait_window "Buscar"
search=$E2E_WINDOW
e2e_type "$search" "ub"
e2e_click "$search" 131 91
e2e_wait_titles "Huellario  2.0" "Todas las Mascotas"

# B: the question names the pet and its visit; Alt+B answers Borrar.
e2e_key "$list" b
e2e_wait_window "Borrar Mascota"
question=$E2E_WINDOW
e2e_screenshot "$E2E_ARTIFACTS/pet_list-question.png"
e2e_key "$question" alt+b
e2e_wait_titles "Huellario  2.0" "Todas las Mascotas"
e2e_wait_eq "mascota borrada" "0" e2e_sql FICMAES.DB "select count(*) from FICMAES where CODIGO = '$next'"
e2e_expect_eq "$(e2e_sql SANIDAD.db "select count(*) from SANIDAD where CODIGO = '$next'")" "0" "visitas de la mascota borrada"
e2e_expect_eq "$(e2e_sql FICMAES.DB "select count(*) from FICMAES")" "$pets" "mascotas tras borrar"

# Alt+F4 closes the list.
e2e_close_window "$list"
e2e_wait_titles "Huellario  2.0"
e2e_key "$main" 1
e2e_wait_window "Datos de la Mascota"
e2e_key "$E2E_WINDOW" alt+c
e2e_wait_titles "Huellario  2.0"

e2e_key "$main" s
e2e_wait_exit
e2e_expect_eq "$E2E_APP_STATUS" 0 "código de salida"
e2e_pass
