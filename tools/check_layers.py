#!/usr/bin/env python3
"""Checks the include lines of the sources against the layers of README.md.

The README's layout table names, for each folder, the folders whose headers
its files may include ("nothing", a list of `folder/` names, or "anything"
for the tests and benchmarks). This script reads that table and fails when:
a file includes a header of a folder its row does not name; an include
names a folder the table does not know; the rows name a loop (two folders
that reach each other); a row names app/ (the top); or transcode/ or hook/
may include anything of ours (both are used outside the program).

Usage: check_layers.py [repository]   (default: the folder above this one)
"""
import pathlib
import re
import sys

SOURCE_SUFFIXES = {".h", ".cpp", ".rc", ".in"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]*"', re.MULTILINE)
ROW = re.compile(r"^\|\s*`([^`/]+)/`\s*\|[^|]*\|([^|]*)\|\s*$")
FOLDER = re.compile(r"`([^`/]+)/`")


def read_layers(readme):
    """{folder: set of folders it may include, or None for anything}."""
    text = readme.read_text(encoding="utf-8")
    section = text.split("## Layout", 1)[1].split("\n## ", 1)[0]
    layers = {}
    for line in section.splitlines():
        row = ROW.match(line)
        if not row:
            continue
        folder, allowed = row.group(1), row.group(2).strip()
        layers[folder] = None if allowed == "anything" else set(FOLDER.findall(allowed))
    return layers


def find_loop(layers):
    """Folders that reach each other through the rows, as a path, or None."""
    done = set()

    def visit(path):
        for below in sorted(layers.get(path[-1]) or ()):
            if below in path:
                return path[path.index(below):] + [below]
            if below not in done:
                loop = visit(path + [below])
                if loop:
                    return loop
        done.add(path[-1])
        return None

    for folder in sorted(layers):
        if folder not in done and layers[folder] is not None:
            loop = visit([folder])
            if loop:
                return loop
    return None


def main():
    repo = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
    layers = read_layers(repo / "README.md")
    problems = []
    if not layers:
        problems.append("README.md: no layout table with a 'may include' column")
    for folder, allowed in layers.items():
        if allowed is not None and "app" in allowed:
            problems.append(f"README.md: {folder}/ may include app/, the top")
        if allowed is not None and allowed - layers.keys():
            problems.append(f"README.md: {folder}/ names unknown folders {sorted(allowed - layers.keys())}")
    for bottom in ("transcode", "hook"):
        if layers.get(bottom) != set():
            problems.append(f"README.md: {bottom}/ must include nothing of ours outside itself")
    loop = find_loop(layers)
    if loop:
        problems.append("README.md: the layers loop: " + " -> ".join(f + "/" for f in loop))

    for folder, allowed in sorted(layers.items()):
        if allowed is None:
            continue
        for path in sorted((repo / folder).rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
                continue
            text = path.read_text(encoding="utf-8", errors="replace")
            for match in INCLUDE.finditer(text):
                target = match.group(1)
                line = text.count("\n", 0, match.start()) + 1
                where = f"{path.relative_to(repo)}:{line}"
                if target not in layers:
                    problems.append(f"{where}: includes {target}/, a folder the layout table does not know")
                elif target != folder and target not in allowed:
                    problems.append(f"{where}: {folder}/ may not include {target}/")

    for problem in problems:
        print(problem)
    print(f"layers: {len(problems)} problem(s) in {len(layers)} folders")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
