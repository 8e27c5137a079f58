#!/usr/bin/python3
"""A real multi-head X server: Xorg with the dummy video driver, its outputs
placed with xrandr. Xvfb lays every head at 0,0; this one gives Wine two
monitors where we put them.

  scripts/multihead.py [--layout NAME] [COMMAND [ARGS...]]

runs COMMAND (default: print the display and the monitors) with DISPLAY set
to a fresh server in the layout, then ends the server. Layouts:
  side   the primary 1024x768 at 0,0 and a second 800x600 to its right
  above  the second 800x600 at 0,0, left of and above the primary at 800,100
  single the primary alone
The end-to-end tests, the benchmark and docs/make-screenshots.py use it as a
module: MultiHead(layout) as a context, .env for the programs, .monitors().
"""
import argparse
import collections
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

# A monitor in root coordinates; right and bottom are exclusive.
Monitor = collections.namedtuple("Monitor", "name left top right bottom primary")

SECOND_MODE = "veloma800x600"
# 800x600 at 60 Hz; the dummy driver offers its modes to DUMMY0 only.
SECOND_MODELINE = ["40.00", "800", "840", "968", "1056", "600", "601", "605", "628", "+hsync", "+vsync"]
LAYOUTS = {
    "side": ["--output", "DUMMY0", "--mode", "1024x768", "--pos", "0x0", "--primary",
             "--output", "DUMMY1", "--mode", SECOND_MODE, "--pos", "1024x0"],
    "above": ["--output", "DUMMY0", "--mode", "1024x768", "--pos", "800x100", "--primary",
              "--output", "DUMMY1", "--mode", SECOND_MODE, "--pos", "0x0"],
    "single": ["--output", "DUMMY0", "--mode", "1024x768", "--pos", "0x0", "--primary",
               "--output", "DUMMY1", "--off"],
}
CONFIG = """Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 3000 1200
  EndSubSection
EndSection
"""


class MultiHead:
    """Xorg with the dummy driver on a free display, in one of LAYOUTS."""

    def __init__(self, layout="side"):
        self.layout = layout
        self.display = None
        self.env = None
        self.server = None
        self.folder = None

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        self.folder = tempfile.mkdtemp(prefix="multihead-")
        config = os.path.join(self.folder, "xorg.conf")
        log = os.path.join(self.folder, "xorg.log")
        with open(config, "w") as f:
            f.write(CONFIG)
        # Another server may take a free number between the look and the start.
        for n in [n for n in range(200, 260) if not self._taken(n)][:5]:
            self.display = f":{n}"
            self.server = subprocess.Popen(
                ["Xorg", self.display, "-noreset", "-nolisten", "tcp", "-config", config, "-logfile", log],
                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.env = dict(os.environ, DISPLAY=self.display)
            end = time.monotonic() + 20
            while time.monotonic() < end and self.server.poll() is None:
                if self.xrandr("--query", check=False).returncode == 0:
                    break
                time.sleep(0.2)
            if self.server.poll() is None and self.xrandr("--query", check=False).returncode == 0:
                break
            self._end_server()
        else:
            tail = open(log, errors="replace").read()[-3000:] if os.path.exists(log) else ""
            self.stop()
            raise RuntimeError(f"Xorg with the dummy driver did not start:\n{tail}")
        self.xrandr("--newmode", SECOND_MODE, *SECOND_MODELINE)
        self.xrandr("--addmode", "DUMMY1", SECOND_MODE)
        self.set_layout(self.layout)

    @staticmethod
    def _taken(n):
        return os.path.exists(f"/tmp/.X{n}-lock") or os.path.exists(f"/tmp/.X11-unix/X{n}")

    def _end_server(self):
        if self.server and self.server.poll() is None:
            self.server.terminate()
            try:
                self.server.wait(timeout=15)
            except subprocess.TimeoutExpired:
                self.server.kill()
                self.server.wait()
        self.server = None

    def stop(self):
        self._end_server()
        if self.folder:
            shutil.rmtree(self.folder, ignore_errors=True)
            self.folder = None

    def xrandr(self, *args, check=True):
        proc = subprocess.run(["xrandr", *args], env=self.env, capture_output=True, text=True, timeout=30)
        if check and proc.returncode != 0:
            raise RuntimeError(f"xrandr {' '.join(args)} failed: {proc.stderr.strip()}")
        return proc

    def set_layout(self, layout):
        self.xrandr(*LAYOUTS[layout])
        # A full query makes the server look at its outputs again; without
        # it the cheap query a starting Wine makes may still see one monitor.
        self.xrandr("--query")
        self.layout = layout

    def monitors(self):
        """The active monitors, the primary first."""
        found = []
        for line in self.xrandr("--listmonitors").stdout.splitlines():
            m = re.match(r"\s*\d+: \+(\*?)(\S+) (\d+)/\d+x(\d+)/\d+\+(-?\d+)\+(-?\d+)", line)
            if m:
                w, h, x, y = (int(v) for v in m.group(3, 4, 5, 6))
                found.append(Monitor(m.group(2), x, y, x + w, y + h, m.group(1) == "*"))
        return sorted(found, key=lambda mon: not mon.primary)

    def size(self):
        """The root window's width and height."""
        m = re.search(r"current (\d+) x (\d+)", self.xrandr("--query").stdout)
        return int(m.group(1)), int(m.group(2))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--layout", choices=sorted(LAYOUTS), default="side")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    with MultiHead(args.layout) as head:
        if not args.command:
            print(f"DISPLAY={head.display}")
            for mon in head.monitors():
                print(mon)
            return 0
        try:
            return subprocess.run(args.command, env=head.env).returncode
        except KeyboardInterrupt:
            return 130


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    sys.exit(main())
