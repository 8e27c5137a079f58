#!/usr/bin/python3
"""Refuses includes that run against the order of the layers.

  check-includes.py SOURCE_DIR LAYER...

The layers come lowest first (the order the libraries link in). A file of a
layer may include its own layer's headers and those of layers before it;
portable layers may not include a system header of Windows. Tools, benches
and host tests count as portable code above every portable layer. Prints
each offending line and exits 1."""
import os
import re
import sys

WINDOWS_HEADERS = {"windows.h", "commctrl.h", "commdlg.h", "mmsystem.h", "shellapi.h", "winreg.h"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')

top = sys.argv[1]
layers = sys.argv[2:]
rank = {layer: i for i, layer in enumerate(layers)}
first_win = rank["platform"]


def layer_of(path):
    """The layer a file or header path belongs to, or None."""
    folder = os.path.dirname(path)
    return folder if folder in rank else None


checked = [(os.path.relpath(os.path.join(d, f), top))
           for root in layers + ["tools", "bench", "tests/host"]
           for d, _, names in os.walk(os.path.join(top, root))
           for f in names if f.endswith((".h", ".cpp"))]
errors = []
for path in sorted(set(checked)):
    own = layer_of(path)
    own_rank = rank[own] if own else first_win - 0.5
    for number, line in enumerate(open(os.path.join(top, path), encoding="utf-8"), 1):
        m = INCLUDE.match(line)
        if not m:
            continue
        bracket, name = m.groups()
        if bracket == "<":
            if own_rank < first_win and name.lower() in WINDOWS_HEADERS:
                errors.append(f"{path}:{number}: portable code includes <{name}>")
            continue
        target = layer_of(name)
        if target is None:
            continue
        if rank[target] > own_rank:
            errors.append(f"{path}:{number}: {own or 'portable code'} includes {name} from {target}, a later layer")

for e in errors:
    print(e)
sys.exit(1 if errors else 0)
