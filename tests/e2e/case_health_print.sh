#!/usr/bin/env bash
# The health listing printed through a real print server: a cupsd of the
# case's own with one PDF queue (cups-pdf), the default. Lis(t)ar in the
# register, then in "Opciones de Salida" Imp(r)esora, (P)áginas 2 to 3 and
# (C)opias 2, Aceptar: the queue's PDF holds pages 2 and 3 of the listing,
# and the server counted the job, titled "Listado", as those two pages twice.
# Then the same pet's vaccination card, Ctrl+P in its window, one page.
# Each printout is one print_job call below with its own checks of the PDF.
source "$(dirname "$0")/lib.sh"
e2e_begin health_print
e2e_make_data
e2e_cups_start
first_code=$(e2e_sql FICMAES.DB "select CODIGO from FICMAES order by CODIGO limit 1")
# The pets are installed without names: the listing's header names this one.
pet=TOBY
e2e_sql FICMAES.DB "update FICMAES set NOM_FAMI = '$pet' where CODIGO = '$first_code'" >/dev/null
# Enough visits for four pages or more.
e2e_sql SANIDAD.db "with recursive n(i) as (select 1 union all select i + 1 from n where i < 90)
    insert into SANIDAD (CODIGO, FECHA, DESCRIPCIO, CLINICA, VETERINARIO)
    select '$first_code', date('2024-01-01', '+' || i || ' days'), printf('VISITA %03d', i), 'ANIMALIA', 'DR. RUIZ' from n" >/dev/null
e2e_start_app
e2e_wait_window "Huellario  2.0"
main=$E2E_WINDOW

# Prints from the output window now showing: pages FROM to TO, COPIES
# copies; then waits for the queue's PDF number NUMBER, whose text, page by
# page, goes to $E2E_TMP/printed.txt.
#   print_job FROM TO COPIES NUMBER
print_job() {
    local from=$1 to=$2 copies=$3 number=$4 setup
    e2e_wait_window "Opciones de Salida"
    setup=$E2E_WINDOW
    e2e_key "$setup" alt+r
    # Each page box takes a click: reached by Tab under xdotool, the numbers
    # typed did not stay in them.
    e2e_key "$setup" alt+p
    e2e_click "$setup" 463 100
    e2e_key "$setup" ctrl+a
    e2e_type "$setup" "$from"
    e2e_click "$setup" 463 129
    e2e_key "$setup" ctrl+a
    e2e_type "$setup" "$to"
    e2e_key "$setup" alt+c ctrl+a
    e2e_type "$setup" "$copies"
    e2e_key "$setup" alt+a
    e2e_wait_no_window "Opciones de Salida"
    e2e_cups_wait_pdfs "$number"
    pdftotext -layout "$E2E_PDF" "$E2E_TMP/printed.txt" || e2e_fail "pdftotext no lee $E2E_PDF"
}

# The health listing of the first pet.
registro_ground=$(e2e_pixel "$main" 413 191)
e2e_key "$main" c
e2e_wait_pixel_changes "$main" 413 191 "$registro_ground"
e2e_click "$main" 413 191
e2e_wait_window " Registro Sanitario"
register=$E2E_WINDOW
e2e_key "$register" t
print_job 2 3 2 1
# After printing, the register's buttons are X windows of their own, named
# "Huellario" like the program: the status window's going is what counts.
e2e_wait_no_window "Estatus Listado"

# "Intercalar" is ticked: the copies come one after the other, whole.
pages=$(pdfinfo "$E2E_PDF" | awk '/^Pages:/ { print $2 }')
e2e_expect_eq "$pages" 4 "páginas del PDF"
# pdftotext ends each page with a form feed: page by page, the footers.
footers=$(awk 'BEGIN { RS = "\f" } NF { if (match($0, /Página [0-9]+ de [0-9]+/)) print substr($0, RSTART, RLENGTH) }' "$E2E_TMP/printed.txt")
total=$(sed -n '1s/.* de //p' <<<"$footers")
[ "${total:-0}" -ge 4 ] || e2e_fail "el listado tiene ${total:-0} páginas; la prueba necesita cuatro o más"
e2e_expect_eq "$footers" "$(printf 'Página %s de '"$total"'\n' 2 3 2 3 | head -c -1)" "páginas impresas"
named=$(awk -v pet="$pet" 'BEGIN { RS = "\f" } NF && index($0, pet) { n++ } END { print n + 0 }' "$E2E_TMP/printed.txt")
e2e_expect_eq "$named" 4 "páginas que nombran a la mascota"
grep -q 'VISITA 001' "$E2E_TMP/printed.txt" && e2e_fail "se imprimió la primera visita, que está en la página 1"
# The server's page log: one job, titled "Listado", of two pages twice.
job=$(awk '$6 == "total" { print $3 }' "$E2E_CUPS_DIR/log/page_log" | tail -n1)
e2e_expect_eq "$(e2e_cups_job_pages "$job")" 4 "páginas por copias del trabajo"
e2e_expect_eq "$(awk -v job="$job" '$3 == job && $6 == "total" { print $10 }' "$E2E_CUPS_DIR/log/page_log")" "Listado" "título del trabajo"

e2e_key "$register" s
e2e_wait_no_window " Registro Sanitario"

# The same pet's vaccination card, one page, from its window's Ctrl+P.
e2e_key "$main" c
e2e_click "$main" 413 242
e2e_wait_window "  Registro Visita / Tratamiento"
cards=$E2E_WINDOW
e2e_key "$cards" ctrl+p
print_job 1 1 1 2
e2e_wait_no_window "Estatus Listado"
e2e_expect_eq "$(pdfinfo "$E2E_PDF" | awk '/^Pages:/ { print $2 }')" 1 "páginas de la cartilla"
for text in "Cartilla de vacunación" "Nombre familiar:" "$pet"; do
    grep -qF "$text" "$E2E_TMP/printed.txt" || e2e_fail "la cartilla impresa no dice «$text»"
done
e2e_key "$cards" s
e2e_wait_no_window "  Registro Visita / Tratamiento"
e2e_key "$main" s
e2e_wait_exit
e2e_expect_eq "$E2E_APP_STATUS" 0 "código de salida"
e2e_pass
