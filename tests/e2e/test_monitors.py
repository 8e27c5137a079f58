"""The full-screen saver on two monitors: a real multi-head X server (Xorg's
dummy driver, outputs placed with xrandr, see scripts/multihead.py), one
session of boards driven with xdotool and checked by pixel and by the
geometry of its X windows."""
import os
import sys
import time
import unittest

import veloma_e2e as e2e

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from multihead import MultiHead  # noqa: E402

SAVER_CLASS = "velomass.scr"
CELL = e2e.CELL


def rect(mon):
    return (mon.left, mon.top, mon.right, mon.bottom)


def centre(mon):
    return (mon.left + mon.right) // 2, (mon.top + mon.bottom) // 2


def board_faults(image, mon):
    """What is wrong with the board on a monitor: a grid of whole cells
    centred on it, black around it, nearly every cell a piece."""
    width, height = mon.right - mon.left, mon.bottom - mon.top
    cols, rows = width // CELL, height // CELL
    x0, y0 = (width - cols * CELL) // 2, (height - rows * CELL) // 2
    margins = image.crop(rect(mon))
    margins.paste((0, 0, 0), (x0, y0, x0 + cols * CELL, y0 + rows * CELL))
    colours = margins.getcolors(1 << 24)
    faults = [] if colours == [(width * height, (0, 0, 0))] else [f"{mon.name}: margins {sorted(colours)[-3:]}"]
    found = e2e.read_cells(image, rect(mon))
    at_rest = sum(1 for where in found if where in e2e.PIECES_AT_REST)
    if found.count(None) > len(found) // 20 or at_rest < 0.8 * len(found):
        faults.append(f"{mon.name}: of the {cols}x{rows} cells, {found.count(None)} show none of our pictures "
                      f"and {at_rest} a piece at rest")
    return faults


class MonitorsTest(e2e.SaverCase):
    def setUp(self):
        self.head = MultiHead("side")
        self.head.start()
        self.addCleanup(self.head.stop)
        # A Wine server belongs to the display it first met: these runs get
        # a prefix of their own, its server ended with the X server.
        e2e.set_env(self, DISPLAY=self.head.display)
        e2e.own_prefix(self, "-monitors")
        super().setUp()

    def windows(self):
        """The saver's mapped X windows as (id, name, root rectangle)."""
        found = []
        for window in e2e.xdotool("search", "--onlyvisible", "--classname", SAVER_CLASS, check=False).split():
            name = e2e.xdotool("getwindowname", window, check=False).rstrip("\n")
            shell = e2e.xdotool("getwindowgeometry", "--shell", window, check=False)
            g = dict(line.split("=", 1) for line in shell.split() if "=" in line)
            if "X" in g:
                x, y, w, h = (int(g[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
                found.append((window, name, (x, y, x + w, y + h)))
        return found

    def board_rects(self):
        # Only the primary board bears the run's title; the others have none.
        return sorted(box for _, name, box in self.windows() if name in (e2e.SAVER_TITLE, ""))

    def ask_rects(self):
        return sorted(box for _, name, box in self.windows() if name == e2e.DIALOG_TITLE)

    def monitor_rects(self):
        return sorted(rect(m) for m in self.head.monitors())

    def start_saver(self, pointer=None):
        """Starts /s with the cursor at pointer (default: the primary's centre);
        returns once a window stands on every monitor."""
        # As between cases: an earlier run would make this one a second run.
        if self.procs:
            self.tearDown()
            e2e.end_wine()
        monitors = self.head.monitors()
        e2e.xdotool("mousemove", *(str(v) for v in (pointer or centre(monitors[0]))))
        proc = super().start_saver()
        e2e.wait_for(lambda: len(self.board_rects()) >= len(monitors), 10, step=0.3)
        return proc

    def assert_ends(self, proc, what, within=5):
        super().assert_ends(proc, what, within)
        self.assertEqual(self.board_rects(), [], f"{what}: windows left behind")

    def assert_plays(self, mon, what):
        box = rect(mon)
        first = e2e.grab(box)
        self.assertTrue(e2e.wait_for(lambda: e2e.grab(box) != first, 5, step=0.3),
                        f"{what}: the board on {mon.name} did not change in 5 s")

    def answer(self, password):
        self.assertTrue(e2e.wait_for(lambda: self.ask_rects(), 10), "no password dialog")
        e2e.xdotool("type", "--delay", "40", password)
        e2e.xdotool("key", "Return")

    def test_a_board_fits_each_monitor(self):
        """Each monitor has its own board, fitted and playing, and input on
        the second one ends the session."""
        for layout, how in (("side", "move"), ("above", "key"), ("above", "click")):
            with self.subTest(layout=layout, input=how):
                self.head.set_layout(layout)
                monitors = self.head.monitors()
                second = monitors[1]
                x, y = centre(second)
                proc = self.start_saver(pointer=(x, y))
                self.assertEqual(self.board_rects(), self.monitor_rects(), "one window covering each monitor")
                image = e2e.grab()
                self.assertEqual(image.size, self.head.size())
                self.assertEqual([f for m in monitors for f in board_faults(image, m)], [])
                for mon in monitors:
                    self.assert_plays(mon, layout)
                if how == "key":
                    # The keyboard goes to the second monitor's board.
                    board = [w for w, _, box in self.windows() if box == rect(second)]
                    self.assertEqual(len(board), 1, f"no single board on {second.name}")
                    e2e.xdotool("windowfocus", "--sync", board[0])
                    time.sleep(0.5)
                    e2e.xdotool("key", "space")
                elif how == "click":
                    e2e.xdotool("click", "1")
                else:
                    e2e.xdotool("mousemove", str(x + 3), str(y + 2))
                self.assert_ends(proc, f"{layout}: a {how} on {second.name}")

    def test_black_out_then_one_password_box_on_the_primary(self):
        e2e.reg_add(e2e.SYSTEM_KEY, "BlackOutTime", "1")
        e2e.reg_add(e2e.SYSTEM_KEY, "PassWord", "pw")
        e2e.reg_add(e2e.DESKTOP_KEY, "ScreenSaveUsePassword", "1")
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
        asked = time.monotonic()
        time.sleep(1)
        asks = self.ask_rects()
        self.assertEqual(len(asks), 1, f"password dialogs at {asks}")
        ask = asks[0]
        self.assertTrue(primary.left <= ask[0] and ask[2] <= primary.right and primary.top <= ask[1]
                        and ask[3] <= primary.bottom, f"the dialog at {ask} is not on the primary {rect(primary)}")
        self.assertTrue(all(s < 0.5 for s in shares()), f"not every board woke: black shares {shares()}")
        self.assert_plays(second, "behind the dialog")
        # Left alone, the question goes away by itself after 8 s.
        self.assertTrue(e2e.wait_for(lambda: not self.ask_rects(), 15), "the question did not give up")
        self.assertGreater(time.monotonic() - asked, 6.5, "the question gave up too early")
        time.sleep(1)
        self.assertIsNone(proc.poll(), "the saver ended with the question")

        e2e.xdotool("key", "space")
        self.answer("pw")
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
                    e2e.reg_add(e2e.DESKTOP_KEY, "ScreenSaveUsePassword", "1")
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
                    self.assertEqual([f for m in monitors for f in board_faults(image, m)], [], what)
                e2e.xdotool("key", "space")
                if password:
                    self.answer("pw")
                self.assert_ends(proc, f"{layout}: a key after the changes")


if __name__ == "__main__":
    unittest.main()
