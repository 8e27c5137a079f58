"""The full-screen and change-password switches driven as a user would:
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

CHANGE_TITLE = "ﾊﾟｽﾜｰﾄﾞの変更"


class SaverTest(e2e.SaverCase):
    def setUp(self):
        super().setUp()
        # The cursor stands somewhere on the screen the saver will cover.
        e2e.xdotool("mousemove", "200", "150")

    def wait_window(self, title, timeout=10):
        return e2e.wait_for(lambda: e2e.xdotool_search(title), timeout)

    def enter(self, *texts):
        """Types each text and presses Enter after it."""
        for text in texts:
            if text:
                e2e.xdotool("type", "--delay", "40", text)
            e2e.xdotool("key", "Return")

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
        # Every cell of the screen shows one of our pictures, pixel for pixel, nearly all a
        # piece at rest, every kind is there, and the board moves on.
        first = e2e.grab()
        found = e2e.read_cells(first, (0, 0, *first.size))
        self.assertEqual(len(found), 32 * 24)
        at_rest = [e2e.PIECES_AT_REST[where] for where in found if where in e2e.PIECES_AT_REST]
        self.assertLessEqual(found.count(None), 8, "cells that show none of our pictures")
        self.assertGreaterEqual(len(at_rest), 0.8 * len(found), f"only {len(at_rest)} pieces at rest")
        self.assertEqual(sorted(set(at_rest)), [1, 2, 3, 4, 5], "not every kind is on the board")
        # A cycle takes 0.4 s; even a loaded machine moves on within seconds.
        self.assertTrue(e2e.wait_for(lambda: e2e.grab() != first, 5, step=0.5), "the picture did not change in 5 s")

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

    def test_change_password_then_the_saver_asks_for_it(self):
        e2e.reg_add(e2e.SYSTEM_KEY, "PassWord", "old")
        proc = self.start("/a")
        self.assertTrue(self.wait_window(CHANGE_TITLE, timeout=30), "no change-password dialog")
        time.sleep(0.5)

        # Enter moves on like Tab; entries that differ are the Wine tests'.
        self.enter("Neu 1", "Neu 1", "")
        self.assert_ends(proc, "OK with equal entries")
        self.assertEqual(e2e.reg_values(e2e.SYSTEM_KEY).get("PassWord"), ("REG_SZ", "Neu 1"))

        # What a wrong one does is the Wine tests'.
        e2e.reg_add(e2e.DESKTOP_KEY, "ScreenSaveUsePassword", "1")
        saver = self.start_saver()
        e2e.xdotool("key", "space")
        self.assertTrue(self.wait_window(e2e.DIALOG_TITLE), "no password dialog")
        time.sleep(0.3)
        self.enter("Neu 1")
        self.assert_ends(saver, "the new password", 2)


if __name__ == "__main__":
    unittest.main()
