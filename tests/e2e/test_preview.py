"""The preview switch across processes, with preview_host as the display
settings: where the board goes, how long it lives, and the runs that must
end at once without a window."""
import tempfile
import unittest

import veloma_e2e as e2e


def preview_host(args, life_ms, *until_exit):
    """Starts the display settings' stand-in on the saver; returns it and the
    file its report goes to."""
    report = tempfile.TemporaryFile()
    proc = e2e.start_wine([e2e.need("VELOMA_PREVIEW_HOST"), e2e.winpath(e2e.need("VELOMA_SCR")), args, str(life_ms),
                           *until_exit], stdout=report)
    return proc, report


def read_report(proc, report):
    code, err = e2e.finish(proc, 90)
    if code != 0:
        raise AssertionError(f"preview_host failed with {code}: {err[-2000:]}")
    report.seek(0)
    return dict(line.split("=", 1) for line in report.read().decode("utf-8").splitlines() if "=" in line)


class PreviewTest(unittest.TestCase):
    def assert_report(self, report, **want):
        got = {key: report.get(key) for key in want}
        self.assertEqual(got, want, f"report {report}")

    def test_board_fills_the_host_and_ends_with_it(self):
        e2e.reg("delete", e2e.SAVER_KEY, "/f")
        # Two monitors at once, one handed its handle in the colon form.
        hosts = [preview_host(args, 4000) for args in ("/p {hwnd}", "/p:{hwnd}")]
        for args, report in zip(("/p {hwnd}", "/p:{hwnd}"), [read_report(*host) for host in hosts]):
            with self.subTest(args=args):
                # The whole client area, not the host's screen rectangle.
                self.assert_report(report, child_windows="1", child_rect="0,0,152,112", top_windows="0",
                                   child_ended_before_destroy="0", child_ended="1", child_exit_code="0")
                # WS_CHILD | WS_VISIBLE, as the display settings expect of a preview.
                self.assertEqual(int(report["child_style"]) & 0xFFFF0000, 0x50000000, report)
        # The preview read its settings: a first run creates both keys and writes nothing.
        for key in (e2e.SYSTEM_KEY, e2e.SOUND_KEY):
            self.assertEqual(e2e.reg_values(key), {}, f"{key} after a first preview run")

        # No handle, one that is no window, a switch that is no preview.
        for args in ("/p", "/p 1", "/p garbage", "/pp {hwnd}"):
            with self.subTest(args=args):
                report = read_report(*preview_host(args, 20000, "--until-exit"))
                self.assert_report(report, child_ended_before_destroy="1", child_ended="1", child_windows="0",
                                   top_windows="0", child_exit_code="0")


if __name__ == "__main__":
    unittest.main()
