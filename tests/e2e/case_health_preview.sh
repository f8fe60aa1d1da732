#!/usr/bin/env bash
# The health listing's preview, which the program loads with its printing
# module at the first listing: Lis(t)ar in the register, Aceptar in "Opciones
# de Salida" (preview is chosen at first), and "Previsualización Listado"
# opens maximised at page 1; Page Down shows page 2 and Ú(l)tima the last;
# the window manager's close (Alt+F4) shuts it and leaves the register open.
source "$(dirname "$0")/lib.sh"
e2e_begin health_preview
e2e_make_data
first_code=$(e2e_sql FICMAES.DB "select CODIGO from FICMAES order by CODIGO limit 1")
# Ninety visits: six pages.
e2e_sql SANIDAD.db "with recursive n(i) as (select 1 union all select i + 1 from n where i < 90)
    insert into SANIDAD (CODIGO, FECHA, DESCRIPCIO, CLINICA, VETERINARIO)
    select '$first_code', date('2024-01-01', '+' || i || ' days'), printf('VISITA %03d', i), 'ANIMALIA', 'DR. RUIZ' from n" >/dev/null
e2e_start_app
e2e_wait_window "Huellario  2.0"
main=$E2E_WINDOW

registro_ground=$(e2e_pixel "$main" 413 191)
e2e_key "$main" c
e2e_wait_pixel_changes "$main" 413 191 "$registro_ground"
e2e_click "$main" 413 191
e2e_wait_window " Registro Sanitario"
register=$E2E_WINDOW
e2e_key "$register" t
e2e_wait_window "Opciones de Salida"
e2e_key "$E2E_WINDOW" alt+a
e2e_wait_window "Previsualización Listado"
preview=$E2E_WINDOW

# Maximised: as wide as the screen.
width=$(xdotool getwindowgeometry --shell "$preview" | sed -n 's/^WIDTH=//p')
screen=$(xdotool getdisplaygeometry | cut -d' ' -f1)
((width >= screen - 20)) || e2e_fail "la previsualización mide $width de ancho en una pantalla de $screen"

# Page 1, as the toolbar says it in the window's font. (One digit is within
# the tolerance of that search, so the next pages are told by the screen.)
waited=0
until [ "$("$E2E_BIN/hlr-e2e-findtext" --font="Liberation Sans:11" "$preview" "Página 1 de 6")" != "-" ]; do
    ((waited++ > E2E_TIMEOUT * 10)) && { e2e_screenshot "$E2E_ARTIFACTS/health_preview-first.png"; e2e_fail "la barra no dice «Página 1 de 6»"; }
    sleep 0.1
done
# Waits until the screen differs from the shot $1, then keeps it there.
changes() {
    local before=$1 now=$E2E_TMP/now.png waited=0
    while :; do
        timeout 10 "$E2E_BIN/hlr-e2e-screenshot" "$now" >/dev/null 2>&1 || e2e_fail "no se pudo capturar la pantalla"
        cmp -s "$before" "$now" || break
        ((waited++ > E2E_TIMEOUT * 10)) && e2e_fail "$2"
        sleep 0.1
    done
    mv "$now" "$before"
}
shot=$E2E_TMP/shown.png
timeout 10 "$E2E_BIN/hlr-e2e-screenshot" "$shot" >/dev/null 2>&1 || e2e_fail "no se pudo capturar la pantalla"
e2e_key "$preview" Next
changes "$shot" "Av Pág no pasó a la página 2"
e2e_key "$preview" alt+l
changes "$shot" "Ú(l)tima no pasó a la última página"
cp "$shot" "$E2E_ARTIFACTS/health_preview-last.png"

e2e_key "$preview" alt+F4
e2e_wait_no_window "Previsualización Listado"
e2e_wait_window " Registro Sanitario"
e2e_key "$register" s
e2e_wait_no_window " Registro Sanitario"
e2e_key "$main" s
e2e_wait_exit
e2e_expect_eq "$E2E_APP_STATUS" 0 "código de salida"
e2e_pass
