#!/usr/bin/env bash
# The album's file chooser shows its column titles in Spanish, as Qt's own
# catalogue gives them: the photograph window's camera button opens "Abrir",
# and its pixels hold "Nombre", "Tamaño", "Tipo" and "Última modificación" on
# one row, drawn as the desktop's font draws them, and none of Qt's English
# titles. The chooser's picture is kept in the artifacts folder. Escape
# closes it and the program ends as usual.
source "$(dirname "$0")/lib.sh"
e2e_begin album_chooser
e2e_make_data
# A file, so the size, type and date columns have something to show.
mkdir -p "$HOME/Pictures"
printf 'BM' >"$HOME/Pictures/gato.bmp"

# "yes" when the four Spanish titles show side by side on one row of the
# window (their inks' tops within a few pixels: accents reach higher).
titles_in_row() {
    "$E2E_BIN/hlr-e2e-findtext" "$1" "Nombre" "Tamaño" "Tipo" "Última modificación" | awk '
        { for (i = 1; i <= NF; i++) if ($i != "-") { split($i, xy, ","); found[NR] = found[NR] " " xy[2] } }
        END {
            n = split(found[1], first, " ")
            for (i = 1; i <= n; i++) {
                all = 1
                for (t = 2; t <= 4; t++) {
                    near = 0
                    m = split(found[t], other, " ")
                    for (j = 1; j <= m; j++) if (other[j] - first[i] <= 6 && first[i] - other[j] <= 6) near = 1
                    if (!near) all = 0
                }
                if (all) { print "yes"; exit }
            }
            print "no"
        }'
}

e2e_start_app
e2e_wait_window "Huellario  2.0"
main=$E2E_WINDOW
e2e_key "$main" a
e2e_wait_window "  Albúm de Fotografias."
album=$E2E_WINDOW
e2e_key "$album" d
e2e_wait_window "  Datos de la Fotografia."
photo=$E2E_WINDOW
# The camera button beside the location box takes no focus: a click.
e2e_click "$photo" 660 134
e2e_wait_window "Abrir"
chooser=$E2E_WINDOW
e2e_wait_managed "$chooser"
# Shown once its titles are drawn.
e2e_wait_eq "títulos en castellano" "yes" titles_in_row "$chooser"
e2e_screenshot "$E2E_ARTIFACTS/album_chooser-abrir.png"
english=$("$E2E_BIN/hlr-e2e-findtext" "$chooser" "Name" "Size" "Date Modified" | tr '\n' ' ')
e2e_expect_eq "$english" "- - - " "títulos en inglés a la vista"

e2e_key "$chooser" Escape
e2e_wait_no_window "Abrir"
e2e_key "$photo" alt+c
e2e_wait_titles "  Albúm de Fotografias." "Huellario  2.0"
e2e_key "$album" s
e2e_wait_titles "Huellario  2.0"
e2e_key "$main" s
e2e_wait_exit
e2e_expect_eq "$E2E_APP_STATUS" 0 "código de salida"
e2e_pass
