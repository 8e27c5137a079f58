"""The full-screen saver on two monitors: a real multi-head X server (Xorg's
dummy driver, outputs placed with xrandr, see scripts/multihead.py), one
session of boards driven with xdotool and checked by pixel and by the
geometry of its X windows."""
import os
import subprocess
import sys
import time
import unittest

import veloma_e2e as e2e

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from multihead import MultiHead  # noqa: E402

DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
SAVER_CLASS = "velomass.scr"
BOARD_TITLE = "VelomaScreenSaver"
ASK_TITLE = "Veloma Screen Saver"
CELL = e2e.CELL
# The root's own colour: whatever shows it, no saver window covers.
ROOT = (60, 90, 120)
LAYOUTS = ("side", "above")


def rect(mon):
    return (mon.left, mon.top, mon.right, mon.bottom)


def centre(mon):
    return (mon.left + mon.right) // 2, (mon.top + mon.bottom) // 2


def board_faults(image, mon, tiles):
    """What is wrong with the board on a monitor: a grid of whole cells
    centred on it, black around it, nearly every cell a piece."""
    width, height = mon.right - mon.left, mon.bottom - mon.top
    cols, rows = width // CELL, height // CELL
    x0, y0 = mon.left + (width - cols * CELL) // 2, mon.top + (height - rows * CELL) // 2
    x1, y1 = x0 + cols * CELL, y0 + rows * CELL
    faults = []
    for strip in ((mon.left, mon.top, mon.right, y0), (mon.left, y1, mon.right, mon.bottom),
                  (mon.left, y0, x0, y1), (x1, y0, mon.right, y1)):
        if strip[0] < strip[2] and strip[1] < strip[3]:
            colours = image.crop(strip).getcolors(1 << 24)
            if colours != [(colours[0][0], (0, 0, 0))]:
                faults.append(f"{mon.name}: margin {strip} not black: {sorted(colours)[-3:]}")
    found = e2e.cells(image.crop((x0, y0, x1, y1)))
    unknown = sum(1 for data in found if data not in tiles)
    at_rest = sum(1 for data in found if tiles.get(data) in e2e.PIECES_AT_REST)
    if unknown > len(found) // 20 or at_rest < 0.8 * len(found):
        faults.append(f"{mon.name}: of the {cols}x{rows} cells from {x0},{y0}, {unknown} show none of our "
                      f"pictures and {at_rest} a piece at rest")
    return faults


def outside_faults(image, monitors):
    """Points of the root outside every monitor that show anything but the root."""
    drawn = [(x, y) for x in range(0, image.width, 8) for y in range(0, image.height, 8)
             if not any(m.left <= x < m.right and m.top <= y < m.bottom for m in monitors)
             and image.getpixel((x, y)) != ROOT]
    return [f"drawn outside the monitors at {drawn[:5]}"] if drawn else []


class MonitorsTest(e2e.SaverCase):
    def setUp(self):
        self.head = MultiHead("side")
        self.head.start()
        self.addCleanup(self.head.stop)
        subprocess.run(["xsetroot", "-solid", "#%02x%02x%02x" % ROOT], env=self.head.env, check=True)
        # A Wine server belongs to the display it first met: these runs get
        # a prefix of their own, its server ended with the X server.
        info = subprocess.run(e2e.wine("--info"), capture_output=True, text=True, check=True).stdout
        prefix = dict(line.split("=", 1) for line in info.split())["prefix"]
        e2e.set_env(self, DISPLAY=self.head.display, WINEPREFIX=prefix + "-monitors")
        self.addCleanup(e2e.end_wine)
        super().setUp()
        for name in ("ScreenSaveUsePassword", "BlackOutTime"):
            e2e.reg("delete", DESKTOP_KEY, "/v", name, "/f")
        self.tiles = e2e.piece_tiles()

    def window_ids(self, wanted):
        """The saver's mapped X windows whose name and root rectangle
        wanted(name, rect) accepts."""
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--classname", SAVER_CLASS],
                               capture_output=True, text=True, timeout=30).stdout.split()
        chosen = []
        for window in found:
            name = subprocess.run(["xdotool", "getwindowname", window], capture_output=True, text=True,
                                  timeout=30).stdout.rstrip("\n")
            shell = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], capture_output=True,
                                   text=True, timeout=30).stdout
            g = dict(line.split("=", 1) for line in shell.split() if "=" in line)
            if "X" in g:
                x, y, w, h = (int(g[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
                if wanted(name, (x, y, x + w, y + h)):
                    chosen.append((window, (x, y, x + w, y + h)))
        return chosen

    def window_rects(self, wanted):
        return sorted(box for _, box in self.window_ids(lambda name, box: wanted(name)))

    def board_rects(self):
        # Only the primary board bears the run's title; the others have none.
        return self.window_rects(lambda name: name in (BOARD_TITLE, ""))

    def ask_rects(self):
        return self.window_rects(lambda name: name == ASK_TITLE)

    def monitor_rects(self):
        return sorted(rect(m) for m in self.head.monitors())

    def start_saver(self, pointer=None):
        """Starts /s with the cursor at pointer (default: the primary's centre);
        returns once a window stands on every monitor."""
        # A run a failed case left behind would make this one a second run.
        for earlier in self.procs:
            if earlier.poll() is None:
                e2e.kill_group(earlier)
        monitors = self.head.monitors()
        e2e.xdotool("mousemove", *(str(v) for v in (pointer or centre(monitors[0]))))
        proc = self.start("/s")
        e2e.wait_for(lambda: len(self.board_rects()) >= len(monitors) or proc.poll() is not None, 30, step=0.3)
        # The windows' appearance under the cursor brings a mouse move,
        # which must not end the session.
        time.sleep(1.5)
        if proc.poll() is not None:
            self.fail(f"the saver ended without input, exit {proc.returncode}: "
                      f"{proc.stderr.read().decode('utf-8', 'replace')[-1500:]}")
        return proc

    def assert_ends(self, proc, what, within=5):
        try:
            proc.wait(timeout=within)
        except subprocess.TimeoutExpired:
            self.fail(f"{what}: the saver still runs after {within} s; windows {self.board_rects()}")
        self.assertEqual(proc.returncode, 0, what)
        self.assertEqual(self.board_rects(), [], f"{what}: windows left behind")

    def assert_plays(self, mon, what):
        box = rect(mon)
        first = e2e.grab(box)
        self.assertTrue(e2e.wait_for(lambda: e2e.grab(box) != first, 5, step=0.3),
                        f"{what}: the board on {mon.name} did not change in 5 s")

    def test_a_board_fits_each_monitor(self):
        for layout in LAYOUTS:
            with self.subTest(layout=layout):
                self.head.set_layout(layout)
                monitors = self.head.monitors()
                proc = self.start_saver()
                self.assertEqual(self.board_rects(), self.monitor_rects(), "one window covering each monitor")
                image = e2e.grab()
                self.assertEqual(image.size, self.head.size())
                faults = [f for m in monitors for f in board_faults(image, m, self.tiles)]
                self.assertEqual(faults + outside_faults(image, monitors), [])
                for mon in monitors:
                    self.assert_plays(mon, layout)
                e2e.xdotool("key", "space")
                self.assert_ends(proc, f"{layout}: a key")

    def test_input_on_the_second_monitor_ends_the_session(self):
        self.head.set_layout("above")
        second = self.head.monitors()[1]
        x, y = centre(second)
        for how in ("key", "click", "move"):
            with self.subTest(how):
                proc = self.start_saver(pointer=(x, y))
                if how == "key":
                    # The keyboard goes to the second monitor's board.
                    board = self.window_ids(lambda name, box: box == rect(second))
                    self.assertEqual(len(board), 1, f"no single board on {second.name}")
                    e2e.xdotool("windowfocus", "--sync", board[0][0])
                    time.sleep(0.5)
                    e2e.xdotool("key", "space")
                elif how == "click":
                    e2e.xdotool("click", "1")
                else:
                    e2e.xdotool("mousemove", str(x + 3), str(y + 2))
                self.assert_ends(proc, f"a {how} on {second.name}")

    def test_black_out_then_one_password_box_on_the_primary(self):
        e2e.reg_add(e2e.SYSTEM_KEY, "BlackOutTime", "1")
        e2e.reg_add(e2e.SYSTEM_KEY, "PassWord", "pw")
        e2e.reg_add(DESKTOP_KEY, "ScreenSaveUsePassword", "1")
        self.head.set_layout("above")
        primary, second = self.head.monitors()
        proc = self.start_saver()

        def shares():
            image = e2e.grab()
            return [e2e.black_share(image.crop(rect(m))) for m in (primary, second)]

        self.assertTrue(all(s < 0.5 for s in shares()), f"boards not drawn: black shares {shares()}")
        # A minute after the start, and a little more for Wine.
        self.assertTrue(e2e.wait_for(lambda: shares() == [1.0, 1.0], 75, step=2),
                        f"not every monitor blacked out after a minute: black shares {shares()}")
        self.assertIsNone(proc.poll())

        e2e.xdotool("key", "space")
        self.assertTrue(e2e.wait_for(lambda: self.ask_rects(), 10), "no password dialog")
        time.sleep(1)
        asks = self.ask_rects()
        self.assertEqual(len(asks), 1, f"password dialogs at {asks}")
        ask = asks[0]
        self.assertTrue(primary.left <= ask[0] and ask[2] <= primary.right and primary.top <= ask[1]
                        and ask[3] <= primary.bottom, f"the dialog at {ask} is not on the primary {rect(primary)}")
        self.assertTrue(all(s < 0.5 for s in shares()), f"not every board woke: black shares {shares()}")
        self.assert_plays(second, "behind the dialog")

        e2e.xdotool("type", "--delay", "40", "pw")
        e2e.xdotool("key", "Return")
        self.assert_ends(proc, "the right password")
        self.assertEqual(self.ask_rects(), [], "the dialog stayed")

    def test_boards_follow_monitors_switched_off_and_on_and_a_new_mode(self):
        """Only the user ends the run: a monitor switched off, on again, and
        a new mode on the primary each leave it playing on every monitor,
        with no password question when one is in force; a key then ends it.
        Wine keeps a quitting program's windows for about 2 s, so the run is
        judged 10 s after each change."""
        changes = (("off", ("--output", "DUMMY1", "--off")), ("on", None),
                   ("a new mode", ("--output", "DUMMY0", "--mode", "800x600")))
        for layout, password in (("side", False), ("above", False), ("above", True)):
            with self.subTest(layout=layout, password=password):
                if password:
                    e2e.reg_add(e2e.SYSTEM_KEY, "PassWord", "pw")
                    e2e.reg_add(DESKTOP_KEY, "ScreenSaveUsePassword", "1")
                self.head.set_layout(layout)
                proc = self.start_saver()
                for what, args in changes:
                    if args:
                        self.head.xrandr(*args)
                        self.head.xrandr("--query")
                    else:
                        self.head.set_layout(layout)
                    time.sleep(10)
                    monitors = self.head.monitors()
                    self.assertIsNone(proc.poll(), f"{layout}: the saver ended after {what}")
                    self.assertEqual(self.ask_rects(), [], f"{layout}: a password question after {what}")
                    self.assertEqual(self.board_rects(), self.monitor_rects(), f"{layout}: boards after {what}")
                    image = e2e.grab()
                    self.assertEqual([f for m in monitors for f in board_faults(image, m, self.tiles)], [], what)
                e2e.xdotool("key", "space")
                if password:
                    self.assertTrue(e2e.wait_for(lambda: self.ask_rects(), 10), "no question after a key")
                    e2e.xdotool("type", "--delay", "40", "pw")
                    e2e.xdotool("key", "Return")
                self.assert_ends(proc, f"{layout}: a key after the changes")
                # Wine may still hold the ended run, which the next start would find.
                e2e.end_wine()

if __name__ == "__main__":
    unittest.main()
