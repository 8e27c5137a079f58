#!/usr/bin/python3
"""The XScreenSaver module's CPU against a do-nothing X client, in one run.

On a virtual 1920x1080 screen it runs, one after the other, `velomass
--root` at the default speed (a step every 50 ms) and `x11_idle`, which wakes
at the same rate and does nothing, and measures each one's CPU time and the
X server's over the same wall time. Prints both and the ratios.

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
    """CPU seconds of the client and of the X server over `seconds`."""
    with Xvfb(*size) as screen:
        client = subprocess.Popen(command, env=screen.env)
        try:
            time.sleep(2)  # past the first board
            start = cpu_seconds(client.pid), cpu_seconds(screen.process.pid)
            time.sleep(seconds)
            end = cpu_seconds(client.pid), cpu_seconds(screen.process.pid)
        finally:
            client.terminate()
            client.wait()
    return end[0] - start[0], end[1] - start[1]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--seconds", type=float, default=30)
    parser.add_argument("--size", default="1920x1080")
    parser.add_argument("--build", default=os.path.join(TOP, "build", "host"))
    args = parser.parse_args()
    size = tuple(int(v) for v in args.size.split("x"))
    module = measure([os.path.join(args.build, "x11", "velomass"), "--root"], args.seconds, size)
    idle = measure([os.path.join(args.build, "bench", "x11_idle"), "50000"], args.seconds, size)
    print(f"{args.size} root, default speed, {args.seconds:g} s each")
    print(f"{'':12} {'client CPU s':>12} {'X server CPU s':>15}")
    print(f"{'velomass':12} {module[0]:12.2f} {module[1]:15.2f}")
    print(f"{'x11_idle':12} {idle[0]:12.2f} {idle[1]:15.2f}")
    floor = 1 / CLK_TCK  # a clock tick: what the idle client rounds up to
    print(f"client CPU ratio: {module[0] / max(idle[0], floor):.1f}"
          f"{' (idle below one clock tick)' if idle[0] < floor else ''}")
    print(f"client + server CPU ratio: {sum(module) / max(sum(idle), floor):.1f}")
    print(f"velomass CPU per wall second: {100 * module[0] / args.seconds:.2f} % (+ {100 * module[1] / args.seconds:.2f} % in the server)")


if __name__ == "__main__":
    main()
