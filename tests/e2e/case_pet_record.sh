#!/usr/bin/env bash
# A pet entered through the keyboard alone: M shows the pet buttons, 1 opens
# the first pet, its names, sex, species and breed are typed and chosen (a
# refused sex first brings the box "Atención"), Alt+A stores them in
# FICMAES.DB; the breed list offered only the cats' breeds; M and 1 reopen the
# pet, Alt+C leaves it as stored, S ends the program with exit code 0.
source "$(dirname "$0")/lib.sh"
e2e_begin pet_record
e2e_make_data
first_code=$(e2e_sql FICMAES.DB "select CODIGO from FICMAES order by CODIGO limit 1")
[ -n "$first_code" ] || e2e_fail "la instalación no dejó mascotas"
e2e_start_app
e2e_wait_window "Huellario  2.0"
main=$E2E_WINDOW

# Letters alone work the main window's buttons.
e2e_key "$main" m
e2e_key "$main" 1
e2e_wait_window "Datos de la Mascota"
pet=$E2E_WINDOW
# The first showing starts in "Nombre Familiar :"; Tab moves row by row.
e2e_type "$pet" "luna"
e2e_key "$pet" Tab
e2e_type "$pet" "luna del norte"
e2e_key "$pet" Tab
# A sex other than H or M: the box "Atención" comes, Space closes it, and the
# focus is back in the emptied sex box.
e2e_type "$pet" "x"
e2e_key "$pet" Tab
e2e_wait_window "Atención"
e2e_key "$E2E_WINDOW" space
e2e_wait_no_window "Atención"
e2e_type "$pet" "h"
e2e_key "$pet" Tab
# Species list: typing picks the first entry that starts with it.
e2e_type "$pet" "g"
e2e_key "$pet" Tab
# Breed list, narrowed to the cats on entry: "bo" is BOBTAIL JAPONES there,
# whereas the whole list would give the dogs' BOBTAIL.
e2e_type "$pet" "bo"
e2e_key "$pet" alt+a
e2e_wait_titles "Huellario  2.0"

row=$(e2e_sql FICMAES.DB "select NOM_FAMI, NOM_OFICIA, SEXO, ESPECIE, RAZA from FICMAES where CODIGO = '$first_code'")
e2e_expect_eq "$row" "LUNA|LUNA DEL NORTE|H|GATOS|BOBTAIL JAPONES" "mascota guardada"

# M refills the captions from the table; 1 opens the same pet again, and
# Cancelar (Alt+C) leaves it as stored.
e2e_key "$main" m
e2e_key "$main" 1
e2e_wait_window "Datos de la Mascota"
pet=$E2E_WINDOW
e2e_key "$pet" alt+c
e2e_wait_titles "Huellario  2.0"
row_after=$(e2e_sql FICMAES.DB "select NOM_FAMI, NOM_OFICIA, SEXO, ESPECIE, RAZA from FICMAES where CODIGO = '$first_code'")
e2e_expect_eq "$row_after" "$row" "mascota tras cancelar"

e2e_key "$main" s
e2e_wait_exit
e2e_expect_eq "$E2E_APP_STATUS" 0 "código de salida"
e2e_pass
