"""The preview switch across processes, with preview_host as the display
settings: where the board goes, how long it lives, and the runs that must
end at once without a window."""
import unittest

import veloma_e2e as e2e


class PreviewTest(unittest.TestCase):
    def assert_report(self, report, **want):
        got = {key: report.get(key) for key in want}
        self.assertEqual(got, want, f"report {report}")

    def test_board_fills_the_host_and_ends_with_it(self):
        e2e.reg("delete", e2e.SAVER_KEY, "/f")
        # Two monitors at once, one handed its handle in the colon form.
        hosts = [e2e.start_preview_host(args, f"Veloma Preview Host {n}", life_ms=4000)
                 for n, args in enumerate(("/p {hwnd}", "/p:{hwnd}"))]
        for args, report in zip(("/p {hwnd}", "/p:{hwnd}"), [e2e.read_report(*host) for host in hosts]):
            with self.subTest(args=args):
                # The whole client area, not the host's screen rectangle.
                self.assert_report(report, child_windows="1", child_rect="0,0,152,112", top_windows="0",
                                   child_ended_before_destroy="0", child_ended="1", child_exit_code="0")
                # WS_CHILD | WS_VISIBLE, as the display settings expect of a preview.
                self.assertEqual(int(report["child_style"]) & 0xFFFF0000, 0x50000000, report)
        # The preview read its settings: a first run creates both keys and writes nothing.
        for key in (e2e.SYSTEM_KEY, e2e.SOUND_KEY):
            self.assertEqual(e2e.reg_values(key), {}, f"{key} after a first preview run")

        for args in ("/p", "/p 0", "/p 1", "/p garbage", "/p -5", "/p 99999999999999999999", "/x", "--p {hwnd}",
                     "/pp {hwnd}"):
            with self.subTest(args=args):
                report = e2e.read_report(*e2e.start_preview_host(args, "Veloma Preview Host", 20000, True))
                self.assert_report(report, child_ended_before_destroy="1", child_ended="1", child_windows="0",
                                   top_windows="0", child_exit_code="0")


if __name__ == "__main__":
    unittest.main()
