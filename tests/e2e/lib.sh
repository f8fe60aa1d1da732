#!/usr/bin/env bash
# End-to-end helpers: a private X display with openbox, a scratch data folder
# with its own alias file, the real huellario, xdotool to drive it, sqlite3 to
# read the tables back, and a screenshot when a case fails.
#
# A case script:
#   source "$(dirname "$0")/lib.sh"
#   e2e_begin "nombre"          # display, window manager, scratch HOME
#   e2e_make_data               # data folder + alias file (HLR_ALIASES)
#   e2e_start_app               # starts huellario in the background
#   e2e_wait_window "Huellario  2.0"; main=$E2E_WINDOW
#   ...
#   e2e_pass
# Every wait has a timeout; any failure takes a screenshot and ends the case.

set -uo pipefail

E2E_BIN=${HLR_BIN_DIR:?HLR_BIN_DIR must name the folder holding huellario}
E2E_ARTIFACTS=${HLR_E2E_ARTIFACTS:-${TMPDIR:-/tmp}/huellario-e2e}
E2E_TIMEOUT=${E2E_TIMEOUT:-20}
E2E_NAME=case
E2E_TMP=""
E2E_XVFB_PID=""
E2E_WM_PID=""
E2E_APP_PID=""
E2E_CUPS_PID=""
E2E_CUPS_DIR=""
E2E_APP_STATUS=""
E2E_WINDOW=""
E2E_MAIN_PID=$BASHPID
trap 'e2e_fail "detenido por un fallo anterior"' USR1

e2e_log() { echo "[e2e:$E2E_NAME] $*" >&2; }

# Stops what this case started, by process id only.
e2e_cleanup() {
    local pid
    for pid in "$E2E_APP_PID" "$E2E_CUPS_PID" "$E2E_WM_PID" "$E2E_XVFB_PID"; do
        if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
            kill "$pid" 2>/dev/null
            for _ in 1 2 3 4 5 6 7 8 9 10; do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
            kill -9 "$pid" 2>/dev/null
        fi
    done
    [ -n "$E2E_TMP" ] && rm -rf "$E2E_TMP"
    [ -n "$E2E_CUPS_DIR" ] && rm -rf "$E2E_CUPS_DIR"
    return 0
}

e2e_screenshot() {
    local file=$1
    mkdir -p "$(dirname "$file")"
    timeout 10 "$E2E_BIN/hlr-e2e-screenshot" "$file" >/dev/null 2>&1 && e2e_log "captura: $file"
}

e2e_fail() {
    e2e_log "FALLO: $*"
    # Called inside $(...): stop the case itself, which takes the screenshot.
    if [ "$BASHPID" != "$E2E_MAIN_PID" ]; then
        kill -USR1 "$E2E_MAIN_PID"
        exit 1
    fi
    [ -n "${DISPLAY:-}" ] && e2e_screenshot "$E2E_ARTIFACTS/$E2E_NAME.png"
    if [ -n "${E2E_APP_PID:-}" ]; then
        if kill -0 "$E2E_APP_PID" 2>/dev/null; then
            e2e_log "el programa sigue en marcha; ventanas: $(xdotool search --name . 2>/dev/null | while read -r w; do printf '«%s» %s %s; ' "$(xdotool getwindowname "$w" 2>/dev/null)" "$(xwininfo -id "$w" 2>/dev/null | grep -o 'Map State: .*')" "$(xprop -id "$w" WM_STATE 2>/dev/null | grep -o 'window state: .*')"; done)"
            e2e_log "gestor de ventanas: $(kill -0 "${E2E_WM_PID:-0}" 2>/dev/null && echo vivo || echo muerto); $(cat "$E2E_TMP/openbox.log" 2>/dev/null)"
        else
            wait "$E2E_APP_PID" 2>/dev/null
            e2e_log "el programa terminó con código $?"
        fi
    fi
    [ -n "$E2E_TMP" ] && [ -f "$E2E_TMP/app.log" ] && { e2e_log "salida del programa:"; cat "$E2E_TMP/app.log" >&2; }
    [ -n "$E2E_CUPS_DIR" ] && [ -f "$E2E_CUPS_DIR/log/error_log" ] && { e2e_log "registro de CUPS:"; tail -n 30 "$E2E_CUPS_DIR/log/error_log" >&2; }
    exit 1
}

# A case that cannot run here (not root, no mount namespace) says why and
# ends with the code ctest reports as skipped.
e2e_skip() {
    e2e_log "OMITIDO: $*"
    exit 77
}

e2e_pass() {
    e2e_log "OK"
    exit 0
}

# Starts Xvfb on a free display number of its own choosing, then openbox.
e2e_begin() {
    E2E_NAME=$1
    E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/hlr-e2e-$E2E_NAME.XXXXXX")
    trap e2e_cleanup EXIT
    export HOME="$E2E_TMP/home" XDG_CONFIG_HOME="$E2E_TMP/home/.config" XDG_DATA_HOME="$E2E_TMP/home/.local/share"
    export XDG_RUNTIME_DIR="$E2E_TMP/run"
    mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    unset WAYLAND_DISPLAY
    export QT_QPA_PLATFORM=xcb

    local fdfile="$E2E_TMP/display"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fdfile" >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    local waited=0
    while [ ! -s "$fdfile" ]; do
        kill -0 "$E2E_XVFB_PID" 2>/dev/null || e2e_fail "Xvfb no arrancó: $(cat "$E2E_TMP/xvfb.log")"
        ((waited++ > 100)) && e2e_fail "Xvfb no dio número de pantalla"
        sleep 0.1
    done
    export DISPLAY=":$(head -n1 "$fdfile" | tr -d '[:space:]')"
    openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
    E2E_WM_PID=$!
    # The window manager is ready once it owns the screen's selection.
    waited=0
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
        ((waited++ > 100)) && e2e_fail "openbox no arrancó"
        sleep 0.1
    done
    e2e_log "pantalla $DISPLAY"
}

# A data folder made by the installation tool and an alias file for it.
e2e_make_data() {
    E2E_DATA="$E2E_TMP/datos"
    export HLR_ALIASES="$E2E_TMP/aliases.conf"
    timeout "$E2E_TIMEOUT" "$E2E_BIN/huellario-setup" --dir "$E2E_DATA" --aliases "$HLR_ALIASES" \
        >"$E2E_TMP/setup.log" 2>&1 || e2e_fail "huellario-setup falló: $(cat "$E2E_TMP/setup.log")"
}

# An alias file that does not define the alias at all.
e2e_alias_missing() {
    export HLR_ALIASES="$E2E_TMP/aliases.conf"
    printf '[OTRO]\npath=%s\n' "$E2E_TMP" >"$HLR_ALIASES"
}

# An alias pointing at a folder that does not exist.
e2e_alias_to_nowhere() {
    export HLR_ALIASES="$E2E_TMP/aliases.conf"
    printf '[HLR10]\npath=%s\n' "$E2E_TMP/no-existe" >"$HLR_ALIASES"
}

e2e_start_app() {
    "$E2E_BIN/huellario" >"$E2E_TMP/app.log" 2>&1 &
    E2E_APP_PID=$!
}

# Starts the program and expects start-up to stop: only the "Application
# Error" box; Enter dismisses it and the exit code is 1.
e2e_expect_start_error() {
    e2e_start_app
    e2e_wait_window "Application Error"
    local box=$E2E_WINDOW
    e2e_expect_eq "$(e2e_visible_titles)" "Application Error" "ventanas visibles"
    e2e_key "$box" Return
    e2e_wait_exit
    e2e_expect_eq "$E2E_APP_STATUS" 1 "código de salida"
}

# Waits for a visible window whose title is exactly $1 and puts its id in
# E2E_WINDOW. xdotool's name search narrows the candidates (accented letters
# match any character there: the X name property may not be UTF-8); the
# exact title is then compared on _NET_WM_NAME.
e2e_wait_window() {
    local title=$1 timeout=${2:-$E2E_TIMEOUT} pattern id waited=0
    pattern="^$(printf '%s' "$title" | sed 's/[][\.*^$()+?{}|/]/\\&/g; s/[^ -~]\+/.*/g')\$"
    E2E_WINDOW=""
    while :; do
        for id in $(xdotool search --onlyvisible --name "$pattern" 2>/dev/null); do
            if [ "$(xdotool getwindowname "$id" 2>/dev/null)" == "$title" ]; then
                E2E_WINDOW=$id
                return 0
            fi
        done
        ((waited++ > timeout * 10)) && e2e_fail "la ventana «$title» no apareció en ${timeout} s"
        sleep 0.1
    done
}

# Titles of the visible windows of the program, one per line.
e2e_visible_titles() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$E2E_APP_PID" 2>/dev/null); do
        xdotool getwindowname "$id" 2>/dev/null
    done
}

# Gives the window the focus as a user's click would.
e2e_activate() {
    timeout "$E2E_TIMEOUT" xdotool windowactivate --sync "$1" >/dev/null 2>&1 \
        || e2e_fail "no se pudo activar la ventana $1"
}

# Types keys (xdotool key names) into the window, activating it first.
e2e_key() {
    local id=$1
    shift
    e2e_activate "$id"
    xdotool key --delay 50 "$@" || e2e_fail "xdotool key $*"
}

e2e_type() {
    local id=$1
    shift
    e2e_activate "$id"
    xdotool type --delay 30 "$*" || e2e_fail "xdotool type $*"
}

# Clicks at x y of the window's client area.
e2e_click() {
    local id=$1 x=$2 y=$3
    e2e_activate "$id"
    xdotool mousemove --window "$id" --sync "$x" "$y" click 1 || e2e_fail "clic en $x,$y"
}

# Asks the window manager to close the window (as the user's Alt+F4).
e2e_close_window() {
    e2e_key "$1" alt+F4
}

# Waits for the program to end; sets E2E_APP_STATUS to its exit code.
e2e_wait_exit() {
    local timeout=${1:-$E2E_TIMEOUT} waited=0
    while kill -0 "$E2E_APP_PID" 2>/dev/null; do
        ((waited++ > timeout * 10)) && e2e_fail "el programa no terminó en ${timeout} s"
        sleep 0.1
    done
    wait "$E2E_APP_PID"
    E2E_APP_STATUS=$?
    E2E_APP_PID=""
}

# Runs SQL on one table file of the data folder and prints the rows.
e2e_sql() {
    local file=$1 query=$2
    timeout "$E2E_TIMEOUT" sqlite3 -batch -noheader "$E2E_DATA/$file" "$query" \
        || e2e_fail "sqlite3 $file: $query"
}

e2e_expect_eq() {
    [ "$1" == "$2" ] || e2e_fail "${3:-valor}: se esperaba «$2» y es «$1»"
}

# Waits until a command prints exactly the expected text, looking every
# 0.1 s: what a step checks is waited for, never slept for. On a timeout the
# case fails with the last text seen and a screenshot.
#   e2e_wait_eq "ajuste guardado" "1" e2e_sql ALBUM.DB "select ADJUST from ALBUM"
e2e_wait_eq() {
    local what=$1 expected=$2 seen waited=0
    shift 2
    while :; do
        seen=$("$@" 2>/dev/null)
        [ "$seen" == "$expected" ] && return 0
        ((waited++ > E2E_TIMEOUT * 10)) && e2e_fail "$what: se esperaba «$expected» y es «$seen» tras ${E2E_TIMEOUT} s"
        sleep 0.1
    done
}

# The program's visible windows, sorted, as one line separated by "|".
e2e_titles() {
    e2e_visible_titles | sort | tr '\n' '|'
}

# Waits until the program's visible windows are exactly the titles given.
e2e_wait_titles() {
    local expected
    expected=$(printf '%s\n' "$@" | sort | tr '\n' '|')
    e2e_wait_eq "ventanas visibles" "$expected" e2e_titles
}

# Waits until no visible window (of any program) has exactly this title.
e2e_wait_no_window() {
    local title=$1 waited=0
    while e2e_visible_titles | grep -qxF -- "$title"; do
        ((waited++ > E2E_TIMEOUT * 10)) && e2e_fail "la ventana «$title» no se cerró en ${E2E_TIMEOUT} s"
        sleep 0.1
    done
}

# The colour (#rrggbb) of the pixel at x y of the window's client area.
e2e_pixel() {
    "$E2E_BIN/hlr-e2e-pixel" "$@"
}

# Waits until the pixel at x y of the window is no longer the colour given:
# a button shown, a picture drawn. Take the colour before the key that
# changes it.
e2e_wait_pixel_changes() {
    local id=$1 x=$2 y=$3 before=$4 waited=0
    while [ "$(e2e_pixel "$id" "$x" "$y")" == "$before" ]; do
        ((waited++ > E2E_TIMEOUT * 10)) && e2e_fail "el punto $x,$y sigue siendo $before tras ${E2E_TIMEOUT} s"
        sleep 0.1
    done
}

# For a check that something did not happen (nothing stored, nothing handed
# over), where there is nothing to wait for: gives the program time to take
# the events already sent. Every other check waits for what it checks.
e2e_settle() {
    sleep 0.5
}

# Waits until the window manager has taken the window as its own (its
# WM_STATE says Normal, or Iconic with "iconic").
e2e_wait_managed() {
    local id=$1 state=${2:-Normal} waited=0
    until xprop -id "$id" WM_STATE 2>/dev/null | grep -q "window state: $state"; do
        ((waited++ > E2E_TIMEOUT * 10)) && e2e_fail "el gestor no dejó la ventana $id en estado $state"
        sleep 0.1
    done
}

# Rows of a table file, for waiting on: like e2e_sql, but a locked or missing
# file prints nothing rather than failing the case.
e2e_rows() {
    timeout 5 sqlite3 -batch -noheader "$E2E_DATA/$1" "$2" 2>/dev/null
}

# A print server of the case's own: cupsd with its configuration, spool,
# logs and socket in a scratch folder, and one queue, the default, through
# the cups-pdf backend, whose PDF files land in $E2E_CUPS_DIR/pdf. The
# program reaches it through CUPS_SERVER. cups-pdf reads its settings only
# from /etc/cups/cups-pdf.conf, so cupsd runs in a mount namespace of its own
# in which the case's settings are mounted over that file; the machine's own
# CUPS and its files are never touched. Needs root (cups-pdf runs as root,
# and so must the namespace); elsewhere the case is skipped.
#   e2e_cups_start [QUEUE]     (before e2e_start_app; the queue defaults to Huellario-PDF)
e2e_cups_start() {
    local queue=${1:-Huellario-PDF} dir waited=0
    [ "$(id -u)" == 0 ] || e2e_skip "imprimir con cups-pdf necesita root"
    [ -x /usr/lib/cups/backend/cups-pdf ] || e2e_skip "falta printer-driver-cups-pdf"
    unshare --mount --propagation private true 2>/dev/null || e2e_skip "no se puede crear un espacio de montaje propio"
    # Its own folder, readable by the lp user that runs the filters.
    E2E_CUPS_DIR=$(mktemp -d "${TMPDIR:-/tmp}/hlr-cups.XXXXXX")
    dir=$E2E_CUPS_DIR
    chmod 755 "$dir"
    mkdir -p "$dir/conf/ppd" "$dir/spool/tmp" "$dir/state" "$dir/cache" "$dir/log" "$dir/pdf" "$dir/pdf-spool"
    cat >"$dir/conf/cupsd.conf" <<EOC
Listen $dir/cups.sock
Browsing No
WebInterface No
LogLevel info
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOC
    cat >"$dir/conf/cups-files.conf" <<EOC
ServerRoot $dir/conf
RequestRoot $dir/spool
TempDir $dir/spool/tmp
StateDir $dir/state
CacheDir $dir/cache
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/printcap
SystemGroup root
User lp
Group lp
EOC
    cat >"$dir/cups-pdf.conf" <<EOC
Out $dir/pdf
AnonDirName $dir/pdf
Spool $dir/pdf-spool
Log $dir/log
GSTmp $dir/spool/tmp
EOC
    unshare --mount --propagation private sh -c \
        'mount --bind "$1/cups-pdf.conf" /etc/cups/cups-pdf.conf && exec cupsd -f -c "$1/conf/cupsd.conf" -s "$1/conf/cups-files.conf"' \
        sh "$dir" >"$dir/cupsd.out" 2>&1 &
    E2E_CUPS_PID=$!
    export CUPS_SERVER="$dir/cups.sock"
    until lpstat -r 2>/dev/null | grep -q 'is running'; do
        kill -0 "$E2E_CUPS_PID" 2>/dev/null || e2e_fail "cupsd no arrancó: $(cat "$dir/cupsd.out" "$dir/log/error_log" 2>/dev/null)"
        ((waited++ > E2E_TIMEOUT * 10)) && e2e_fail "cupsd no responde en $CUPS_SERVER"
        sleep 0.1
    done
    lpadmin -p "$queue" -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd -o pdftops-renderer-default=pdftocairo >"$dir/lpadmin.log" 2>&1 \
        && lpadmin -d "$queue" >>"$dir/lpadmin.log" 2>&1 \
        || e2e_fail "lpadmin no creó la cola $queue: $(cat "$dir/lpadmin.log")"
    e2e_log "cupsd $E2E_CUPS_PID en $CUPS_SERVER, cola $queue"
}

# Waits for the print server to finish every job and for the PDF files of
# cups-pdf to number $1; the newest one's path goes into E2E_PDF.
e2e_cups_wait_pdfs() {
    local count=$1 waited=0
    while [ -n "$(lpstat -o 2>/dev/null)" ] || [ "$(find "$E2E_CUPS_DIR/pdf" -name '*.pdf' | wc -l)" != "$count" ]; do
        ((waited++ > E2E_TIMEOUT * 10)) && e2e_fail "la impresora no dejó $count PDF en ${E2E_TIMEOUT} s: $(ls "$E2E_CUPS_DIR/pdf"); trabajos: $(lpstat -o 2>&1)"
        sleep 0.1
    done
    E2E_PDF=$(ls -t "$E2E_CUPS_DIR"/pdf/*.pdf | head -n1)
}

# The pages the print server counted for job number $1, copies included
# (its page log's "total" line: the pages printed times the copies).
e2e_cups_job_pages() {
    awk -v job="$1" '$3 == job && $6 == "total" { print $7 }' "$E2E_CUPS_DIR/log/page_log"
}
