"""The full-screen and change-password switches, and a saver copied
anywhere, driven as a user would: keys and mouse through xdotool, the
registry through reg, the screen checked by pixel."""
import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest

import veloma_e2e as e2e

CHANGE_TITLE = "ﾊﾟｽﾜｰﾄﾞの変更"
MISMATCH_TITLE = "Veloma SS"


class SaverTest(e2e.SaverCase):
    def setUp(self):
        super().setUp()
        # The cursor stands somewhere on the screen the saver will cover.
        e2e.xdotool("mousemove", "200", "150")

    def wait_window(self, title, present=True, timeout=10):
        return e2e.wait_for(lambda: bool(e2e.xdotool_search(title)) == present, timeout)

    def enter(self, *texts):
        """Types each text and presses Enter after it."""
        for text in texts:
            if text:
                e2e.xdotool("type", "--delay", "40", text)
            e2e.xdotool("key", "Return")

    def assert_plays_our_pieces(self):
        """Every cell shows one of our pictures (those of res/velomass.bmp,
        pixel for pixel), nearly all a piece at rest, every kind is there,
        and the board moves on."""
        first = e2e.grab()
        found = e2e.read_cells(first, (0, 0, *first.size))
        self.assertEqual(len(found), 32 * 24)
        unknown = [n for n, where in enumerate(found) if where is None]
        at_rest = [e2e.PIECES_AT_REST[where] for where in found if where in e2e.PIECES_AT_REST]
        self.assertLessEqual(len(unknown), 8, f"cells that show none of our pictures: {unknown[:20]}")
        self.assertGreaterEqual(len(at_rest), 0.8 * len(found), f"only {len(at_rest)} pieces at rest")
        self.assertEqual(sorted(set(at_rest)), [1, 2, 3, 4, 5], "not every kind is on the board")
        # A cycle takes 0.4 s; even a loaded machine moves on within seconds.
        self.assertTrue(e2e.wait_for(lambda: e2e.grab() != first, 5, step=0.5), "the picture did not change in 5 s")

    def test_board_covers_the_screen_plays_and_closes_on_input(self):
        # Music from a list; 8.3 names all the way, so the commands carry the path as it is.
        folder = f"/tmp/vm{os.getpid() % 100000}"
        shutil.rmtree(folder, ignore_errors=True)
        shutil.copytree(e2e.source("samples"), folder)
        self.addCleanup(shutil.rmtree, folder, True)
        # The user's own piece image from ImageMagick: a 124-byte header, run-length rows.
        pieces = os.path.join(folder, "pieces.bmp")
        subprocess.run(["convert", e2e.source("res", "velomass.bmp"), pieces], check=True, timeout=60)
        with open(pieces, "rb") as f:
            self.assertEqual(f.read(18)[14:], (124).to_bytes(4, "little"), "not the 124-byte header")
        for key, name, value in ((e2e.SYSTEM_KEY, "Bitmap", e2e.winpath(pieces)),
                                 (e2e.SOUND_KEY, "MIDI", e2e.winpath(os.path.join(folder, "velomass.lst"))),
                                 (e2e.SOUND_KEY, "BGM", "1"), (e2e.SOUND_KEY, "BGMRandomPlay", "0")):
            e2e.reg_add(key, name, value)
        trace = tempfile.TemporaryFile()
        self.addCleanup(trace.close)
        proc = self.start_saver(stderr=trace, WINEDEBUG="+mci")
        windows = e2e.xdotool_search(e2e.SAVER_TITLE)
        self.assertEqual(len(windows), 1, windows)
        geometry = e2e.xdotool("getwindowgeometry", str(windows[0]))
        self.assertIn("Position: 0,0", geometry)
        self.assertIn("Geometry: 1024x768", geometry)
        self.assert_plays_our_pieces()

        # A second run only brings the first forward.
        self.assert_ends(self.start("/s"), "the second run", 20)
        self.assertEqual(len(e2e.xdotool_search(e2e.SAVER_TITLE)), 1, "a second saver window appeared")
        self.assertIsNone(proc.poll(), "the first saver ended")

        e2e.xdotool("mousemove", "201", "150")
        self.assert_ends(proc, "a second mouse move, one pixel")
        # The list's first entry played while the saver ran; the trace doubles backslashes.
        piece = e2e.winpath(os.path.join(folder, "loop1.mid")).lower().replace("\\", "\\\\")
        trace.seek(0)
        self.assertEqual(re.findall(r'mciSendStringW \(L"([^"]*)"', trace.read().decode("utf-8", "replace")),
                         [f"open {piece} type sequencer", f"play {piece} from 0 notify", f"close {piece}"])

    def test_a_saver_copied_anywhere_shows_and_plays_our_pieces(self):
        # Only the .scr in its folder, another folder current, no settings:
        # the image built into the saver, and no message about it.
        proc = self.start("/c", alone=True)
        info = e2e.wait_for_window(e2e.DIALOG_TITLE)
        self.assertEqual(e2e.probe("VelomaSS").count, 0, "a message box came up")
        self.assertEqual(e2e.control(info, 1000).text, "velomass.bmp")
        # Scaled by whole pixels, every colour of the preview is one of our
        # image's, or the black around the board.
        time.sleep(2.0)
        ours = set(e2e.piece_image().getdata()) | {(0, 0, 0)}
        shown = set(e2e.grab(e2e.preview_rect(info)).getdata())
        self.assertGreater(len(shown), 8, "the preview shows no pictures")
        self.assertLessEqual(shown, ours, f"colours that are not ours: {sorted(shown - ours)[:10]}")
        e2e.click(e2e.control(info, 1).rect)  # OK
        self.assert_ends(proc, "the configure run", 60)
        self.assertEqual(e2e.reg_values(e2e.SYSTEM_KEY)["Bitmap"], ("REG_SZ", "velomass.bmp"))

        proc = self.start_saver(alone=True)
        self.assert_plays_our_pieces()
        e2e.xdotool("key", "space")
        self.assert_ends(proc, "a key")

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
        self.assert_ends(proc, "OK with equal entries")
        self.assertEqual(e2e.reg_values(e2e.SYSTEM_KEY).get("PassWord"), ("REG_SZ", "Neu 1"))

        e2e.reg_add(e2e.DESKTOP_KEY, "ScreenSaveUsePassword", "1")
        saver = self.start_saver()
        for password, closes in (("old", False), ("Neu 1", True)):
            e2e.xdotool("key", "space")
            self.assertTrue(self.wait_window(e2e.DIALOG_TITLE), "no password dialog")
            time.sleep(0.3)
            self.enter(password)
            if closes:
                self.assert_ends(saver, f"password {password!r}", 2)
            else:
                self.assertTrue(self.wait_window(e2e.DIALOG_TITLE, present=False), "the dialog stayed after OK")
                time.sleep(1)
                self.assertIsNone(saver.poll(), f"password {password!r}: the saver ended")


if __name__ == "__main__":
    unittest.main()
