#!/usr/bin/python3
"""The module under Xvfb, as XScreenSaver runs it: on the root window, in a
window someone else made (followed through a resize and an expose, on a
server without shared memory), ended by SIGTERM or by its window going
away; every line its settings file makes, through a shell; on screens of
16, 30 and 8 bits; the standard options and the daemon's window; and, for a
file it cannot use, the reason on the screen. Which files it refuses, and
where it draws for which options, are the host tests'.

  test_module.py VELOMASS TEST_WINDOW"""
import os
import resource
import shlex
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xshot import NAVY_EMPTY, Xvfb, empty_cell_shown, write_test_image  # noqa: E402

VELOMASS, TEST_WINDOW = sys.argv[1:3] if len(sys.argv) >= 3 else (None, None)
SETTINGS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "x11", "velomass.xml")


def settings_values(path):
    """Every argument the settings file can put on the command line, one
    setting at a time: each choice, each switch, a slider's ends and default."""
    root = ElementTree.parse(path).getroot()
    values = []
    for element in root.iter():
        if element.tag == "option" and element.get("arg-set"):
            values.append(element.get("arg-set"))
        elif element.tag == "boolean":
            values.append(element.get("arg-set") or element.get("arg-unset"))
        elif element.tag == "number":
            low, high = int(element.get("low")), int(element.get("high"))
            for v in (low, high, int(element.get("default"))):
                v = low + high - v if element.get("convert") == "invert" else v
                values.append(element.get("arg").replace("%", str(v)))
    return root.find("command").get("arg"), values


def limit_memory():
    # Today's reader ran into the gigabytes on /dev/zero: not on this machine.
    resource.setrlimit(resource.RLIMIT_AS, (1 << 30, 1 << 30))


class ModuleTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.image = os.path.join(cls.tmp.name, "flat.bmp")
        write_test_image(cls.image)
        cls.addClassCleanup(cls.tmp.cleanup)

    def start(self, screen, *args, env=None, shell=None):
        command = ["sh", "-c", "exec " + shell] if shell else [VELOMASS, *args]
        module = subprocess.Popen(command, env=env or screen.env, stderr=subprocess.PIPE, text=True,
                                  preexec_fn=limit_memory)
        self.addCleanup(self.stop, module)
        return module

    def assert_runs(self, module, what):
        if module.poll() is not None:
            self.fail(f"{what}: ended with {module.returncode}: {module.stderr.read()}")

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

    def board_in(self, screen, box, cell, **read):
        """The board read from the screen once it shows one in play."""
        board, problem = screen.board(box, cell, **read)
        self.assertIsNone(problem, f"screen box {box}")
        return board

    def assert_board_size(self, screen, box, cell, size, **read):
        board = self.board_in(screen, box, cell, **read)
        self.assertEqual((len(board[0]), len(board)), size, f"columns and rows in {box}")

    def assert_ends_within_a_second(self, module, why):
        start = time.monotonic()
        try:
            module.wait(timeout=3)
        except subprocess.TimeoutExpired:
            self.fail(f"still running 3 s after {why}")
        self.assertLess(time.monotonic() - start, 1.0, why)
        self.assertEqual(module.returncode, 0, why)

    def test_root_board_decodes_cell_by_cell_and_sigterm_ends_it(self):
        # Not whole cells: the board sits centred with black margins. The
        # standard options: -display instead of $DISPLAY, shortened names,
        # and options that change nothing here.
        with Xvfb(650, 490) as screen:
            module = self.start(screen, "-display", screen.display, "-root", "-del", "20000", "-vis", "default",
                                "-no-fps", "-pair", "-xrm", "*foo: bar", "-sync", "-geometry", "100x100", "-image",
                                self.image, "--cell-size", "40", "--speed", "20", env=dict(screen.env, DISPLAY=":99999"))
            self.assert_board_size(screen, None, 40, (16, 12))
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
            self.assert_board_size(screen, (30, 20, 100, 75), 32, (3, 2))
            subprocess.run(["xdotool", "windowsize", window, "330", "250"], env=screen.env, check=True)
            self.assert_board_size(screen, (30, 20, 330, 250), 32, (10, 7))

            # Unmapped and mapped again, the window comes back black: only an
            # expose brings back the whole board before the play would.
            for action in ("windowunmap", "windowmap"):
                subprocess.run(["xdotool", action, "--sync", window], env=screen.env, check=True)
            self.board_in(screen, (30, 20, 330, 250), 32, within=0.8)

            host.stdin.write("d\n")
            host.stdin.flush()
            self.assert_ends_within_a_second(module, "its window was destroyed")

    def test_a_file_that_is_no_piece_image_says_why_on_the_screen_without_reading_it_whole(self):
        bad = os.path.join(self.tmp.name, "bad file.bmp")
        with open(bad, "wb") as f:
            f.write(b"BM" + bytes(100))
        with Xvfb(320, 240) as screen:
            for path in (bad, "/dev/zero"):
                module = self.start(screen, "--root", "--image", path, "--kinds", "9")
                time.sleep(1.0)
                self.assert_runs(module, path)
                with open(f"/proc/{module.pid}/status") as f:
                    peak = int(next(line for line in f if line.startswith("VmHWM:")).split()[1])
                self.assertLess(peak, 40 << 10, f"{path}: peak memory {peak} kB")
                # The reason in white on black, in the top left corner.
                shot = screen.shot()
                text = [(x, y) for x in range(320) for y in range(240) if shot.getpixel((x, y)) != (0, 0, 0)]
                self.assertGreater(len(text), 50, f"{path}: no text on the screen")
                self.assertLess(max(y for _, y in text), 60, f"{path}: more than a few lines")
                self.assertEqual({shot.getpixel(p) for p in text}, {(255, 255, 255)}, path)
                module.send_signal(signal.SIGTERM)
                self.assert_ends_within_a_second(module, "SIGTERM")
                lines = module.stderr.read().splitlines()
                self.assertEqual(len(lines), 2, lines)
                self.assertIn("--kinds", lines[0])
                self.assertIn(path, lines[1])

    def test_every_line_the_settings_file_makes_runs_through_a_shell_with_a_quoted_image_path(self):
        # As the daemon and the settings program run it: the line goes
        # through /bin/sh, with the path of a file quoted.
        folder = os.path.join(self.tmp.name, "My Pictures")
        os.makedirs(folder, exist_ok=True)
        image = os.path.join(folder, "pièces.bmp")
        write_test_image(image)
        command, values = settings_values(SETTINGS)
        self.assertIn("--fill-colour 000080", values)
        line = f'{shlex.quote(VELOMASS)} {command} %s --image "{image}"'
        with Xvfb(320, 240) as screen:
            modules = [(value, self.start(screen, shell=line % value)) for value in values]
            time.sleep(1.5)
            for value, module in modules:
                self.assert_runs(module, value)
                module.terminate()
                module.wait()
                self.assertEqual(module.stderr.read(), "", value)
            # The fill colour reaches the board's empty cells.
            self.start(screen, shell=line % "--fill-colour 000080 --fill-empty --speed 0")
            self.board_in(screen, None, 32, within=8, extra=NAVY_EMPTY, until=empty_cell_shown)

    def test_screens_of_16_30_and_8_bits(self):
        for depth, tolerance in ((16, 9), (30, 0)):
            with self.subTest(depth=depth), Xvfb(320, 240, depth=depth) as screen:
                module = self.start(screen, "--root", "--image", self.image)
                self.assert_board_size(screen, None, 32, (10, 7), tolerance=tolerance)
                self.assert_runs(module, f"depth {depth}")
        # A colormap: the nearest colours it could have; the cells still show.
        with Xvfb(320, 240, depth=8) as screen:
            module = self.start(screen, "--root")
            time.sleep(1.0)
            self.assert_runs(module, "depth 8")
            shot = screen.shot()
            lit = sum(1 for p in shot.getdata() if p != (0, 0, 0))
            self.assertGreater(lit, 320 * 224 // 3, "the board is not drawn")
            self.assertGreater(len(set(shot.getdata())), 8, "too few colours")

    def test_where_the_daemons_window_counts(self):
        # Without -root the daemon's window is not ours: a window of its own.
        # With -root it stands in for the root, as the daemon runs its modules.
        with Xvfb(320, 240) as screen:
            for args in ([], ["--root"]):
                # A fresh window each time: an ended module's board stays in its window.
                host, window = self.host_window(screen, 30, 20, 100, 75)
                module = self.start(screen, *args, "--image", self.image,
                                    env=dict(screen.env, XSCREENSAVER_WINDOW=window))
                if not args:
                    time.sleep(1.0)
                    found = subprocess.run(["xdotool", "search", "--name", "^velomass$"], env=screen.env,
                                           capture_output=True, text=True).stdout.split()
                    self.assertEqual(len(found), 1, "no window of its own")
                    self.assertNotEqual(int(found[0]), int(window, 16))
                else:
                    self.assert_board_size(screen, (30, 20, 100, 75), 32, (3, 2))
                self.assert_runs(module, args)
                module.terminate()
                module.wait()


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
