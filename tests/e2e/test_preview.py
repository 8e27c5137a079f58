"""The preview switch across processes, with preview_host as the display
settings: geometry and lifetime of the board window, and the runs that
must end at once without a window."""
import unittest

import veloma_e2e as e2e

FULL_CLIENT = "0,0,152,112"


class PreviewTest(unittest.TestCase):
    def assert_report(self, report, **want):
        for key, value in want.items():
            self.assertEqual(report.get(key), value, f"{key}: got {report.get(key)!r}, wanted {value!r}; report {report}")

    def test_board_fills_the_host_and_ends_with_it(self):
        e2e.reg_delete_key(e2e.SAVER_KEY)
        report = e2e.run_preview_host(args="/p {hwnd}", life_ms=2500, wait_exit_ms=2000)
        self.assert_report(report, host_client="152x112", child_started="1", child_windows="1",
                           child_rect=FULL_CLIENT, child_visible="1", top_windows="0",
                           child_ended_before_destroy="0", child_ended="1", child_exit_code="0")
        # WS_CHILD | WS_VISIBLE, as the display settings expect of a preview.
        self.assertEqual(int(report["child_style"], 16) & 0xFFFF0000, 0x50000000, report)
        # The preview read its settings: a first run creates both keys and writes nothing.
        for key in (e2e.SYSTEM_KEY, e2e.SOUND_KEY):
            self.assertEqual(e2e.reg_values(key), {}, f"{key} after a first preview run")

    def test_colon_form_of_the_handle(self):
        report = e2e.run_preview_host(args="/p:{hwnd}", life_ms=2000, wait_exit_ms=2000)
        self.assert_report(report, child_windows="1", child_rect=FULL_CLIENT, child_ended="1")

    def test_runs_that_end_at_once_without_a_window(self):
        cases = [
            "/p",             # no handle
            "/p 0",
            "/p 1",           # names no window
            "/p garbage",
            "/p -5",
            "/p 99999999999999999999",
            "/x",
            "--p {hwnd}",     # not a switch
            "/pp {hwnd}",
        ]
        for args in cases:
            with self.subTest(args=args):
                report = e2e.run_preview_host(args=args, life_ms=20000, until_exit=True)
                self.assert_report(report, child_started="1", child_ended_before_destroy="1", child_ended="1",
                                   child_windows="0", top_windows="0", child_exit_code="0")

    def test_two_previews_each_get_their_board(self):
        first = e2e.start_preview_host(life_ms=4000, wait_exit_ms=2000, title="Veloma Preview Host 1")
        second = e2e.start_preview_host(life_ms=4000, wait_exit_ms=2000, title="Veloma Preview Host 2")
        reports = [e2e.read_report(*first, timeout=90), e2e.read_report(*second, timeout=90)]
        for n, report in enumerate(reports, 1):
            with self.subTest(host=n):
                self.assert_report(report, child_windows="1", child_rect=FULL_CLIENT, child_ended="1",
                                   child_exit_code="0")


if __name__ == "__main__":
    unittest.main()
