"""The full-screen and change-password switches, driven as a user would:
keys and mouse through xdotool, the registry through reg, the screen
checked by pixel."""
import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest

import veloma_e2e as e2e

DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
SAVER_TITLE = "^VelomaScreenSaver$"
ASK_TITLE = "^Veloma Screen Saver$"
CHANGE_TITLE = "^ﾊﾟｽﾜｰﾄﾞの変更$"
MISMATCH_TITLE = "^Veloma SS$"
cells = e2e.cells
black_share = e2e.black_share


class SaverTest(e2e.SaverCase):
    def setUp(self):
        super().setUp()
        self.clear_desktop()
        self.addCleanup(self.clear_desktop)
        # The cursor stands somewhere on the screen the saver will cover.
        e2e.xdotool("mousemove", "200", "150")

    def clear_desktop(self):
        for name in ("ScreenSaveUsePassword", "ScreenSaveLowPowerActive", "ScreenSaveLowPowerTimeOut"):
            e2e.reg("delete", DESKTOP_KEY, "/v", name, "/f")

    def start_saver(self, **kwargs):
        proc = self.start("/s", **kwargs)
        self.assertTrue(e2e.wait_for(lambda: e2e.xdotool_search(SAVER_TITLE) or proc.poll() is not None, 30),
                        "the saver window did not appear")
        # The window's appearance under the cursor brings the first mouse
        # move, which must not close it.
        time.sleep(1.5)
        self.assertIsNone(proc.poll(), "the saver closed without input")
        return proc

    def assert_ends(self, proc, within, what):
        try:
            proc.wait(timeout=within)
        except subprocess.TimeoutExpired:
            self.fail(f"{what}: the saver still runs after {within} s")
        self.assertEqual(proc.returncode, 0, what)

    def assert_runs(self, proc, what):
        time.sleep(1)
        self.assertIsNone(proc.poll(), f"{what}: the saver ended")

    def wait_window(self, title, present=True, timeout=10):
        return e2e.wait_for(lambda: bool(e2e.xdotool_search(title)) == present, timeout)

    def enter(self, *texts):
        """Types each text and presses Enter after it."""
        for text in texts:
            if text:
                e2e.xdotool("type", "--delay", "40", text)
            e2e.xdotool("key", "Return")

    def answer(self, proc, password, closes):
        e2e.xdotool("key", "space")
        self.assertTrue(self.wait_window(ASK_TITLE), "no password dialog")
        time.sleep(0.3)
        self.enter(password)
        if closes:
            self.assert_ends(proc, 2, f"password {password!r}")
        else:
            self.assertTrue(self.wait_window(ASK_TITLE, present=False), "the dialog stayed after OK")
            self.assert_runs(proc, f"password {password!r}")

    def assert_plays_our_pieces(self):
        """Every cell shows one of our pictures (those of res/velomass.bmp,
        pixel for pixel), nearly all a piece at rest (the image's column 0,
        odd rows), every kind is there, and the board moves on."""
        tiles = e2e.piece_tiles()
        rest = e2e.PIECES_AT_REST
        first = cells(e2e.grab())
        self.assertEqual(len(first), 32 * 24)
        unknown = [n for n, data in enumerate(first) if data not in tiles]
        at_rest = [rest[tiles[data]] for data in first if tiles.get(data) in rest]
        self.assertLessEqual(len(unknown), 8, f"cells that show none of our pictures: {unknown[:20]}")
        self.assertGreaterEqual(len(at_rest), 0.8 * len(first), f"only {len(at_rest)} pieces at rest")
        self.assertEqual(sorted(set(at_rest)), [1, 2, 3, 4, 5], "not every kind is on the board")
        # A cycle takes 0.4 s; even a loaded machine moves on within seconds.
        self.assertTrue(e2e.wait_for(lambda: cells(e2e.grab()) != first, 5, step=0.5),
                        "the picture did not change in 5 s")

    def test_a_saver_copied_anywhere_plays_at_once(self):
        # Only the .scr in its folder, another folder current, no settings:
        # the image built into the saver plays.
        proc = self.start_alone("/s")
        self.assertTrue(e2e.wait_for(lambda: e2e.xdotool_search(SAVER_TITLE) or proc.poll() is not None, 30),
                        "the saver window did not appear")
        time.sleep(1.5)
        self.assertLess(black_share(e2e.grab()), 0.5, "the screen is black")
        self.assert_plays_our_pieces()
        e2e.xdotool("key", "space")
        self.assert_ends(proc, 5, "a key")

    def test_a_piece_image_from_imagemagick_plays_as_ours(self):
        # ImageMagick's plain BMP output: a 124-byte header, run-length rows.
        folder = tempfile.mkdtemp(prefix="veloma-im-")
        self.addCleanup(shutil.rmtree, folder, True)
        copy = os.path.join(folder, "pieces.bmp")
        subprocess.run(["convert", os.path.join(e2e.need("VELOMA_SOURCE_DIR"), "res", "velomass.bmp"), copy],
                       check=True, timeout=60)
        with open(copy, "rb") as f:
            self.assertEqual(f.read(18)[14:], (124).to_bytes(4, "little"), "not the 124-byte header")
        e2e.reg_add(e2e.SYSTEM_KEY, "Bitmap", e2e.winpath(copy))
        proc = self.start_saver(cwd=folder)
        self.assert_plays_our_pieces()
        e2e.xdotool("key", "space")
        self.assert_ends(proc, 5, "a key")

    def test_board_covers_the_screen_plays_and_closes_on_input(self):
        # Music from a list; 8.3 names all the way, so the commands carry the path as it is.
        folder = f"/tmp/vm{os.getpid() % 100000}"
        shutil.rmtree(folder, ignore_errors=True)
        shutil.copytree(os.path.join(e2e.need("VELOMA_SOURCE_DIR"), "samples"), folder)
        self.addCleanup(shutil.rmtree, folder, True)
        for name, value in (("MIDI", e2e.winpath(os.path.join(folder, "velomass.lst"))), ("BGM", "1"),
                            ("BGMRandomPlay", "0")):
            e2e.reg_add(e2e.SOUND_KEY, name, value)
        trace = tempfile.TemporaryFile()
        self.addCleanup(trace.close)
        proc = self.start_saver(stderr=trace, debug="+mci")
        windows = e2e.xdotool_search(SAVER_TITLE)
        self.assertEqual(len(windows), 1, windows)
        geometry = e2e.xdotool("getwindowgeometry", str(windows[0]))
        self.assertIn("Position: 0,0", geometry)
        self.assertIn("Geometry: 1024x768", geometry)

        self.assert_plays_our_pieces()

        e2e.xdotool("mousemove", "201", "150")
        self.assert_ends(proc, 5, "a second mouse move, one pixel")
        # The list's first entry played while the saver ran; the trace doubles backslashes.
        piece = e2e.winpath(os.path.join(folder, "loop1.mid")).lower().replace("\\", "\\\\")
        trace.seek(0)
        self.assertEqual(re.findall(r'mciSendStringW \(L"([^"]*)"', trace.read().decode("utf-8", "replace")),
                         [f"open {piece} type sequencer", f"play {piece} from 0 notify", f"close {piece}"])

    def test_second_run_brings_the_first_forward(self):
        first = self.start_saver()
        self.assert_ends(self.start("/s"), 20, "the second run")
        self.assertEqual(len(e2e.xdotool_search(SAVER_TITLE)), 1, "a second saver window appeared")
        self.assertIsNone(first.poll(), "the first saver ended")
        e2e.xdotool("key", "space")
        self.assert_ends(first, 2, "a key")

    def test_change_password_then_the_saver_asks_for_it(self):
        e2e.reg_add(e2e.SYSTEM_KEY, "PassWord", "old")
        proc = self.start("/a")
        self.assertTrue(self.wait_window(CHANGE_TITLE, timeout=30), "no change-password dialog")
        time.sleep(0.5)

        # Enter moves on like Tab; entries that differ bring a message and
        # leave the stored password.
        self.enter("abc", "abd", "")
        self.assertTrue(self.wait_window(MISMATCH_TITLE), "no mismatch message")
        self.assertEqual(e2e.reg_values(e2e.SYSTEM_KEY).get("PassWord"), ("REG_SZ", "old"))
        e2e.xdotool("key", "Return")
        self.assertTrue(self.wait_window(MISMATCH_TITLE, present=False))
        self.assertIsNone(proc.poll(), "the dialog closed after the mismatch")

        # The focus is back in the first box with its text selected, so the
        # typing replaces it; a loaded machine needs a moment to move it there.
        time.sleep(1.0)
        self.enter("Neu 1", "Neu 1", "")
        self.assert_ends(proc, 5, "OK with equal entries")
        self.assertEqual(e2e.reg_values(e2e.SYSTEM_KEY).get("PassWord"), ("REG_SZ", "Neu 1"))

        e2e.reg_add(DESKTOP_KEY, "ScreenSaveUsePassword", "1")
        saver = self.start_saver()
        self.answer(saver, "old", closes=False)
        self.answer(saver, "Neu 1", closes=True)

    def test_black_out_then_the_game_behind_the_password(self):
        e2e.reg_add(e2e.SYSTEM_KEY, "BlackOutTime", "1")
        e2e.reg_add(e2e.SYSTEM_KEY, "PassWord", "pw")
        e2e.reg_add(DESKTOP_KEY, "ScreenSaveUsePassword", "1")
        proc = self.start_saver()
        self.assertLess(black_share(e2e.grab()), 0.5, "the board is not drawn")

        # A minute after the start, and a little more for Wine.
        self.assertTrue(e2e.wait_for(lambda: black_share(e2e.grab()) == 1.0, 75, step=2),
                        "the screen was not blacked out after a minute")
        self.assertIsNone(proc.poll())

        e2e.xdotool("key", "space")
        self.assertTrue(self.wait_window(ASK_TITLE), "no password dialog")
        asked = time.monotonic()
        time.sleep(1)
        self.assertLess(black_share(e2e.grab()), 0.5, "the game did not come back behind the dialog")
        self.assertTrue(e2e.xdotool_search(ASK_TITLE))
        # Left alone, the question goes away by itself after 8 s.
        self.assertTrue(self.wait_window(ASK_TITLE, present=False, timeout=15), "the dialog did not give up")
        self.assertGreater(time.monotonic() - asked, 6.5, "the dialog gave up too early")
        self.assert_runs(proc, "the question left alone")


if __name__ == "__main__":
    unittest.main()
