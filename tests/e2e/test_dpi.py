"""The saver on a display of 144 DPI (150 %), as a user there sees it: the
full-screen cells and the settings dialog with its preview scaled, every
picture enlarged in whole pixels."""
import os
import subprocess
import time
import unittest

from PIL import Image

import veloma_e2e as e2e

DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
SAVER_TITLE = "^VelomaScreenSaver$"
SETTINGS_TITLE = "Veloma Screen Saver"
PIECE = 32


def pictures():
    """Every 32-pixel picture of our piece image, as rows of RGB pixels."""
    path = os.path.join(e2e.need("VELOMA_SOURCE_DIR"), "res", "velomass.bmp")
    with Image.open(path) as image:
        image = image.convert("RGB")
        pixels = image.load()
        return [[[pixels[x + i, y + j] for i in range(PIECE)] for j in range(PIECE)]
                for y in range(0, image.height, PIECE) for x in range(0, image.width, PIECE)]


def sources(size):
    """For each pixel of a cell `size` wide, the picture's pixels it may show
    when enlarged by whole pixels, whichever way the stretch rounds."""
    return [sorted({d * PIECE // size, ((d + 1) * PIECE - 1) // size}) for d in range(size)]


def unmatched_cells(image, box, size, known):
    """The grid of `size`-pixel cells centred in `box` of the screenshot: the
    count of cells, and those that are not one of our pictures enlarged
    without blending."""
    pixels = image.load()
    left, top, right, bottom = box
    cols, rows = (right - left) // size, (bottom - top) // size
    x0, y0 = left + (right - left - cols * size) // 2, top + (bottom - top - rows * size) // 2
    src = sources(size)
    # Pixels that can show only one source pixel pick the candidate picture.
    single = [d for d in range(size) if len(src[d]) == 1]
    by_key = {}
    for p in known:
        by_key.setdefault(tuple(p[src[j][0]][src[i][0]] for j in single for i in single), []).append(p)
    bad = []
    for cy in range(rows):
        for cx in range(cols):
            ox, oy = x0 + cx * size, y0 + cy * size
            candidates = by_key.get(tuple(pixels[ox + i, oy + j] for j in single for i in single), [])
            if not any(all(pixels[ox + i, oy + j] in {p[sy][sx] for sy in src[j] for sx in src[i]}
                           for j in range(size) for i in range(size)) for p in candidates):
                bad.append((cx, cy))
    return cols * rows, bad


class HighDpiTest(e2e.SaverCase):
    def setUp(self):
        # Wine has one DPI for a whole prefix: 144 gets a prefix of its own,
        # so no other test meets it.
        info = subprocess.run(e2e.wine("--info"), capture_output=True, text=True, timeout=60).stdout
        self.prefix = info.split("prefix=", 1)[1].strip() + "-dpi144"
        self.default_prefix = os.environ.get("WINEPREFIX")
        super().setUp()
        self.addCleanup(self.use_prefix, self.default_prefix)
        self.use_prefix(self.prefix)
        code, out = e2e.reg("add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "144", "/f")
        self.assertEqual(code, 0, out)
        e2e.reg("delete", e2e.SAVER_KEY, "/f")
        self.addCleanup(subprocess.run, e2e.wine("--server", "-k"), env=dict(os.environ, WINEPREFIX=self.prefix),
                        capture_output=True, timeout=60)
        self.use_prefix(self.default_prefix)

    def use_prefix(self, prefix):
        if prefix:
            os.environ["WINEPREFIX"] = prefix
        else:
            os.environ.pop("WINEPREFIX", None)

    def settings_dialog(self):
        """Opens the settings dialog; returns its OK button, its preview and a screenshot."""
        proc = self.start("/c")
        info = e2e.wait_for_window(SETTINGS_TITLE)
        time.sleep(2.0)
        preview = [c.rect for c in info.controls if c.id == 0 and c.cls.startswith("Veloma")]
        self.assertEqual(len(preview), 1, f"the preview board: {[(c.id, c.cls) for c in info.controls]}")
        shot = e2e.grab()
        e2e.xdotool("key", "Escape")
        code, err = e2e.finish(proc, 60, "the configure run")
        self.assertEqual(code, 0, err[-1000:])
        return e2e.control(info, 1).rect, preview[0], shot

    def test_cells_and_settings_dialog_scale_at_144_dpi(self):
        known = pictures()
        ok96, preview96, _ = self.settings_dialog()

        self.use_prefix(self.prefix)
        ok, preview, shot = self.settings_dialog()
        for what, small, large in (("OK button", ok96, ok), ("preview", preview96, preview)):
            for axis in (0, 1):
                self.assertGreaterEqual(large[axis + 2] - large[axis], 1.3 * (small[axis + 2] - small[axis]),
                                        f"the {what} at 144 DPI {large}, at 96 {small}")
        # Its cells are 24 pixels at 96 DPI.
        count, bad = unmatched_cells(shot, preview, 36, known)
        self.assertGreaterEqual(count, 100)
        self.assertLessEqual(len(bad), 4, f"preview cells that are not our 36-pixel pictures: {bad[:10]}")

        e2e.xdotool("mousemove", "200", "150")
        proc = self.start("/s")
        self.assertTrue(e2e.wait_for(lambda: e2e.xdotool_search(SAVER_TITLE) or proc.poll() is not None, 30),
                        "the saver window did not appear")
        time.sleep(1.5)
        screen = e2e.grab()
        count, bad = unmatched_cells(screen, (0, 0, *screen.size), 48, known)
        self.assertGreaterEqual(count, 100)
        self.assertLessEqual(len(bad), 4, f"full-screen cells that are not our 48-pixel pictures: {bad[:10]}")
        e2e.xdotool("key", "space")
        code, err = e2e.finish(proc, 10, "the saver")
        self.assertEqual(code, 0, err[-1000:])


if __name__ == "__main__":
    unittest.main()
