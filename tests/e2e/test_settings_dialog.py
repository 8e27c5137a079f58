"""The configure mode as a user meets it: the settings dialog with its
playing preview, colour dialog and file chooser, one dialog however often
it is asked for, what OK stores, and the question for a missing piece
image."""
import os
import shutil
import tempfile
import time
import unittest

from PIL import Image

import veloma_e2e as e2e

TITLE = "Veloma Screen Saver"
COLOUR_TITLE = "Color設定"

# What the user reads in each language: the missing-image message (its line
# break shown as |) and the buttons whose words differ.
JAPANESE = ("VelomaSS標準コマデータファイルがみつかりません。|適当なコマデータファイルを選択して下さい。",
            {2: "ｷｬﾝｾﾙ", 16: "ﾊﾞｰｼﾞｮﾝ情報...", 1030: "ﾊﾟｽﾜｰﾄﾞの変更...", 1044: "指定色の設定..."})
ENGLISH = ("The VelomaSS piece image file was not found.|Please choose a piece image file.",
           {2: "Cancel", 16: "About...", 1030: "Password...", 1044: "Fill Color..."})


def japanese(text):
    """Kana, kanji, full-width and half-width forms, Japanese punctuation."""
    return any("\u3000" <= c <= "\u9fff" or "\uff00" <= c <= "\uffef" for c in text)


class SettingsDialogTest(e2e.SaverCase):
    def end(self, proc, what):
        code, err = e2e.finish(proc, 60, what)
        self.assertEqual(code, 0, f"{what} ended with {code}: {err[-1000:]}")

    def test_configure_opens_the_settings_dialog_and_a_second_run_none(self):
        e2e.reg_add(e2e.SYSTEM_KEY, "BlankOption", "1")
        e2e.reg_add(e2e.SYSTEM_KEY, "BCCol", "804000")
        proc = self.start()
        info = e2e.wait_for_window(TITLE)
        self.end(self.start("/c"), "the second configure run")
        self.assertEqual(e2e.probe(TITLE).count, 1, "a second settings dialog opened")

        # The preview plays: pictures, and they move; a loaded machine may
        # starve its timer for a while.
        preview = [c.rect for c in info.controls if c.id == 0 and c.cls.startswith("Veloma")]
        self.assertEqual(len(preview), 1, f"the preview board: {[(c.id, c.cls) for c in info.controls]}")
        time.sleep(2.5)
        before = e2e.grab(preview[0])
        self.assertGreater(len(set(before.getdata())), 8, "the preview shows no pictures")
        self.assertTrue(e2e.wait_for(lambda: e2e.grab(preview[0]).tobytes() != before.tobytes(), 5, step=0.5),
                        "the preview does not move")

        # The colour dialog shows the pieces enlarged beside its sample.
        e2e.click(e2e.control(info, 1044).rect)
        colour = e2e.wait_for_window(COLOUR_TITLE)
        time.sleep(0.5)
        sample = e2e.control(colour, 1040).rect
        boxes = e2e.grab((sample[2] + 10, sample[1], sample[2] + 138, sample[1] + 64))
        self.assertGreater(len(set(boxes.getdata())), 4, "the image boxes show no pieces")
        e2e.click(e2e.control(colour, 2).rect)
        self.assertTrue(e2e.wait_for(lambda: e2e.probe(COLOUR_TITLE).count == 0, 30), "the colour dialog stayed")

        # Music chosen in the system's file dialog.
        music = e2e.winpath(os.path.join(e2e.need("VELOMA_SOURCE_DIR"), "samples", "loop1.mid"))
        e2e.click(e2e.control(info, 1004).rect)
        time.sleep(2.0)
        e2e.xdotool("type", "--delay", "20", music)
        e2e.xdotool("key", "Return")
        self.assertTrue(e2e.wait_for(lambda: e2e.control(e2e.probe(TITLE), 1007).text == music, 10),
                        "the chosen music is not shown")

        e2e.click(e2e.control(info, 1).rect)  # OK
        self.end(proc, "the configure run")
        want = {
            e2e.SYSTEM_KEY: {
                "Bitmap": e2e.winpath(os.path.join(os.path.dirname(e2e.need("VELOMA_SCR")), "velomass.bmp")),
                "AnimIntrvl": "50", "BlackOutTime": "0", "AnimBMPOption": "0", "CellSize": "32", "CellArr": "1",
                "CellNo": "5", "BlankOption": "1", "DoviOption": "0", "BCCol": "804000"},
            e2e.SOUND_KEY: {"MIDI": music, "Select": "", "Disappear": "", "BGM": "0", "Sound": "0",
                            "BGMRandomPlay": "1"},
        }
        for key, values in want.items():
            self.assertEqual(e2e.reg_values(key), {name: ("REG_SZ", value) for name, value in values.items()}, key)

    def test_a_fresh_install_opens_on_our_pieces_without_a_message(self):
        # The saver alone in its folder, another folder current, no settings.
        proc = self.start_alone("/c")
        info = e2e.wait_for_window(TITLE)
        self.assertEqual(e2e.probe("VelomaSS").count, 0, "a message box came up")
        self.assertEqual(e2e.control(info, 1000).text, "velomass.bmp")
        # The preview shows our pictures: scaled by whole pixels, every
        # colour is one of our image's, or the black around the board.
        preview = [c.rect for c in info.controls if c.id == 0 and c.cls.startswith("Veloma")][0]
        time.sleep(2.0)
        with Image.open(os.path.join(e2e.need("VELOMA_SOURCE_DIR"), "res", "velomass.bmp")) as image:
            ours = set(image.convert("RGB").getdata()) | {(0, 0, 0)}
        shown = set(e2e.grab(preview).getdata())
        self.assertGreater(len(shown), 8, "the preview shows no pictures")
        self.assertLessEqual(shown, ours, f"colours that are not ours: {sorted(shown - ours)[:10]}")
        e2e.click(e2e.control(info, 1).rect)  # OK
        self.end(proc, "the configure run")
        self.assertEqual(e2e.reg_values(e2e.SYSTEM_KEY)["Bitmap"], ("REG_SZ", "velomass.bmp"))

    def missing_image_in(self, lang, texts):
        """The settings dialog in the user's language, through the question
        for a missing piece image."""
        message, buttons = texts
        empty = tempfile.mkdtemp(prefix="veloma-nobmp-")
        self.addCleanup(shutil.rmtree, empty, True)
        e2e.reg_add(e2e.SYSTEM_KEY, "Bitmap", r"C:\no\such.bmp")
        proc = self.start("/c:1234", cwd=empty, lang=lang)
        box = e2e.wait_for_window("VelomaSS")
        self.assertIn(message, [c.text for c in box.controls])
        ok = [c for c in box.controls if c.cls.lower() == "button"]
        self.assertEqual(len(ok), 1, "the message has only an OK button")
        e2e.click(ok[0].rect)
        time.sleep(2.0)
        e2e.xdotool("key", "Escape")  # the chooser that follows
        info = e2e.wait_for_window(TITLE)
        self.assertEqual(e2e.control(info, 1000).text, "velomass.bmp")
        self.assertEqual({i: e2e.control(info, i).text for i in buttons}, buttons)
        if texts is ENGLISH:
            self.assertEqual([c.text for c in info.controls + box.controls if japanese(c.text)], [])
        e2e.click(e2e.control(info, 2).rect)
        self.end(proc, "the configure run")

    def test_missing_piece_image_asks_for_one_in_japanese(self):
        self.missing_image_in("ja_JP.UTF-8", JAPANESE)

    def test_missing_piece_image_asks_for_one_in_english(self):
        self.missing_image_in("en_US.UTF-8", ENGLISH)

    def test_german_users_get_english(self):
        self.missing_image_in("de_DE.UTF-8", ENGLISH)

if __name__ == "__main__":
    unittest.main()
