#!/usr/bin/python3
"""The layering check passes on the sources, and fails, naming the file, on a deliberate wrong
include and a wrong link; the build refuses a wrong include outright.

    check_layers_test.py SOURCE_DIR BUILD_DIR [PROBE_TARGET]
"""
import pathlib
import os
import subprocess
import sys
import tempfile

source, build = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
probe = sys.argv[3] if len(sys.argv) > 3 and sys.argv[3] else None
check = [sys.executable, str(source / "scripts" / "check_layers.py")]
failures = []


def expect(what, ok):
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures.append(what)


def run(cmd, env=None):
    r = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, env=env)
    return r.returncode, r.stdout


code, out = run(check + [str(source)])
print(out, end="")
expect("the sources keep the layering", code == 0)

with tempfile.TemporaryDirectory() as tmp:
    root = pathlib.Path(tmp)
    (root / "src" / "model").mkdir(parents=True)
    (root / "src" / "ui").mkdir(parents=True)
    (root / "src" / "model" / "Good.h").write_text('#include "model/Units.h"\n#include "xbase/Table.h"\n')
    (root / "src" / "model" / "CMakeLists.txt").write_text("sw_folder_library(sw_model Qt6::Gui)\n")
    code, out = run(check + [str(root)])
    expect("allowed includes pass", code == 0)

    (root / "src" / "model" / "Bad.cpp").write_text('#include "model/Good.h"\n\n#include "designer/Designer.h"\n')
    code, out = run(check + [str(root)])
    print(out, end="")
    expect("a wrong include fails the check", code == 1)
    expect("the failure names the file, the line and the folder",
           "src/model/Bad.cpp:3: model/ includes designer/" in out)

    (root / "src" / "model" / "Bad.cpp").unlink()
    (root / "src" / "ui" / "CMakeLists.txt").write_text("sw_folder_library(sw_ui sw_model Qt6::Widgets)\n")
    code, out = run(check + [str(root)])
    print(out, end="")
    expect("a wrong link fails the check", code == 1 and "src/ui/CMakeLists.txt:1: ui/ links sw_model" in out)

if probe:
    # Without the compiler cache, which would keep its files in the home the tests run in.
    code, out = run(["cmake", "--build", str(build), "--target", probe], dict(os.environ, CCACHE_DISABLE="1"))
    tail = "\n".join(out.splitlines()[-6:])
    print(tail)
    expect("a wrong include does not compile", code != 0 and "designer/Designer.h" in out
           and "No such file" in out)

print("layering check: " + (f"{len(failures)} case(s) failed" if failures else "every case as expected"))
sys.exit(1 if failures else 0)
