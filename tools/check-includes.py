#!/usr/bin/python3
"""Refuses includes that run against the order of the layers.

  check-includes.py SOURCE_DIR CORE_LAYER... --win WIN_LAYER... --x11 X11_LAYER...

Each list comes lowest first (the order the libraries link in). The core
layers are portable; the Win32 layers and the X11 layers are two branches
above the core that know nothing of each other. A file may include its own
layer's headers, those of the layers before it in its branch, and the
core's. Portable code includes no system header of Windows or X11; the
Win32 layers alone include Windows headers, as do the windows a bench
measures the saver against (bench/floor_window.cpp, bench/idle_window.cpp), and the last X11 layer
(the Xlib front end) alone includes X11 headers, as do the X clients a bench
measures the module against (bench/x11_*). Tools, benches and host tests
count as portable code above the core and the portable X11 layers. Prints
each offending line and exits 1."""
import os
import re
import sys

WINDOWS_HEADERS = {"windows.h", "commctrl.h", "commdlg.h", "mmsystem.h", "shellapi.h", "winreg.h"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')

top = sys.argv[1]
branches = {"core": []}
current = "core"
for arg in sys.argv[2:]:
    if arg.startswith("--"):
        current = arg[2:]
        branches[current] = []
    else:
        branches[current].append(arg)

# layer -> (branch, rank); the core ranks below every branch.
where = {}
for branch, layers in branches.items():
    base = 0 if branch == "core" else len(branches["core"])
    for i, layer in enumerate(layers):
        where[layer] = (branch, base + i)
xlib = branches.get("x11", [])[-1:]


def layer_of(path):
    """The layer a file or header path belongs to, or None."""
    folder = os.path.dirname(path)
    return folder if folder in where else None


def may_include(own, target):
    if own is None:  # tools, benches, host tests
        branch, _ = where[target]
        return branch == "core" or (branch == "x11" and target not in xlib)
    own_branch, own_rank = where[own]
    branch, rank = where[target]
    return rank <= own_rank and branch in ("core", own_branch)


checked = [(os.path.relpath(os.path.join(d, f), top))
           for root in list(where) + ["tools", "bench", "tests/host"]
           for d, _, names in os.walk(os.path.join(top, root))
           for f in names if f.endswith((".h", ".cpp"))]
errors = []
for path in sorted(set(checked)):
    own = layer_of(path)
    own_branch = where[own][0] if own else "core"
    for number, line in enumerate(open(os.path.join(top, path), encoding="utf-8"), 1):
        m = INCLUDE.match(line)
        if not m:
            continue
        bracket, name = m.groups()
        if bracket == "<":
            win_client = path in (os.path.join("bench", "floor_window.cpp"), os.path.join("bench", "idle_window.cpp"))
            if own_branch != "win" and name.lower() in WINDOWS_HEADERS and not win_client:
                errors.append(f"{path}:{number}: only the Win32 layers include <{name}>")
            x_client = path.startswith(os.path.join("bench", "x11_"))
            if name.startswith("X11/") and own not in xlib and not x_client:
                errors.append(f"{path}:{number}: only the Xlib front end includes <{name}>")
            continue
        target = layer_of(name)
        if target is None:
            continue
        if not may_include(own, target):
            errors.append(f"{path}:{number}: {own or 'portable code'} includes {name} from {target}, "
                          f"a later layer or another branch")

for e in errors:
    print(e)
sys.exit(1 if errors else 0)
