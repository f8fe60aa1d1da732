#!/usr/bin/python3
"""huellario-setup --exportar-avisos read back by a real iCalendar parser
(python3-icalendar): every reminder with both days comes back with its days,
description and remarks, accents, commas, semicolons, backslashes and line
breaks included; lines are CRLF and folded at 75 octets; UIDs are unique and
the same in a second export; the data folder is left as it was.

Usage: /usr/bin/python3 ics_check.py HUELLARIO_SETUP
"""
import datetime
import hashlib
import pathlib
import sqlite3
import subprocess
import sys
import tempfile

import icalendar

SETUP = sys.argv[1]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FALLO:", what, file=sys.stderr)


def snapshot(folder):
    return {p.name: (hashlib.sha256(p.read_bytes()).hexdigest(), p.stat().st_mtime_ns)
            for p in sorted(pathlib.Path(folder).iterdir())}


# (INICIO, FIN, CONCEPTO, OBSERVA1, OBSERVA2), in the order of the first day.
EXPORTED = [
    ("2027-01-05", "2027-01-05", "VACUNA ÑANDÚ, CAMIÓN; PINGÜINO", "LLEVAR CARTILLA", None),
    ("2027-02-01", "2027-02-28", "PIENSO \\ AGUA", "PRIMERA LÍNEA\r\nSEGUNDA", "TERCERA\nCUARTA"),
    ("2027-03-01", "2027-03-03", "€" * 45, "ÑÁÉÍÓÚ" * 8 + "Ü€", "Ç" * 50),
    ("2027-12-31", "2027-12-31", "FIN DE AÑO", None, "SOLO LA SEGUNDA"),
    ("2027-12-31", "2027-12-31", "FIN DE AÑO", None, "SOLO LA SEGUNDA"),
]
SKIPPED = [
    (None, "2027-04-01", "SIN INICIO", None, None),
    ("2027-04-01", None, "SIN FIN", None, None),
    ("2027-04-09", "2027-04-01", "AL REVÉS", None, None),
]


def export(setup_args, target):
    return subprocess.run([SETUP, "--exportar-avisos", str(target)] + setup_args,
                          capture_output=True, text=True)


def events(path):
    calendar = icalendar.Calendar.from_ical(path.read_bytes())
    return [c for c in calendar.walk() if c.name == "VEVENT"]


def main():
    with tempfile.TemporaryDirectory() as scratch:
        home = pathlib.Path(scratch)
        data, aliases = home / "datos", home / "aliases.conf"
        subprocess.run([SETUP, "--dir", str(data), "--aliases", str(aliases)], check=True,
                       stdout=subprocess.DEVNULL)
        with sqlite3.connect(data / "AVISOS.DB") as db:
            db.executemany("INSERT INTO AVISOS (INICIO, FIN, CONCEPTO, OBSERVA1, OBSERVA2) VALUES (?, ?, ?, ?, ?)",
                           SKIPPED + EXPORTED)
        before = snapshot(data)

        first = home / "avisos.ics"
        result = export(["--aliases", str(aliases)], first)
        check(result.returncode == 0, f"exportar: código {result.returncode} ({result.stderr!r})")
        check("Exportados 5 avisos" in result.stdout and "3 avisos sin fecha" in result.stdout,
              f"lo que dice: {result.stdout!r}")
        check(snapshot(data) == before, "la carpeta de datos ha cambiado")

        raw = first.read_bytes()
        raw.decode("utf-8")  # all of it UTF-8, or this raises
        check(raw.endswith(b"\r\n") and b"\n" not in raw.replace(b"\r\n", b""), "líneas sin CRLF")
        for line in raw.split(b"\r\n")[:-1]:
            check(len(line) <= 75, f"línea de {len(line)} octetos: {line!r}")
            line.decode("utf-8")  # no character cut at a fold
        check(any(line.startswith(b" ") for line in raw.split(b"\r\n")), "ninguna línea plegada")

        found = events(first)
        check(len(found) == len(EXPORTED), f"{len(found)} eventos, se esperaban {len(EXPORTED)}")
        for event, (start, end, concept, remark1, remark2) in zip(found, EXPORTED):
            check(event.decoded("DTSTART") == datetime.date.fromisoformat(start), f"DTSTART de {concept}")
            check(event.decoded("DTEND") == datetime.date.fromisoformat(end) + datetime.timedelta(days=1),
                  f"DTEND de {concept}")
            check(str(event.get("SUMMARY")) == concept, f"SUMMARY {event.get('SUMMARY')!r} != {concept!r}")
            remarks = "\n".join(r.replace("\r\n", "\n") for r in (remark1, remark2) if r)
            check(str(event.get("DESCRIPTION")) == remarks, f"DESCRIPTION {event.get('DESCRIPTION')!r}")
            check("DTSTAMP" in event, f"sin DTSTAMP: {concept}")
        uids = [str(e.get("UID")) for e in found]
        check(len(set(uids)) == len(uids), f"UID repetidos: {uids}")

        # A second export, by --dir, with one more reminder: the same UIDs.
        with sqlite3.connect(data / "AVISOS.DB") as db:
            db.execute("INSERT INTO AVISOS (INICIO, FIN, CONCEPTO) VALUES ('2026-12-01', '2026-12-02', 'NUEVO')")
        second = home / "otra vez.ics"
        result = export(["--dir", str(data)], second)
        check(result.returncode == 0, f"segunda exportación: {result.returncode} ({result.stderr!r})")
        again = [str(e.get("UID")) for e in events(second)]
        check(again[1:] == uids, f"los UID cambian de una exportación a otra: {again} / {uids}")

        # Nowhere to write: an error in Spanish, code 3, the old file as it was.
        result = export(["--dir", str(data)], home / "no-existe" / "avisos.ics")
        check(result.returncode == 3 and "No se han exportado" in result.stderr, f"sin destino: {result!r}")
        old = first.read_bytes()
        (data / "AVISOS.DB").write_bytes(b"esto no es una tabla")
        result = export(["--dir", str(data)], first)
        check(result.returncode == 3 and "AVISOS.DB" in result.stderr, f"tabla dañada: {result!r}")
        check(first.read_bytes() == old, "el archivo anterior ha cambiado tras un error")

    if failures:
        print(f"{len(failures)} comprobaciones fallidas", file=sys.stderr)
        return 1
    print("huellario-setup --exportar-avisos: correcto")
    return 0


if __name__ == "__main__":
    sys.exit(main())
