"""The configure mode as a user meets it: the settings dialog with its
playing preview, the colour, MIDI list and About dialogs, the single
instance, and the message for a missing piece image. Screenshots go to
screenshots/ in the build tree."""
import os
import re
import shutil
import tempfile
import time
import unittest

import veloma_e2e as e2e

TITLE = "Veloma Screen Saver"
COLOUR_TITLE = "Color設定"
MIDI_LIST_TITLE = "MIDIファイルリストの設定"
ABOUT_TITLE = "ﾊﾞｰｼﾞｮﾝ情報"
MISSING_LINES = "VelomaSS標準コマデータファイルがみつかりません。|適当なコマデータファイルを選択して下さい。"


def product_version():
    with open(os.path.join(e2e.need("VELOMA_SOURCE_DIR"), "CMakeLists.txt"), encoding="utf-8") as f:
        return re.search(r"project\(\S+ VERSION ([0-9.]+)", f.read()).group(1)


def region(shot, rect):
    from PIL import Image
    with Image.open(shot) as image:
        return image.convert("RGB").crop(rect)


def colours(image):
    return len(set(image.getdata()))


class SettingsDialogTest(unittest.TestCase):
    def setUp(self):
        e2e.reg_delete_key(e2e.SAVER_KEY)
        self.procs = []

    def tearDown(self):
        for proc in self.procs:
            if proc.poll() is None:
                e2e._kill_group(proc)

    def start(self, *args, cwd=None):
        proc = e2e.start_wine([e2e.scr_path(), *args], cwd=cwd or e2e.need("VELOMA_BINARY_DIR"))
        self.procs.append(proc)
        return proc

    def end(self, proc, what):
        code, err = e2e.finish(proc, 60, what)
        self.assertEqual(code, 0, f"{what} ended with {code}: {err[-1000:]}")

    def shot(self, name, rect):
        full = os.path.join(e2e.screenshot_dir(), "screen.png")
        e2e.screenshot(full)
        return e2e.crop_window(full, rect, os.path.join(e2e.screenshot_dir(), name))

    def test_no_argument_and_the_colon_form_open_the_settings_dialog(self):
        for args in ((), ("/c:1234",)):
            with self.subTest(args=args):
                e2e.reg_delete_key(e2e.SAVER_KEY)
                proc = self.start(*args)
                info = e2e.wait_for_window(TITLE)
                self.assertEqual(info.count, 1)
                self.assertEqual(info.control(2).text, "ｷｬﾝｾﾙ")
                self.assertEqual(info.control(16).text, "ﾊﾞｰｼﾞｮﾝ情報...")
                self.assertTrue(info.control(1031).checked, "x 1 is not checked on a first run")
                e2e.click_control(info, 2)
                self.end(proc, f"configure run {args}")
                # Cancel writes nothing: the keys are there, empty.
                for key in (e2e.SYSTEM_KEY, e2e.SOUND_KEY):
                    self.assertEqual(e2e.reg_values(key), {}, f"{key} after Cancel")

    def test_a_second_configure_run_opens_no_second_dialog(self):
        first = self.start()
        info = e2e.wait_for_window(TITLE)
        second = self.start("/c")
        self.end(second, "the second configure run")
        self.assertEqual(e2e.probe(TITLE).count, 1, "a second settings dialog opened")
        e2e.click_control(info, 1)  # OK
        self.end(first, "the first configure run")
        system = e2e.reg_values(e2e.SYSTEM_KEY)
        sound = e2e.reg_values(e2e.SOUND_KEY)
        want_system = {
            "Bitmap": e2e.winpath(os.path.join(e2e.need("VELOMA_BINARY_DIR"), "velomass.bmp")),
            "AnimIntrvl": "50", "BlackOutTime": "0", "AnimBMPOption": "0", "CellSize": "32", "CellArr": "1",
            "CellNo": "5", "BlankOption": "0", "DoviOption": "0", "BCCol": "000000",
        }
        want_sound = {"MIDI": "", "Select": "", "Disappear": "", "BGM": "0", "Sound": "0", "BGMRandomPlay": "1"}
        self.assertEqual({k: v[1] for k, v in system.items()}, want_system)
        self.assertEqual({k: v[1] for k, v in sound.items()}, want_sound)

    def test_the_dialogs_on_screen(self):
        e2e.reg_add(e2e.SYSTEM_KEY, "BlankOption", "1")
        e2e.reg_add(e2e.SYSTEM_KEY, "BCCol", "804000")
        proc = self.start()
        info = e2e.wait_for_window(TITLE)
        preview = [c for c in info.controls if c.id == 0 and c.cls.startswith("Veloma")]
        self.assertEqual(len(preview), 1, f"the preview board: {[(c.id, c.cls) for c in info.controls]}")
        place = preview[0].rect

        # The preview plays: pictures, and they move.
        time.sleep(2.5)
        first = self.shot("settings-dialog.png", info.rect)
        before = region(first, tuple(a - b for a, b in zip(place, info.rect[:2] * 2)))
        self.assertGreater(colours(before), 8, "the preview shows no pictures")
        # A loaded machine may starve the timer for a while: look for a change over several seconds.
        for _ in range(10):
            time.sleep(0.5)
            later = self.shot("settings-dialog-later.png", info.rect)
            after = region(later, tuple(a - b for a, b in zip(place, info.rect[:2] * 2)))
            if list(before.getdata()) != list(after.getdata()):
                break
        self.assertNotEqual(list(before.getdata()), list(after.getdata()), "the preview does not move")

        # The colour dialog with the enlarged pieces.
        e2e.click_control(info, 1044)
        colour = e2e.wait_for_window(COLOUR_TITLE)
        time.sleep(0.5)
        self.shot("colour-dialog.png", colour.rect)
        sample = colour.control(1040).rect
        boxes = region(os.path.join(e2e.screenshot_dir(), "screen.png"),
                       (sample[2] + 10, sample[1], sample[2] + 138, sample[1] + 64))
        self.assertGreater(colours(boxes), 4, "the image boxes show no pieces")
        self.assertEqual([colour.control(i).text for i in (1, 2)], ["OK", "ｷｬﾝｾﾙ"])
        e2e.click_control(colour, 2)
        self.assertTrue(e2e.wait_for_no_window(COLOUR_TITLE), "the colour dialog stayed")

        # About, from its button.
        e2e.click_control(info, 16)
        about = e2e.wait_for_window(ABOUT_TITLE)
        time.sleep(0.3)
        self.shot("about-dialog.png", about.rect)
        self.assertIn(f"{TITLE} {product_version()}", about.texts())
        e2e.click_control(about, 1)
        self.assertTrue(e2e.wait_for_no_window(ABOUT_TITLE), "the About dialog stayed")

        # A play list chosen with "BGM..." asks for its order.
        play_list = e2e.winpath(os.path.join(e2e.need("VELOMA_SOURCE_DIR"), "samples", "velomass.lst"))
        e2e.click_control(info, 1004)
        time.sleep(2.0)
        e2e.xdotool("type", "--delay", "20", play_list)
        e2e.xdotool("key", "Return")
        order = e2e.wait_for_window(MIDI_LIST_TITLE)
        time.sleep(0.3)
        self.shot("midi-list-dialog.png", order.rect)
        self.assertEqual(order.control(1008).text, "リストファイルの順番に演奏")
        self.assertEqual(order.control(1009).text, "リストファイルからランダムに選んで演奏")
        self.assertTrue(order.control(1009).checked, "random order is the first-run value")
        e2e.click_control(order, 1008)
        e2e.click_control(order, 1)
        self.assertTrue(e2e.wait_for_no_window(MIDI_LIST_TITLE), "the MIDI list dialog stayed")
        self.assertEqual(e2e.probe(TITLE).control(1007).text, play_list)

        e2e.click_control(info, 1)  # OK
        self.end(proc, "the configure run")
        sound = e2e.reg_values(e2e.SOUND_KEY)
        self.assertEqual(sound["MIDI"][1], play_list)
        self.assertEqual(sound["BGMRandomPlay"][1], "0")
        self.assertEqual(e2e.reg_values(e2e.SYSTEM_KEY)["BCCol"][1], "804000")

    def test_missing_piece_image_asks_for_one(self):
        empty = tempfile.mkdtemp(prefix="veloma-nobmp-")
        try:
            e2e.reg_add(e2e.SYSTEM_KEY, "Bitmap", r"C:\no\such.bmp")
            proc = self.start(cwd=empty)
            box = e2e.wait_for_window("VelomaSS")
            time.sleep(0.3)
            self.shot("missing-bitmap.png", box.rect)
            self.assertIn(MISSING_LINES, box.texts())
            ok = [c for c in box.controls if c.cls.lower() == "button"]
            self.assertEqual(len(ok), 1, "the message has only an OK button")
            e2e.click_at(*ok[0].centre())
            time.sleep(2.0)
            e2e.xdotool("key", "Escape")  # the chooser that follows
            info = e2e.wait_for_window(TITLE)
            self.assertEqual(info.control(1000).text, "velomass.bmp")
            e2e.click_control(info, 2)
            self.end(proc, "the configure run")
        finally:
            shutil.rmtree(empty, ignore_errors=True)


if __name__ == "__main__":
    unittest.main()
