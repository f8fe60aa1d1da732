#!/usr/bin/env bash
# A photograph added through the keyboard alone: A opens the album, D adds a
# photograph whose location is typed in capitals and small letters, Alt+A
# stores it in ALBUM.DB exactly as typed and the album shows its picture at
# its own size in the middle of the picture area; J stretches it over the
# whole area and stores the choice; S leaves the album and then the program.
source "$(dirname "$0")/lib.sh"
e2e_begin album
e2e_make_data

# A 60 x 40 bitmap, red but for its bottom row, which is white (a bitmap's
# bottom-left colour is see-through in the album).
le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
mkdir -p "$E2E_TMP/Fotos"
picture="$E2E_TMP/Fotos/MiGato Rojo.bmp"
{
    printf "BM$(le32 7254)$(le32 0)$(le32 54)"
    printf "$(le32 40)$(le32 60)$(le32 40)\\x01\\x00\\x18\\x00$(le32 0)$(le32 7200)$(le32 2835)$(le32 2835)$(le32 0)$(le32 0)"
    printf '\xff\xff\xff%.0s' $(seq 60)
    printf '\x00\x00\xff%.0s' $(seq 2340)
} >"$picture"
[ "$(stat -c %s "$picture")" == 7254 ] || e2e_fail "el mapa de bits de prueba mide $(stat -c %s "$picture")"

e2e_start_app
e2e_wait_window "Huellario  2.0"
main=$E2E_WINDOW
e2e_key "$main" a
e2e_wait_window "  Albúm de Fotografias."
album=$E2E_WINDOW
e2e_key "$album" d
e2e_wait_window "  Datos de la Fotografia."
photo=$E2E_WINDOW
e2e_type "$photo" "gato en casa"
e2e_key "$photo" Tab
e2e_type "$photo" "$picture"
e2e_key "$photo" alt+a
e2e_wait_titles "  Albúm de Fotografias." "Huellario  2.0"

row=$(e2e_sql ALBUM.DB "select CARPETA, DESCRIPCION, coalesce(ADJUST, '') from ALBUM")
e2e_expect_eq "$row" "$picture|GATO EN CASA|" "fotografía guardada"
code=$(e2e_sql ALBUM.DB "select CODIGO from ALBUM")
first_code=$(e2e_sql FICMAES.DB "select CODIGO from FICMAES order by CODIGO limit 1")
e2e_expect_eq "$code" "$first_code" "mascota de la fotografía"

# The picture area is at (360, 12), 369 x 297: its middle is red, its corner
# shows the window's white ground.
e2e_expect_eq "$("$E2E_BIN/hlr-e2e-pixel" "$album" 544 160)" "#ff0000" "centro de la imagen"
e2e_expect_eq "$("$E2E_BIN/hlr-e2e-pixel" "$album" 364 16)" "#ffffff" "esquina del recuadro"

# J alone (the focus is on a grid) stretches it over the whole area.
e2e_key "$album" j
e2e_wait_eq "esquina de la imagen ajustada" "#ff0000" e2e_pixel "$album" 364 16
e2e_wait_eq "ajuste guardado" "1" e2e_rows ALBUM.DB "select ADJUST from ALBUM"
[ -f "$picture" ] || e2e_fail "el archivo de la imagen ya no está"

e2e_key "$album" s
e2e_wait_titles "Huellario  2.0"
e2e_key "$main" s
e2e_wait_exit
e2e_expect_eq "$E2E_APP_STATUS" 0 "código de salida"
e2e_pass
