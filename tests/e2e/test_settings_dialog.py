"""The configure mode as a user meets it: the settings dialog with its
playing preview, one dialog however often it is asked for, what OK stores,
and the question for a missing piece image in the user's language. The
dialogs its buttons open are the Wine tests'."""
import os
import re
import shutil
import tempfile
import time
import unittest

import veloma_e2e as e2e

# What the user reads in each language: the missing-image message (its line
# break shown as |) and the buttons whose words differ.
JAPANESE = ("VelomaSS標準コマデータファイルがみつかりません。|適当なコマデータファイルを選択して下さい。",
            {2: "ｷｬﾝｾﾙ", 16: "ﾊﾞｰｼﾞｮﾝ情報...", 1030: "ﾊﾟｽﾜｰﾄﾞの変更...", 1044: "指定色の設定..."})
ENGLISH = ("The VelomaSS piece image file was not found.|Please choose a piece image file.",
           {2: "Cancel", 16: "About...", 1030: "Password...", 1044: "Fill Color..."})


# Kana, kanji, full-width and half-width forms, Japanese punctuation.
JAPANESE_TEXT = re.compile("[\u3000-\u9fff\uff00-\uffef]")


class SettingsDialogTest(e2e.SaverCase):
    def test_configure_opens_the_settings_dialog_and_a_second_run_none(self):
        e2e.reg_add(e2e.SYSTEM_KEY, "BlankOption", "1")
        e2e.reg_add(e2e.SYSTEM_KEY, "BCCol", "804000")
        proc = self.start()
        info = e2e.wait_for_window(e2e.DIALOG_TITLE)
        self.assert_ends(self.start("/c"), "the second configure run", 60)
        self.assertEqual(e2e.probe(e2e.DIALOG_TITLE).count, 1, "a second settings dialog opened")

        # The preview plays: pictures, and they move; a loaded machine may
        # starve its timer for a while.
        preview = e2e.preview_rect(info)
        time.sleep(2.5)
        before = e2e.grab(preview)
        self.assertGreater(len(set(before.getdata())), 8, "the preview shows no pictures")
        self.assertTrue(e2e.wait_for(lambda: e2e.grab(preview).tobytes() != before.tobytes(), 5, step=0.5),
                        "the preview does not move")

        e2e.click(e2e.control(info, 1).rect)  # OK
        self.assert_ends(proc, "the configure run", 60)
        want = {
            e2e.SYSTEM_KEY: {
                "Bitmap": e2e.winpath(os.path.join(os.path.dirname(e2e.need("VELOMA_SCR")), "velomass.bmp")),
                "AnimIntrvl": "50", "BlackOutTime": "0", "AnimBMPOption": "0", "CellSize": "32", "CellArr": "1",
                "CellNo": "5", "BlankOption": "1", "DoviOption": "0", "BCCol": "804000"},
            e2e.SOUND_KEY: {"MIDI": "", "Select": "", "Disappear": "", "BGM": "0", "Sound": "0",
                            "BGMRandomPlay": "1"},
        }
        for key, values in want.items():
            self.assertEqual(e2e.reg_values(key), {name: ("REG_SZ", value) for name, value in values.items()}, key)

    def test_missing_piece_image_asks_for_one_in_the_users_language(self):
        # Japanese in Japan, English for everyone else: the Wine tests hold
        # the English texts under an English locale, this the fall-back.
        empty = tempfile.mkdtemp(prefix="veloma-nobmp-")
        self.addCleanup(shutil.rmtree, empty, True)
        e2e.reg_add(e2e.SYSTEM_KEY, "Bitmap", r"C:\no\such.bmp")
        for lang, (message, buttons) in (("ja_JP.UTF-8", JAPANESE), ("de_DE.UTF-8", ENGLISH)):
            with self.subTest(lang=lang):
                proc = self.start("/c:1234", cwd=empty, LANG=lang, LC_ALL=lang)
                box = e2e.wait_for_window("VelomaSS")
                self.assertIn(message, [c.text for c in box.controls])
                ok = [c for c in box.controls if c.cls.lower() == "button"]
                self.assertEqual(len(ok), 1, "the message has only an OK button")
                e2e.click(ok[0].rect)
                time.sleep(2.0)
                e2e.xdotool("key", "Escape")  # the chooser that follows
                info = e2e.wait_for_window(e2e.DIALOG_TITLE)
                self.assertEqual(e2e.control(info, 1000).text, "velomass.bmp")
                self.assertEqual({i: e2e.control(info, i).text for i in buttons}, buttons)
                if buttons is ENGLISH[1]:
                    self.assertEqual([c.text for c in info.controls + box.controls if JAPANESE_TEXT.search(c.text)], [])
                e2e.click(e2e.control(info, 2).rect)
                self.assert_ends(proc, "the configure run", 60)


if __name__ == "__main__":
    unittest.main()
