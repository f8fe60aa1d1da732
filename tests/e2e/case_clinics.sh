#!/usr/bin/env bash
# The clinics list and record window worked as a person would: C and the
# "Clínicas / Veterinarios" button open the list, D adds a clinic typed box by
# box (capitals but in the mail and web boxes, the phones crosswise), Alt+A
# stores it in VETERIN.DB. The mail and web buttons hand the addresses to the
# desktop's opener (a stand-in xdg-open that writes down what it gets): the
# web address without a scheme as an http address, a path never. A record
# window closed with Alt+F4 leaves its change pending, and closing the list
# with Alt+F4 drops it.
source "$(dirname "$0")/lib.sh"
e2e_begin clinics
e2e_make_data

# The desktop's opener, as the program finds it on the PATH.
opened="$E2E_TMP/opened.txt"
mkdir -p "$E2E_TMP/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >> "%s"\n' "$opened" >"$E2E_TMP/bin/xdg-open"
chmod +x "$E2E_TMP/bin/xdg-open"
export PATH="$E2E_TMP/bin:$PATH"
touch "$opened"

# Screenshots along the way when E2E_SHOTS names a folder.
shot() { [ -n "${E2E_SHOTS:-}" ] && e2e_screenshot "$E2E_SHOTS/clinics-$1.png"; return 0; }

e2e_start_app
e2e_wait_window "Huellario  2.0"
main=$E2E_WINDOW
ground=$(e2e_pixel "$main" 410 293)
e2e_key "$main" c
e2e_wait_pixel_changes "$main" 410 293 "$ground"
e2e_click "$main" 410 293 # "Clínicas / Veterinarios"
e2e_wait_window "Tabla de Clínicas Veterinarias y Veterinarios."
list=$E2E_WINDOW
shot 1-empty-list

e2e_key "$list" d
e2e_wait_window " Datos de la Clínica Veterinaria"
record=$E2E_WINDOW
for text in "la huella" "ana ruiz" "calle mayor 1" "alcala" "28801" "madrid" "911111111" "922222222" \
    "600000000" "Ana.Ruiz@Clinica.es" "www.Clinica.es"; do
    e2e_type "$record" "$text"
    e2e_key "$record" Tab
done
e2e_type "$record" "abre sabados"
shot 2-new-clinic
e2e_key "$record" alt+a
e2e_wait_eq "clínica guardada" "LA HUELLA|ANA RUIZ|CALLE MAYOR 1|ALCALA|28801|MADRID|922222222|911111111|600000000|Ana.Ruiz@Clinica.es|www.Clinica.es|ABRE SABADOS" \
    e2e_rows VETERIN.DB "select CLINICA, VETERINARIO, DOMICILIO, LOCALIDAD, CODPOSTAL, PROVINCIA, TELF1, TELF2, MOVIL, EMAIL, WEB, OBSERV1 from VETERIN"
e2e_wait_titles "Huellario  2.0" "Tabla de Clínicas Veterinarias y Veterinarios."
shot 3-list-one-clinic

# Ver: only Cerrar; the two buttons hand the stored addresses over.
e2e_key "$list" v
e2e_wait_window " Datos de la Clínica Veterinaria"
record=$E2E_WINDOW
e2e_click "$record" 702 210 # "Enviar Correo"
e2e_click "$record" 702 239 # "Abrir dirección Web"
shot 4-viewed
handed() { wc -l <"$opened"; }
e2e_wait_eq "direcciones entregadas al escritorio" 2 handed
e2e_expect_eq "$(cat "$opened")" "mailto:Ana.Ruiz@Clinica.es
http://www.clinica.es" "direcciones entregadas"

# A path typed as the web address is never handed to the desktop.
e2e_key "$record" alt+c
e2e_wait_titles "Huellario  2.0" "Tabla de Clínicas Veterinarias y Veterinarios."
e2e_key "$list" m
e2e_wait_window " Datos de la Clínica Veterinaria"
record=$E2E_WINDOW
e2e_click "$record" 300 240 # the web box
e2e_key "$record" ctrl+a
e2e_type "$record" "/usr/bin/xterm"
e2e_key "$record" Tab
e2e_click "$record" 702 239
# The mail button after it: once its address arrives the click before it
# has been taken too, and handed nothing.
e2e_click "$record" 702 210
e2e_wait_eq "entregas tras una ruta y un correo" 3 handed
e2e_expect_eq "$(sed -n 3p "$opened")" "mailto:Ana.Ruiz@Clinica.es" "lo entregado tras la ruta"
shot 5-path-as-web

# Alt+F4 leaves the change pending; the list is still there, and closing it
# with Alt+F4 drops the change.
e2e_close_window "$record"
e2e_wait_titles "Huellario  2.0" "Tabla de Clínicas Veterinarias y Veterinarios."
shot 6-after-alt-f4
e2e_close_window "$list"
e2e_wait_titles "Huellario  2.0"
e2e_expect_eq "$(e2e_sql VETERIN.DB "select WEB from VETERIN")" "www.Clinica.es" "web tras cerrar la lista"

e2e_key "$main" s
e2e_wait_exit
e2e_expect_eq "$E2E_APP_STATUS" 0 "código de salida"
e2e_pass
