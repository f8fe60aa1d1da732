#!/usr/bin/env bash
# The photo window closed by the window manager (Alt+F4) acts as Cancelar, in
# each state a user can leave it in: a new photograph whose picture was picked
# with the chooser (by the mouse, then the keys), a changed description, and a
# new photograph whose damaged icon Aceptar refused. Each time the album shows
# the stored photograph highlighted, no message comes, and neither a later
# click in the list nor Salir stores what was left.
source "$(dirname "$0")/lib.sh"
e2e_begin album_close
e2e_make_data

le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
fotos="$E2E_TMP/Fotos"
mkdir -p "$fotos"
# A 60 x 40 red bitmap, and a JPEG of the screen (Qt writes it).
{
    printf "BM$(le32 7254)$(le32 0)$(le32 54)"
    printf "$(le32 40)$(le32 60)$(le32 40)\\x01\\x00\\x18\\x00$(le32 0)$(le32 7200)$(le32 2835)$(le32 2835)$(le32 0)$(le32 0)"
    printf '\x00\x00\xff%.0s' $(seq 2400)
} >"$fotos/gato.bmp"
timeout 10 "$E2E_BIN/hlr-e2e-screenshot" "$fotos/small.jpg" >/dev/null 2>&1 || e2e_fail "no se pudo escribir small.jpg"
printf '\0\0\1\0\1\0 no es un icono' >"$fotos/roto.ico"

# Places in the photo window's client area, and the album's first photograph row.
desc_box=(300 85)
camera=(660 134)
grid_row=(300 133)

stored() { e2e_sql ALBUM.DB "select DESCRIPCION || '|' || CARPETA from ALBUM order by CONTADOR"; }

# Waits until the photo window is gone and only the album and the main window are up.
expect_album_alone() {
    e2e_log "$1"
    e2e_wait_titles "  Albúm de Fotografias." "Huellario  2.0"
}

# Picks a file of the pictures' folder with the chooser: the camera button by
# the mouse, the file's whole path typed.
choose() {
    e2e_click "$photo" "${camera[@]}"
    e2e_wait_window "Abrir"
    local chooser=$E2E_WINDOW
    e2e_type "$chooser" "$fotos/$1"
    e2e_key "$chooser" Return
    e2e_wait_no_window "Abrir"
}

e2e_start_app
e2e_wait_window "Huellario  2.0"
main=$E2E_WINDOW
e2e_key "$main" a
e2e_wait_window "  Albúm de Fotografias."
album=$E2E_WINDOW

# One stored photograph to come back to.
e2e_key "$album" d
e2e_wait_window "  Datos de la Fotografia."
photo=$E2E_WINDOW
e2e_click "$photo" "${desc_box[@]}"
e2e_type "$photo" "gato"
choose gato.bmp
e2e_key "$photo" alt+a
expect_album_alone "tras Aceptar"
first="GATO|$fotos/gato.bmp"
e2e_expect_eq "$(stored)" "$first" "fotografía guardada"
highlight=$("$E2E_BIN/hlr-e2e-pixel" "$album" "${grid_row[@]}")

# 1. A new photograph with small.jpg picked, left with Alt+F4.
e2e_key "$album" d
e2e_wait_window "  Datos de la Fotografia."
photo=$E2E_WINDOW
choose small.jpg
e2e_close_window "$photo"
expect_album_alone "Alt+F4 sobre una fotografía nueva"
e2e_wait_eq "fila resaltada tras Alt+F4" "$highlight" e2e_pixel "$album" "${grid_row[@]}"
e2e_click "$album" "${grid_row[@]}"
e2e_settle
e2e_expect_eq "$(stored)" "$first" "tras Alt+F4 y un clic en la lista"

# 2. The description changed, left with Alt+F4.
e2e_key "$album" m
e2e_wait_window "  Datos de la Fotografia."
photo=$E2E_WINDOW
e2e_click "$photo" "${desc_box[@]}"
e2e_type "$photo" " negro"
e2e_close_window "$photo"
expect_album_alone "Alt+F4 tras cambiar la descripción"
e2e_click "$album" "${grid_row[@]}"
e2e_click "$album" 100 40
e2e_settle
e2e_expect_eq "$(stored)" "$first" "tras Alt+F4 y un cambio de mascota"

# 3. A damaged icon: Aceptar shows why once and keeps the window; Alt+F4 then
# closes it without a word, and Salir says nothing either.
e2e_key "$album" d
e2e_wait_window "  Datos de la Fotografia."
photo=$E2E_WINDOW
e2e_click "$photo" "${desc_box[@]}"
e2e_type "$photo" "roto"
choose roto.ico
e2e_wait_window "Huellario"
e2e_key "$E2E_WINDOW" Return
e2e_wait_no_window "Huellario"
e2e_key "$photo" alt+a
e2e_wait_window "Huellario"
e2e_key "$E2E_WINDOW" Return
e2e_wait_no_window "Huellario"
e2e_expect_eq "$(e2e_visible_titles | grep -c 'Datos de la Fotografia')" 1 "ventana de la fotografía tras Aceptar"
e2e_expect_eq "$(stored)" "$first" "tras Aceptar con un icono dañado"
e2e_close_window "$photo"
expect_album_alone "Alt+F4 con un icono dañado"
e2e_key "$album" s
e2e_wait_titles "Huellario  2.0"
e2e_expect_eq "$(stored)" "$first" "tras Salir"

e2e_key "$main" s
e2e_wait_exit
e2e_expect_eq "$E2E_APP_STATUS" 0 "código de salida"
e2e_pass
