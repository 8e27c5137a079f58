#!/usr/bin/python3
"""The XScreenSaver module's CPU against two reference X clients, in one run.

On a virtual 1920x1080 screen it runs, one after the other, `velomass
--root` at the default speed (a step every 50 ms); `x11_idle`, which wakes
at the same rate and does nothing; and `x11_cells`, which plays the same
game and each step puts one cell-sized image with XPutImage onto every cell
the step changed: the least any module drawing this board must do. It
measures each one's CPU time and the X server's over the same wall time,
and prints them and the ratios.

  bench/measure-module.py [--seconds S] [--size WxH] [--build DIR]

Needs the host tree built (scripts/build.sh host)."""
import argparse
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "x11"))
from xshot import Xvfb  # noqa: E402

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CLK_TCK = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLK_TCK  # utime + stime


def measure(command, seconds, size):
    """CPU seconds of the client and of the X server over `seconds`, and
    what the client said at its end."""
    with Xvfb(*size) as screen:
        client = subprocess.Popen(command, env=screen.env, stderr=subprocess.PIPE, text=True)
        try:
            time.sleep(2)  # past the first board
            start = cpu_seconds(client.pid), cpu_seconds(screen.process.pid)
            time.sleep(seconds)
            end = cpu_seconds(client.pid), cpu_seconds(screen.process.pid)
        finally:
            client.terminate()
            said = client.communicate()[1].strip()
    return end[0] - start[0], end[1] - start[1], said


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--seconds", type=float, default=30)
    parser.add_argument("--size", default="1920x1080")
    parser.add_argument("--build", default=os.path.join(TOP, "build", "host"))
    args = parser.parse_args()
    size = tuple(int(v) for v in args.size.split("x"))
    module = measure([os.path.join(args.build, "x11", "velomass"), "--root"], args.seconds, size)
    idle = measure([os.path.join(args.build, "bench", "x11_idle"), "50000"], args.seconds, size)
    cells = measure([os.path.join(args.build, "bench", "x11_cells"), "50000"], args.seconds, size)
    print(f"{args.size} root, default speed, {args.seconds:g} s each")
    print(f"{'':12} {'client CPU s':>12} {'X server CPU s':>15} {'together':>9}")
    for name, m in (("velomass", module), ("x11_idle", idle), ("x11_cells", cells)):
        print(f"{name:12} {m[0]:12.2f} {m[1]:15.2f} {m[0] + m[1]:9.2f}")
    if cells[2]:
        print(cells[2])
    floor = 1 / CLK_TCK  # a clock tick: what the idle client rounds up to
    print(f"client CPU ratio to x11_idle: {module[0] / max(idle[0], floor):.1f}"
          f"{' (idle below one clock tick)' if idle[0] < floor else ''}")
    print(f"client + server CPU ratio to x11_idle: {(module[0] + module[1]) / max(idle[0] + idle[1], floor):.1f}")
    print(f"client CPU ratio to x11_cells: {module[0] / max(cells[0], floor):.2f}")
    print(f"client + server CPU ratio to x11_cells: {(module[0] + module[1]) / max(cells[0] + cells[1], floor):.2f}")
    print(f"velomass CPU per wall second: {100 * module[0] / args.seconds:.2f} % (+ {100 * module[1] / args.seconds:.2f} % in the server)")


if __name__ == "__main__":
    main()
