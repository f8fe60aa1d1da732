#!/usr/bin/env python3
"""Checks the project's #include lines against the layer table of the
developers' guide: a folder may include only the folders its row names.
Exit code 1, with each breach named by file and line, when one is found."""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
GUIDES = [ROOT / "docs" / "DEVELOPING.md", ROOT / "README.md"]
ROW = re.compile(r"^\|\s*`hlr_\w+`\s*\|\s*`([^`]+)`\s*\|\s*([^|]*)\|")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/')


def table():
    for guide in GUIDES:
        if not guide.exists():
            continue
        rows = {}
        for line in guide.read_text(encoding="utf-8").splitlines():
            match = ROW.match(line)
            if match:
                folder = match.group(1).rstrip("/")
                allowed = match.group(2).strip()
                rows[folder] = None if allowed == "everything" else {
                    name.strip() for name in allowed.split(",") if name.strip() not in ("", "nothing")}
        if rows:
            return guide, rows
    sys.exit("check-layers: no layer table found in " + ", ".join(str(g) for g in GUIDES))


def main():
    guide, rows = table()
    ours = {folder.split("/")[-1] for folder in rows if folder.startswith("src/")}
    breaches = []
    for folder, allowed in rows.items():
        own = folder.split("/")[-1]
        for path in sorted((ROOT / folder).rglob("*")):
            if path.suffix not in (".cpp", ".h") or allowed is None:
                continue
            for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                used = match.group(1)
                if used in ours and used != own and used not in allowed:
                    breaches.append(f"{path.relative_to(ROOT)}:{number}: {folder} may not include {used}/ "
                                    f"({guide.relative_to(ROOT)} lets it use: {', '.join(sorted(allowed)) or 'nothing'})")
    for breach in breaches:
        print(breach)
    if breaches:
        return 1
    print(f"Capas correctas: {len(rows)} carpetas según {guide.relative_to(ROOT)}.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
