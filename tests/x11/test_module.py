#!/usr/bin/python3
"""The module under Xvfb, as XScreenSaver runs it: on the root window, in a
window someone else made (followed through a resize and an expose, on a
server without shared memory), ended by SIGTERM or by its window going
away, and black with a message for a piece image it cannot use.

  test_module.py VELOMASS TEST_WINDOW"""
import os
import signal
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xshot import Xvfb, check_board, read_board, write_test_image  # noqa: E402

VELOMASS, TEST_WINDOW = sys.argv[1:3] if len(sys.argv) >= 3 else (None, None)


class ModuleTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.image = os.path.join(cls.tmp.name, "flat.bmp")
        write_test_image(cls.image)

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def start(self, screen, *args):
        module = subprocess.Popen([VELOMASS, *args], env=screen.env, stderr=subprocess.PIPE, text=True)
        self.addCleanup(self.stop, module)
        return module

    def host_window(self, screen, x, y, width, height):
        """A window of another program, and its id."""
        host = subprocess.Popen([TEST_WINDOW, str(x), str(y), str(width), str(height)], env=screen.env,
                                stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.addCleanup(self.stop, host)
        return host, host.stdout.readline().strip()

    @staticmethod
    def stop(process):
        if process.poll() is None:
            process.kill()
        process.communicate()

    def board_in(self, screen, box, cell, within=3.0):
        """The board read from the screen once it shows one, or the last problem."""
        deadline = time.monotonic() + within
        while True:
            try:
                board = read_board(screen.shot(box), cell)
                problem = check_board(board)
            except ValueError as e:
                board, problem = None, str(e)
            if not problem or time.monotonic() > deadline:
                self.assertIsNone(problem, f"screen box {box}")
                return board
            time.sleep(0.2)

    def assert_ends_within_a_second(self, module, why):
        start = time.monotonic()
        try:
            module.wait(timeout=3)
        except subprocess.TimeoutExpired:
            self.fail(f"still running 3 s after {why}")
        self.assertLess(time.monotonic() - start, 1.0, why)
        self.assertEqual(module.returncode, 0, why)

    def test_root_board_decodes_cell_by_cell_and_sigterm_ends_it(self):
        # Not whole cells: the board sits centred with black margins.
        with Xvfb(650, 490) as screen:
            module = self.start(screen, "--root", "--image", self.image, "--cell-size", "40", "--speed", "20")
            board = self.board_in(screen, None, 40)
            self.assertEqual((len(board[0]), len(board)), (16, 12))
            # It plays: groups vanish and the board empties from the top.
            time.sleep(2.5)
            later = self.board_in(screen, None, 40)
            self.assertGreater(sum(p == (0, 0) for line in later for p in line), 1)
            module.send_signal(signal.SIGTERM)
            self.assert_ends_within_a_second(module, "SIGTERM")

    def test_window_of_another_program_is_fitted_resized_exposed_and_left_when_destroyed(self):
        # A server without shared memory: every picture goes through XPutImage.
        with Xvfb(640, 480, "-extension", "MIT-SHM") as screen:
            # The size of XScreenSaver's preview.
            host, window = self.host_window(screen, 30, 20, 100, 75)
            module = self.start(screen, "--window-id", window, "--image", self.image)
            board = self.board_in(screen, (30, 20, 100, 75), 32)
            self.assertEqual((len(board[0]), len(board)), (3, 2))

            subprocess.run(["xdotool", "windowsize", window, "330", "250"], env=screen.env, check=True)
            board = self.board_in(screen, (30, 20, 330, 250), 32)
            self.assertEqual((len(board[0]), len(board)), (10, 7))

            # Unmapped and mapped again, the window comes back black: only an
            # expose brings back the whole board before the play would.
            subprocess.run(["xdotool", "windowunmap", "--sync", window], env=screen.env, check=True)
            subprocess.run(["xdotool", "windowmap", "--sync", window], env=screen.env, check=True)
            self.board_in(screen, (30, 20, 330, 250), 32, within=0.8)

            host.stdin.write("d\n")
            host.stdin.flush()
            self.assert_ends_within_a_second(module, "its window was destroyed")

    def test_bad_piece_image_and_bad_value_give_a_message_and_a_black_still_window(self):
        with Xvfb(320, 240) as screen:
            host, window = self.host_window(screen, 0, 0, 320, 240)
            bad = os.path.join(self.tmp.name, "bad.bmp")
            with open(bad, "wb") as f:
                f.write(b"BM" + bytes(100))
            module = self.start(screen, "--window-id", window, "--image", bad, "--kinds", "9")
            time.sleep(1.0)
            self.assertIsNone(module.poll(), "the module ended")
            self.assertEqual(screen.shot().getextrema(), ((0, 0), (0, 0), (0, 0)), "not black")
            module.send_signal(signal.SIGTERM)
            self.assert_ends_within_a_second(module, "SIGTERM")
            lines = module.stderr.read().splitlines()
            self.assertEqual(len(lines), 2, lines)
            self.assertIn("--kinds", lines[0])
            self.assertIn(bad, lines[1])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
