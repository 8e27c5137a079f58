#!/usr/bin/python3
"""Fails unless every DLL a Windows program imports ships with Windows.

usage: check_imports.py OBJDUMP PROGRAM
"""
import subprocess
import sys

# What the saver may use; the C runtime msvcrt.dll is part of every Windows.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "winmm.dll",
    "comdlg32.dll", "comctl32.dll", "msvcrt.dll",
}


def imported_dlls(objdump, program):
    out = subprocess.run([objdump, "-p", program], check=True, capture_output=True, text=True).stdout
    return [line.split(":", 1)[1].strip() for line in out.splitlines() if line.strip().startswith("DLL Name:")]


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    dlls = imported_dlls(sys.argv[1], sys.argv[2])
    if not dlls:
        print(f"no imports found in {sys.argv[2]}: not a PE file?", file=sys.stderr)
        return 1
    foreign = [d for d in dlls if d.lower() not in SYSTEM_DLLS]
    print("imports:", ", ".join(dlls))
    if foreign:
        print(f"got non-system DLLs {foreign}, wanted only {sorted(SYSTEM_DLLS)}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
