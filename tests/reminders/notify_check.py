#!/usr/bin/python3
"""huellario --avisos against a stand-in notification server (python3-dbusmock)
on the private session bus of dbus-run-session: the reminders due today in
one notice, the data folder left byte for byte as it was, once a day, the
"Abrir Huellario" action, no server, and no data folder.

Usage: dbus-run-session -- /usr/bin/python3 notify_check.py HUELLARIO HUELLARIO_SETUP
"""
import datetime
import hashlib
import os
import pathlib
import sqlite3
import subprocess
import sys
import tempfile
import time

import dbus
import dbusmock

HUELLARIO, SETUP = sys.argv[1], sys.argv[2]
MOCK = "org.freedesktop.DBus.Mock"
NOTIFICATIONS = "org.freedesktop.Notifications"
TODAY = datetime.date.today()

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FALLO:", what, file=sys.stderr)


def day(offset):
    return (TODAY + datetime.timedelta(days=offset)).isoformat()


def snapshot(folder):
    """Every file of the data folder with its bytes and modification time."""
    return {p.name: (hashlib.sha256(p.read_bytes()).hexdigest(), p.stat().st_mtime_ns)
            for p in sorted(pathlib.Path(folder).iterdir())}


def make_data(home):
    data, aliases = home / "datos", home / "aliases.conf"
    subprocess.run([SETUP, "--dir", str(data), "--aliases", str(aliases)], check=True,
                   stdout=subprocess.DEVNULL)
    with sqlite3.connect(data / "AVISOS.DB") as db:
        # Two due (across midnight either way), two not; texts that markup would misread.
        db.executemany("INSERT INTO AVISOS (INICIO, FIN, CONCEPTO, OBSERVA1, OBSERVA2) VALUES (?, ?, ?, ?, ?)", [
            (day(-1), day(1), "VACUNA RABIA & TOS <PERRERA>", "LLEVAR CARTILLA", None),
            (None, day(3), "DESPARASITAR, PIPETA; ÑANDÚ", None, "ANTES DE COMER"),
            (day(2), day(4), "NO TOCA AUN", None, None),
            (day(-5), day(-2), "YA PASO", None, None),
        ])
    with sqlite3.connect(data / "INIAVIS.DB") as db:
        db.execute("INSERT INTO INIAVIS (TIPO, NOMBRE_CONCEPTO) VALUES ('AVISO', 'DEL ULTIMO INICIO')")
    return data, aliases


def run(env, wait=True):
    process = subprocess.Popen([HUELLARIO, "--avisos"], env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, text=True)
    if not wait:
        return process
    out, err = process.communicate(timeout=60)
    return process.returncode, out, err


def notify_calls(mock):
    return [args for _, method, args in mock.GetCalls(dbus_interface=MOCK) if method == "Notify"]


def wait_for(predicate, what, seconds=20):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(0.05)
    check(False, what)
    return False


def start_server(capabilities=None):
    parameters = {"capabilities": capabilities} if capabilities else {}
    return dbusmock.DBusTestCase.spawn_server_template("notification_daemon", parameters,
                                                      stdout=subprocess.DEVNULL)


def stop_server(server):
    server.terminate()
    server.wait()
    # The name is free again before the next server takes it.
    bus = dbus.SessionBus()
    wait_for(lambda: not bus.name_has_owner(NOTIFICATIONS), "el servidor de prueba no se ha ido")


def main():
    with tempfile.TemporaryDirectory() as scratch:
        home = pathlib.Path(scratch)
        data, aliases = make_data(home)
        state = home / "estado" / "huellario" / "avisos-notificados"
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        env.update(HOME=str(home), HLR_ALIASES=str(aliases), XDG_STATE_HOME=str(home / "estado"),
                   XDG_CONFIG_HOME=str(home / "config"), XDG_DATA_HOME=str(home / "share"), LC_ALL="C.UTF-8")
        before = snapshot(data)

        # No notification server on the bus: its own exit code, nothing remembered.
        code, out, err = run(env)
        check(code == 2, f"sin servidor: código {code}, se esperaba 2 ({err!r})")
        check("notificaciones" in err, f"sin servidor: el mensaje no lo dice: {err!r}")
        check(not state.exists(), "sin servidor: se ha anotado el día")

        # A server without actions: one notice, and the run ends at once.
        server, mock = start_server()
        code, out, err = run(env)
        check(code == 0, f"con servidor: código {code} ({err!r})")
        calls = notify_calls(mock)
        check(len(calls) == 1, f"se esperaba una notificación, hay {len(calls)}")
        if calls:
            app, replaces, icon, summary, body, actions, hints, timeout = calls[0]
            check(str(app) == "Huellario", f"app_name {app!r}")
            check(str(summary) == "Huellario: 2 avisos pendientes", f"summary {summary!r}")
            lines = str(body).split("\n")
            expected = [
                f"VACUNA RABIA &amp; TOS &lt;PERRERA&gt; (del {TODAY - datetime.timedelta(1):%d/%m/%Y} al "
                f"{TODAY + datetime.timedelta(1):%d/%m/%Y}): LLEVAR CARTILLA",
                f"DESPARASITAR, PIPETA; ÑANDÚ (hasta el {TODAY + datetime.timedelta(3):%d/%m/%Y}): ANTES DE COMER",
            ]
            # The one without a first day comes first, as in the program's list.
            check(lines == expected[::-1], f"body {body!r}")
            check(list(actions) == [], f"acciones sin capacidad: {actions!r}")
            check(str(hints.get("desktop-entry")) == "org.huellario.Huellario", f"hints {hints!r}")
        check(state.read_text().strip() == TODAY.isoformat() if state.exists() else False,
              "no se ha anotado el día del aviso")
        check(snapshot(data) == before, "la carpeta de datos ha cambiado")
        with sqlite3.connect(f"file:{data / 'INIAVIS.DB'}?mode=ro", uri=True) as db:
            rows = db.execute("SELECT NOMBRE_CONCEPTO FROM INIAVIS").fetchall()
        check(rows == [("DEL ULTIMO INICIO",)], f"INIAVIS ha cambiado: {rows!r}")

        # Once a day: a second login the same day posts nothing.
        code, out, err = run(env)
        check(code == 0 and len(notify_calls(mock)) == 1, f"segunda vez el mismo día: {code}, {err!r}")
        stop_server(server)

        # A server with actions: "Abrir Huellario" starts the program beside
        # this one, which here, without a display, says it needs one.
        state.unlink()
        server, mock = start_server("body actions")
        process = run(env, wait=False)
        if wait_for(lambda: notify_calls(mock), "no llega la notificación con acciones"):
            actions = [str(a) for a in notify_calls(mock)[0][5]]
            check(actions == ["default", "Abrir Huellario", "abrir", "Abrir Huellario"], f"acciones {actions!r}")
            check(process.poll() is None, "no espera la respuesta del servidor")
            mock.EmitSignal(NOTIFICATIONS, "ActionInvoked", "us", [dbus.UInt32(1), "abrir"], dbus_interface=MOCK)
        out, err = process.communicate(timeout=60)
        check(process.returncode == 0, f"tras la acción: código {process.returncode} ({err!r})")
        check("pantalla gráfica" in err, f"la acción no ha abierto Huellario: {err!r}")

        # Closed without the action: the run ends and opens nothing.
        state.unlink()
        process = run(env, wait=False)
        if wait_for(lambda: len(notify_calls(mock)) == 2, "no llega la segunda notificación"):
            mock.EmitSignal(NOTIFICATIONS, "NotificationClosed", "uu", [dbus.UInt32(2), dbus.UInt32(2)],
                            dbus_interface=MOCK)
        out, err = process.communicate(timeout=60)
        check(process.returncode == 0 and "pantalla" not in err, f"cerrada: {process.returncode}, {err!r}")
        check(snapshot(data) == before, "la carpeta de datos ha cambiado")

        # No data folder: nothing to say, nothing posted.
        state.unlink()
        env_nowhere = dict(env, HLR_ALIASES=str(home / "no-existe.conf"))
        code, out, err = run(env_nowhere)
        check(code == 0 and err == "" and len(notify_calls(mock)) == 2, f"sin carpeta: {code}, {err!r}")

        # A damaged reminders table: an error in Spanish, code 1.
        (data / "AVISOS.DB").write_bytes(b"esto no es una tabla")
        code, out, err = run(env)
        check(code == 1 and "AVISOS.DB" in err, f"tabla dañada: {code}, {err!r}")
        stop_server(server)

    if failures:
        print(f"{len(failures)} comprobaciones fallidas", file=sys.stderr)
        return 1
    print("huellario --avisos: correcto")
    return 0


if __name__ == "__main__":
    sys.exit(main())
