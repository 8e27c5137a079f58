"""The full-screen switch and the change-password switch, driven as a user
would: keys and mouse through xdotool, the registry through reg, and the
screen checked by pixel."""
import os
import re
import shutil
import subprocess
import time
import unittest

import veloma_e2e as e2e

DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
DESKTOP_VALUES = ("ScreenSaveUsePassword", "ScreenSaveLowPowerActive", "ScreenSaveLowPowerTimeOut")
SAVER_TITLE = "^VelomaScreenSaver$"
ASK_TITLE = "^Veloma Screen Saver$"
CHANGE_TITLE = "^ﾊﾟｽﾜｰﾄﾞの変更$"
MISMATCH_TITLE = "^Veloma SS$"
SCREEN = (1024, 768)
CELL = 32


def piece_tiles():
    """Every 32-pixel picture of our piece image: {bytes: (row, column)}."""
    from PIL import Image
    path = os.path.join(e2e.need("VELOMA_SOURCE_DIR"), "res", "velomass.bmp")
    tiles = {}
    with Image.open(path) as image:
        image = image.convert("RGB")
        for row in range(image.height // CELL):
            for column in range(image.width // CELL):
                box = (column * CELL, row * CELL, (column + 1) * CELL, (row + 1) * CELL)
                tiles.setdefault(image.crop(box).tobytes(), (row, column))
    return tiles


def screen_cells(path):
    """The screenshot cut into 32-pixel cells: [(x, y, bytes)]."""
    from PIL import Image
    with Image.open(path) as image:
        image = image.convert("RGB")
        return [(x, y, image.crop((x * CELL, y * CELL, (x + 1) * CELL, (y + 1) * CELL)).tobytes())
                for y in range(SCREEN[1] // CELL) for x in range(SCREEN[0] // CELL)]


def black_share(path):
    """The share of pixels that are black, from a sample of the screen."""
    from PIL import Image
    with Image.open(path) as image:
        image = image.convert("RGB")
        points = [(x, y) for x in range(0, image.width, 7) for y in range(0, image.height, 7)]
        return sum(1 for p in points if image.getpixel(p) == (0, 0, 0)) / len(points)


def alive(proc):
    return proc.poll() is None


class SaverTest(unittest.TestCase):
    def setUp(self):
        self.procs = []
        self.shots = []
        e2e.reg_delete_key(e2e.SAVER_KEY)
        before = e2e.reg_values(DESKTOP_KEY) or {}
        self.desktop_before = {name: before.get(name) for name in DESKTOP_VALUES}
        for name, value in self.desktop_before.items():
            if value is not None:
                e2e.reg("delete", DESKTOP_KEY, "/v", name, "/f")
        # The cursor stands somewhere on the screen the saver will cover.
        e2e.xdotool("mousemove", "200", "150")

    def tearDown(self):
        for proc in self.procs:
            if alive(proc):
                e2e._kill_group(proc)
        now = e2e.reg_values(DESKTOP_KEY) or {}
        for name, value in self.desktop_before.items():
            if now.get(name) == value:
                continue
            if value is None:
                e2e.reg("delete", DESKTOP_KEY, "/v", name, "/f")
            else:
                e2e.reg_add(DESKTOP_KEY, name, value[1], value[0])
        e2e.reg_delete_key(e2e.SAVER_KEY)
        for shot in self.shots:
            if os.path.exists(shot):
                os.unlink(shot)

    # ----- helpers -----

    def start(self, switch="/s"):
        scr = e2e.scr_path()
        # Beside the saver lies our piece image, its default in the current directory.
        proc = e2e.start_wine([scr, switch], cwd=os.path.dirname(scr))
        self.procs.append(proc)
        return proc

    def start_saver(self):
        proc = self.start("/s")
        self.assertTrue(e2e.wait_for(lambda: e2e.xdotool_search(SAVER_TITLE) or not alive(proc), 30),
                        "the saver window did not appear")
        self.assertTrue(alive(proc), "the saver ended on its own")
        # Let it settle: the window's appearance under the cursor brings the
        # first mouse-move message, which must not close it.
        time.sleep(1.5)
        self.assertTrue(alive(proc), "the saver closed without input")
        return proc

    def shot(self, name):
        path = os.path.join(os.environ.get("TMPDIR", "/tmp"), f"veloma-{os.getpid()}-{name}.png")
        self.shots.append(path)
        return e2e.screenshot(path)

    def assert_ends(self, proc, within, what):
        try:
            proc.wait(timeout=within)
        except subprocess.TimeoutExpired:
            self.fail(f"{what}: the saver still runs after {within} s")
        self.assertEqual(proc.returncode, 0, what)

    def assert_runs(self, proc, seconds, what):
        time.sleep(seconds)
        self.assertTrue(alive(proc), f"{what}: the saver ended (exit code {proc.returncode})")

    def wait_window(self, title, timeout=10):
        return e2e.wait_for(lambda: e2e.xdotool_search(title), timeout)

    def wait_no_window(self, title, timeout=10):
        return e2e.wait_for(lambda: not e2e.xdotool_search(title), timeout)

    def type_text(self, text):
        if text:
            e2e.xdotool("type", "--delay", "40", text)

    def set_password(self, text, in_force=True):
        e2e.reg_add(e2e.SYSTEM_KEY, "PassWord", text)
        e2e.reg_add(DESKTOP_KEY, "ScreenSaveUsePassword", "1" if in_force else "0")

    # ----- cases -----

    def test_board_covers_the_screen_and_plays(self):
        proc = self.start_saver()
        windows = e2e.xdotool_search(SAVER_TITLE)
        self.assertEqual(len(windows), 1, windows)
        geometry = subprocess.run(["xdotool", "getwindowgeometry", str(windows[0])], capture_output=True,
                                  text=True, timeout=30).stdout
        self.assertIn("Position: 0,0", geometry)
        self.assertIn("Geometry: 1024x768", geometry)

        first = self.shot("board1")
        tiles = piece_tiles()
        rest = {(2 * kind - 1, 0): kind for kind in range(1, 6)}
        cells = screen_cells(first)
        self.assertEqual(len(cells), 32 * 24)
        unknown = [(x, y) for x, y, data in cells if data not in tiles]
        at_rest = [rest[tiles[data]] for _, _, data in cells if tiles.get(data) in rest]
        self.assertLessEqual(len(unknown), 8, f"cells that show none of our pictures: {unknown[:20]}")
        self.assertGreaterEqual(len(at_rest), 0.8 * len(cells), f"only {len(at_rest)} pieces at rest")
        self.assertEqual(sorted(set(at_rest)), [1, 2, 3, 4, 5], "not every kind is on the board")
        # A cycle takes 0.4 s at the default speed; even on a loaded machine
        # the picture moves on within a few seconds.
        self.assertTrue(e2e.wait_for(lambda: any(a[2] != b[2] for a, b in zip(cells, screen_cells(self.shot("next")))),
                                     5, step=0.5), "the picture did not change in 5 s")
        self.assertTrue(alive(proc))

    def test_music_and_sounds_start_and_stop_with_it(self):
        # 8.3 names all the way, so the commands carry the path as it is.
        folder = f"/tmp/vm{os.getpid() % 100000}"
        shutil.rmtree(folder, ignore_errors=True)
        shutil.copytree(os.path.join(e2e.need("VELOMA_SOURCE_DIR"), "samples"), folder)
        self.addCleanup(shutil.rmtree, folder, True)
        for name, value in (("MIDI", "velomass.lst"), ("Select", "select.wav"), ("Disappear", "disappear.wav")):
            e2e.reg_add(e2e.SOUND_KEY, name, e2e.winpath(os.path.join(folder, value)))
        for name, value in (("BGM", "1"), ("Sound", "1"), ("BGMRandomPlay", "0")):
            e2e.reg_add(e2e.SOUND_KEY, name, value)
        e2e.keep_wine_up(self)  # so that Wine's own processes hold no pipe of the saver's
        debug = os.environ.get("WINEDEBUG")
        os.environ["WINEDEBUG"] = "+mci"
        try:
            proc = self.start_saver()
        finally:
            if debug is None:
                del os.environ["WINEDEBUG"]
            else:
                os.environ["WINEDEBUG"] = debug
        self.assertLess(black_share(self.shot("music")), 0.5, "the board is not drawn")
        e2e.xdotool("key", "space")
        code, err = e2e.finish(proc, 20, "the saver with music")
        self.assertEqual(code, 0)
        # The list's first entry, lower-cased; the trace doubles backslashes.
        piece = e2e.winpath(os.path.join(folder, "loop1.mid")).lower().replace("\\", "\\\\")
        self.assertEqual(re.findall(r'mciSendStringW \(L"([^"]*)"', err),
                         [f"open {piece} type sequencer", f"play {piece} from 0 notify", f"close {piece}"])

    def test_input_closes_it(self):
        cases = [
            ("key", lambda: e2e.xdotool("key", "space")),
            ("Alt with a key", lambda: e2e.xdotool("key", "alt+x")),
            ("mouse click", lambda: e2e.xdotool("click", "1")),
            ("right click", lambda: e2e.xdotool("click", "3")),
            ("second mouse move, one pixel", lambda: e2e.xdotool("mousemove", "201", "150")),
        ]
        for what, act in cases:
            with self.subTest(what):
                e2e.xdotool("mousemove", "200", "150")
                proc = self.start_saver()  # the first move came and went
                act()
                self.assert_ends(proc, 2, what)
        self.assertEqual(e2e.xdotool_search(SAVER_TITLE), [])

    def test_password_in_force(self):
        self.set_password("Secret")
        proc = self.start_saver()

        def ask():
            e2e.xdotool("key", "space")
            self.assertTrue(self.wait_window(ASK_TITLE), "no password dialog")
            time.sleep(0.3)

        for wrong in ("secret", "Secret ", ""):
            with self.subTest(wrong=wrong):
                ask()
                self.type_text(wrong)
                e2e.xdotool("key", "Return")
                self.assertTrue(self.wait_no_window(ASK_TITLE), "the dialog stayed after OK")
                self.assert_runs(proc, 1, f"wrong password {wrong!r}")

        # Left alone, the question goes away by itself after 8 s.
        ask()
        asked = time.monotonic()
        self.assertTrue(self.wait_no_window(ASK_TITLE, 15), "the dialog did not give up")
        waited = time.monotonic() - asked
        self.assertGreater(waited, 6.5, "the dialog gave up too early")
        self.assert_runs(proc, 1, "idle dialog")

        ask()
        self.type_text("Secret")
        e2e.xdotool("key", "Return")
        self.assert_ends(proc, 2, "the right password")

    def test_stored_password_ignored_when_the_desktop_asks_none(self):
        for flag in ("0", None):
            with self.subTest(flag=flag):
                e2e.reg_add(e2e.SYSTEM_KEY, "PassWord", "Secret")
                if flag is None:
                    e2e.reg("delete", DESKTOP_KEY, "/v", "ScreenSaveUsePassword", "/f")
                else:
                    e2e.reg_add(DESKTOP_KEY, "ScreenSaveUsePassword", flag)
                proc = self.start_saver()
                e2e.xdotool("key", "space")
                self.assert_ends(proc, 2, "a key without the password in force")
                # The run does not change what is stored.
                self.assertEqual(e2e.reg_values(e2e.SYSTEM_KEY).get("PassWord"), ("REG_SZ", "Secret"))

    def test_change_password_then_the_saver_asks_for_it(self):
        self.set_password("old")
        proc = self.start("/a")
        self.assertTrue(self.wait_window(CHANGE_TITLE, 30), "no change-password dialog")
        time.sleep(0.5)

        # Enter moves on like Tab; OK with entries that differ shows the message.
        self.type_text("abc")
        e2e.xdotool("key", "Return")
        self.type_text("abd")
        e2e.xdotool("key", "Return", "Return")
        self.assertTrue(self.wait_window(MISMATCH_TITLE), "no mismatch message")
        self.assertEqual(e2e.reg_values(e2e.SYSTEM_KEY).get("PassWord"), ("REG_SZ", "old"))
        e2e.xdotool("key", "Return")
        self.assertTrue(self.wait_no_window(MISMATCH_TITLE))
        self.assertTrue(alive(proc), "the dialog closed after the mismatch")

        # The focus is back in the first box with its text selected; give a
        # loaded machine time to move it there before typing.
        time.sleep(1.0)
        self.type_text("Neu 1")
        e2e.xdotool("key", "Return")
        self.type_text("Neu 1")
        e2e.xdotool("key", "Return", "Return")
        self.assert_ends(proc, 5, "OK with equal entries")
        self.assertEqual(e2e.reg_values(e2e.SYSTEM_KEY).get("PassWord"), ("REG_SZ", "Neu 1"))

        e2e.reg_add(DESKTOP_KEY, "ScreenSaveUsePassword", "1")
        saver = self.start_saver()
        e2e.xdotool("key", "space")
        self.assertTrue(self.wait_window(ASK_TITLE), "the next run did not ask")
        time.sleep(0.3)
        self.type_text("old")
        e2e.xdotool("key", "Return")
        self.assert_runs(saver, 1, "the old password")
        e2e.xdotool("key", "space")
        self.assertTrue(self.wait_window(ASK_TITLE))
        time.sleep(0.3)
        self.type_text("Neu 1")
        e2e.xdotool("key", "Return")
        self.assert_ends(saver, 2, "the new password")

    def test_second_run_brings_the_first_forward(self):
        first = self.start_saver()
        second = self.start("/s")
        self.assert_ends(second, 20, "the second run")
        self.assertEqual(len(e2e.xdotool_search(SAVER_TITLE)), 1, "a second saver window appeared")
        self.assertTrue(alive(first), "the first saver ended")

    def test_black_out_then_the_game_behind_the_password(self):
        e2e.reg_add(e2e.SYSTEM_KEY, "BlackOutTime", "1")
        self.set_password("pw")
        proc = self.start_saver()
        self.assertLess(black_share(self.shot("playing")), 0.5, "the board is not drawn")

        # A minute after the start, and a little more for Wine.
        self.assertTrue(e2e.wait_for(lambda: black_share(self.shot("waiting")) == 1.0, 75, step=2),
                        "the screen was not blacked out after a minute")
        self.assertTrue(alive(proc))

        e2e.xdotool("key", "space")
        self.assertTrue(self.wait_window(ASK_TITLE), "no password dialog")
        time.sleep(1)
        self.assertLess(black_share(self.shot("asking")), 0.5, "the game did not come back behind the dialog")
        self.assertTrue(e2e.xdotool_search(ASK_TITLE))
        e2e.xdotool("key", "Escape")
        self.assertTrue(self.wait_no_window(ASK_TITLE))
        self.assert_runs(proc, 1, "cancelled password")


if __name__ == "__main__":
    unittest.main()
