#!/usr/bin/python3
"""Checks the layering of the folders under src/ (and of their tests under tests/):
every #include "<folder>/..." and every library a folder's CMakeLists.txt links must be one
that the folder may use. Prints each violation as FILE:LINE: message; exits 1 when there is one.

    check_layers.py [ROOT]     ROOT defaults to the repository holding this script
"""
import pathlib
import re
import sys

# Who may use whom (the closure: a folder may also use what the folders it uses may use).
MAY_USE = {
    "xbase": [],
    "model": ["xbase"],
    "report": ["model"],
    "ui": [],
    "designer": ["model", "ui"],
    "library": ["model", "ui"],
    "print": ["report", "model", "ui"],
    "app": ["library", "print", "designer", "report", "model", "ui", "xbase"],
}


def allowed(folder):
    seen = {folder}
    todo = [folder]
    while todo:
        for used in MAY_USE[todo.pop()]:
            if used not in seen:
                seen.add(used)
                todo.append(used)
    return seen


INCLUDE = re.compile(r'^\s*#\s*include\s*"([a-z]+)/')
LINKED = re.compile(r"\bsw_([a-z]+)\b")


def check(root):
    problems = []
    for base in ("src", "tests"):
        for folder in sorted(MAY_USE):
            top = root / base / folder
            if not top.is_dir():
                continue
            ok = allowed(folder)
            for path in sorted(top.rglob("*")):
                if path.suffix not in (".h", ".cpp", ".txt"):
                    continue
                rel = path.relative_to(root)
                text = path.read_text(encoding="utf-8", errors="replace").splitlines()
                for n, line in enumerate(text, 1):
                    if path.name == "CMakeLists.txt":
                        if base != "src":
                            continue
                        line = line.split("#", 1)[0]
                        for used in LINKED.findall(line):
                            if used in MAY_USE and used not in ok:
                                problems.append(f"{rel}:{n}: {folder}/ links sw_{used}, which it may not use")
                        continue
                    m = INCLUDE.match(line)
                    if m and m.group(1) in MAY_USE and m.group(1) not in ok:
                        problems.append(f"{rel}:{n}: {folder}/ includes {m.group(1)}/, which it may not use "
                                        f"(it may use {', '.join(sorted(ok))})")
    return problems


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    problems = check(root)
    for p in problems:
        print(p)
    print(f"layering: {len(problems)} violation(s)" if problems else "layering: ok")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
