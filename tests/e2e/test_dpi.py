"""A saver copied anywhere, on a display of 144 DPI (150 %), as a user there
sees it: the piece image built into it, the full-screen cells and the
settings dialog with its preview scaled, every picture enlarged in whole
pixels."""
import shutil
import tempfile
import time
import unittest

import veloma_e2e as e2e


class HighDpiTest(e2e.SaverCase):
    def assert_enlarged(self, found, what):
        self.assertGreaterEqual(len(found), 100, f"{what}: too few cells")
        self.assertLessEqual(found.count(None), 4, f"{what}: cells that are not our pictures enlarged")

    def test_a_saver_copied_anywhere_shows_our_pieces_scaled_at_144_dpi(self):
        # Wine has one DPI for a whole prefix: 144 gets a prefix of its own,
        # so no other test meets it.
        e2e.own_prefix(self, "-dpi144")
        self.clear_settings()
        e2e.reg_add(e2e.DESKTOP_KEY, "LogPixels", "144", "REG_DWORD")
        # Only the .scr in its folder, another folder current, no settings:
        # the image built into the saver, and no message about it.
        folder, elsewhere = tempfile.mkdtemp(prefix="veloma-alone-"), tempfile.mkdtemp(prefix="veloma-cwd-")
        self.addCleanup(shutil.rmtree, folder, True)
        self.addCleanup(shutil.rmtree, elsewhere, True)
        scr = shutil.copy(e2e.need("VELOMA_SCR"), folder)
        proc = self.start("/c", scr=scr, cwd=elsewhere)
        info = e2e.wait_for_window(e2e.DIALOG_TITLE)
        self.assertEqual(e2e.probe("VelomaSS").count, 0, "a message box came up")
        self.assertEqual(e2e.control(info, 1000).text, "velomass.bmp")
        time.sleep(2.0)
        # The preview's cells are 24 pixels at 96 DPI, the full screen's 32.
        self.assert_enlarged(e2e.read_cells(e2e.grab(), e2e.preview_rect(info), 36), "preview")
        e2e.click(e2e.control(info, 1).rect)  # OK
        self.assert_ends(proc, "the configure run", 60)
        self.assertEqual(e2e.reg_values(e2e.SYSTEM_KEY)["Bitmap"], ("REG_SZ", "velomass.bmp"))

        e2e.xdotool("mousemove", "200", "150")
        proc = self.start_saver(scr=scr, cwd=elsewhere)
        screen = e2e.grab()
        self.assert_enlarged(e2e.read_cells(screen, (0, 0, *screen.size), 48), "full screen")
        e2e.xdotool("key", "space")
        self.assert_ends(proc, "the saver", 10)


if __name__ == "__main__":
    unittest.main()
