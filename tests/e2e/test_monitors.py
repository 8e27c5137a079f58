"""The full-screen saver on two monitors: a real multi-head X server (Xorg's
dummy driver, outputs placed with xrandr, see scripts/multihead.py), one
session of boards driven with xdotool and checked by pixel. How the boards follow a new layout, black out and
ask for the password is the Wine tests' (SaverSessionTest)."""
import os
import sys
import unittest

import veloma_e2e as e2e

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from multihead import MultiHead  # noqa: E402

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

    def test_a_board_fits_each_monitor(self):
        """Each monitor has its own board, fitted and playing, and input on
        the second one ends the session, whether the primary is at the
        origin or not."""
        for layout, how in (("side", "move"), ("above", "click")):
            with self.subTest(layout=layout, input=how):
                # As between cases: an earlier run would make this one a second run.
                self.tearDown()
                e2e.end_wine()
                self.head.set_layout(layout)
                monitors = self.head.monitors()
                x, y = centre(monitors[1])
                e2e.xdotool("mousemove", str(x), str(y))
                proc = self.start_saver()

                def faults():
                    image = e2e.grab()
                    return [f for m in monitors for f in board_faults(image, m)]
                e2e.wait_for(lambda: not faults(), 10, step=0.5)
                self.assertEqual(faults(), [])
                for mon in monitors:
                    first = e2e.grab(rect(mon))
                    self.assertTrue(e2e.wait_for(lambda: e2e.grab(rect(mon)) != first, 5, step=0.3),
                                    f"{layout}: the board on {mon.name} did not change in 5 s")
                if how == "click":
                    e2e.xdotool("click", "1")
                else:
                    e2e.xdotool("mousemove", str(x + 3), str(y + 2))
                self.assert_ends(proc, f"{layout}: a {how} on {monitors[1].name}")


if __name__ == "__main__":
    unittest.main()
