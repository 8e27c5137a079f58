"""Helpers for driving the real saver under Wine on an X display.

ctest passes the paths in the environment: VELOMA_SCR, VELOMA_PREVIEW_HOST,
VELOMA_DIALOG_PROBE, VELOMA_WINE_RUN (scripts/wine-run, which picks Wine's
loader and prefix), VELOMA_SOURCE_DIR and VELOMA_BINARY_DIR; DISPLAY comes
from scripts/with-display.sh.
"""
import collections
import contextlib
import functools
import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest
from unittest import mock

from PIL import Image, ImageGrab

SAVER_KEY = r"HKCU\Software\Tamsk soft\VelomaSS"
SYSTEM_KEY = SAVER_KEY + r"\System"
SOUND_KEY = SAVER_KEY + r"\Sound"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
SAVER_TITLE = "VelomaScreenSaver"  # every board of the full-screen run
DIALOG_TITLE = "Veloma Screen Saver"  # the settings dialog and the password question

Control = collections.namedtuple("Control", "id cls rect text")
Window = collections.namedtuple("Window", "count visible controls")


def need(name):
    value = os.environ.get(name)
    if not value:
        raise AssertionError(f"{name} is not set: run through ctest in a Windows tree")
    return value


def source(*parts):
    return os.path.join(need("VELOMA_SOURCE_DIR"), *parts)


def winpath(path):
    """The Windows form of a Linux path, through Wine's Z: drive."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wine(*args):
    return [need("VELOMA_WINE_RUN"), *args]


def start_wine(args, cwd=None, stdout=subprocess.DEVNULL, stderr=None, **env):
    """Starts a Windows program in its own process group, with more
    environment (WINEDEBUG, LANG) when asked. Its error output goes to a
    file, `stderr` or a new one: a Wine server the program starts would hold
    a pipe open long after it."""
    stderr = stderr or tempfile.TemporaryFile()
    proc = subprocess.Popen(wine(*args), cwd=cwd, env=dict(os.environ, **env), stdout=stdout, stderr=stderr,
                            start_new_session=True)
    proc.errors = stderr
    return proc


def errors(proc):
    """What a program started by start_wine has written to its error output."""
    proc.errors.seek(0)
    return proc.errors.read().decode("utf-8", "replace")


def run_wine(*args, timeout=60):
    """Runs a Windows program to its end; returns its exit code (None when it
    hung and was killed) and its output, which goes through a file too."""
    with tempfile.TemporaryFile() as out:
        proc = subprocess.Popen(wine(*args), stdout=out, stderr=subprocess.DEVNULL, start_new_session=True)
        try:
            code = proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            kill_group(proc)
            code = None
        out.seek(0)
        return code, out.read().decode("utf-8", "replace")


def set_env(case, **values):
    """Sets environment variables until the test case ends."""
    patch = mock.patch.dict(os.environ, values)
    patch.start()
    case.addCleanup(patch.stop)


def end_wine():
    """Ends the Wine server of the current prefix and waits until it has gone."""
    subprocess.run(wine("--server", "-k"), capture_output=True, timeout=60)
    subprocess.run(wine("--server", "-w"), capture_output=True, timeout=60)


def own_prefix(case, suffix):
    """Gives the rest of the case a Wine prefix of its own beside the usual
    one, its server ended with the case."""
    info = subprocess.run(wine("--info"), capture_output=True, text=True, check=True).stdout
    set_env(case, WINEPREFIX=dict(line.split("=", 1) for line in info.split())["prefix"] + suffix)
    case.addCleanup(end_wine)


def kill_group(proc):
    """Ends a program started by start_wine and everything it started."""
    with contextlib.suppress(ProcessLookupError):
        os.killpg(proc.pid, signal.SIGKILL)
    proc.wait()


def finish(proc, timeout, what):
    """Waits for a program started by start_wine; kills it and fails when it
    hangs. Returns its exit code and error output."""
    try:
        proc.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        kill_group(proc)
        raise AssertionError(f"{what} did not end within {timeout} s")
    return proc.returncode, errors(proc)


def reg(*args):
    """Runs Wine's reg tool; returns (exit code, output)."""
    return run_wine("reg", *args)


def reg_add(key, name, value, kind="REG_SZ"):
    code, out = reg("add", key, "/v", name, "/t", kind, "/d", value, "/f")
    if code != 0:
        raise AssertionError(f"reg add {key} {name} failed: {out}")


def reg_values(key, *options):
    """The values of a key as {name: (type, data)}, or None without the key;
    options such as /reg:64 go to reg."""
    code, out = reg("query", key, *options)
    if code != 0:
        return None
    rows = [line.strip().split(None, 2) + [""] for line in out.splitlines()]
    return {row[0]: (row[1], row[2]) for row in rows if len(row) > 2 and row[1].startswith("REG_")}


def grab(rect=None):
    """The screen, or the part of it in rect (left, top, right, bottom)."""
    image = ImageGrab.grab().convert("RGB")
    return image.crop(rect) if rect else image


CELL = 32
# A piece at rest is the image's column 0, odd rows; kind k on row 2k - 1.
PIECES_AT_REST = {(2 * kind - 1, 0): kind for kind in range(1, 6)}


def black_share(image):
    """The share of black pixels in a sample of the picture."""
    points = [(x, y) for x in range(0, image.width, 7) for y in range(0, image.height, 7)]
    return sum(1 for p in points if image.getpixel(p) == (0, 0, 0)) / len(points)


def piece_image():
    """Our piece image, res/velomass.bmp, as RGB."""
    with Image.open(source("res", "velomass.bmp")) as image:
        return image.convert("RGB")


@functools.lru_cache()
def pictures():
    """Every 32-pixel picture of our piece image: its (row, column) and its rows of pixels."""
    image = piece_image()
    px = image.load()
    return [((y // CELL, x // CELL), [[px[x + i, y + j] for i in range(CELL)] for j in range(CELL)])
            for y in range(0, image.height, CELL) for x in range(0, image.width, CELL)]


def read_cells(image, box, size=CELL):
    """The grid of size-pixel cells centred in box (left, top, right, bottom)
    of a screenshot: for each cell, row by row, the (row, column) of the
    picture of our piece image it shows, enlarged by whole pixels whichever
    way the stretch rounds; None where it shows none of them."""
    px = image.load()
    left, top, right, bottom = box
    cols, rows = (right - left) // size, (bottom - top) // size
    x0, y0 = left + (right - left - cols * size) // 2, top + (bottom - top - rows * size) // 2
    # The picture's pixels each pixel of a cell may show; those that can
    # show only one pick the candidates.
    src = [sorted({d * CELL // size, ((d + 1) * CELL - 1) // size}) for d in range(size)]
    single = [d for d in range(size) if len(src[d]) == 1]
    by_key = {}
    for where, p in pictures():
        by_key.setdefault(tuple(p[src[j][0]][src[i][0]] for j in single for i in single), []).append((where, p))
    found = []
    for oy in range(y0, y0 + rows * size, size):
        for ox in range(x0, x0 + cols * size, size):
            candidates = by_key.get(tuple(px[ox + i, oy + j] for j in single for i in single), [])
            found.append(next((where for where, p in candidates if len(single) == size or all(
                px[ox + i, oy + j] in {p[sy][sx] for sy in src[j] for sx in src[i]}
                for j in range(size) for i in range(size))), None))
    return found


def xdotool(*args, check=True):
    return subprocess.run(["xdotool", *args], check=check, capture_output=True, text=True, timeout=30).stdout


def xdotool_search(title):
    """The X windows that bear exactly this title."""
    return [int(w) for w in xdotool("search", "--name", f"^{title}$", check=False).split()]


def wait_for(condition, timeout, step=0.1):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if condition():
            return True
        time.sleep(step)
    return condition()


def probe(title):
    """What dialog_probe sees of the first top-level window with the title."""
    # A Wine process started while another one is still starting up can
    # hang on its way out; it is killed and asked again.
    for _ in range(4):
        code, out = run_wine(need("VELOMA_DIALOG_PROBE"), "--title", title, timeout=10)
        if code == 0:
            break
    else:
        raise AssertionError(f"dialog_probe did not answer for {title!r}")
    lines = out.splitlines()
    count, visible = (int(v) for v in lines[0].split())
    controls = [Control(int(i), cls, tuple(int(v) for v in box.split(",")), text)
                for i, cls, box, text in (line.split("\t", 3) for line in lines[1:])]
    return Window(count, visible == 1, controls)


def control(window, control_id):
    for c in window.controls:
        if c.id == control_id:
            return c
    raise AssertionError(f"no control {control_id} in the window; controls {[c.id for c in window.controls]}")


def preview_rect(window):
    """Where the settings dialog's preview board is on the screen."""
    boards = [c.rect for c in window.controls if c.id == 0 and c.cls.startswith("Veloma")]
    if len(boards) != 1:
        raise AssertionError(f"not one preview board: {[(c.id, c.cls) for c in window.controls]}")
    return boards[0]


def wait_for_window(title, timeout=30):
    """Waits until a visible window bears the title; returns what was seen."""
    end = time.monotonic() + timeout
    while not ((window := probe(title)).count and window.visible):
        if time.monotonic() > end:
            raise AssertionError(f"no window titled {title!r} within {timeout} s")
        time.sleep(0.3)
    return window


def click(rect):
    """Clicks the middle of a screen rectangle."""
    xdotool("mousemove", str((rect[0] + rect[2]) // 2), str((rect[1] + rect[3]) // 2))
    time.sleep(0.1)
    xdotool("click", "1")


def wait_saver(proc):
    """Waits for a full-screen run's window. Its appearance under the cursor
    brings the first mouse move, which must not end the run."""
    if not wait_for(lambda: xdotool_search(SAVER_TITLE) or proc.poll() is not None, 30):
        raise AssertionError("the saver window did not appear")
    time.sleep(1.5)
    if proc.poll() is not None:
        raise AssertionError(f"the saver ended without input, exit {proc.returncode}: {errors(proc)[-1500:]}")


class SaverCase(unittest.TestCase):
    """Starts the saver's runs, ends those still running, and leaves no
    settings behind."""

    def setUp(self):
        self.procs = []
        self.alone = None
        # Wine holds an ended run's windows for a while: a run of an earlier
        # case would make this one's a second run.
        end_wine()
        self.clear_settings()
        self.addCleanup(self.clear_settings)

    def clear_settings(self):
        reg("delete", SAVER_KEY, "/f")
        for name in ("ScreenSaveUsePassword", "ScreenSaveLowPowerActive", "ScreenSaveLowPowerTimeOut"):
            reg("delete", DESKTOP_KEY, "/v", name, "/f")

    def tearDown(self):
        for proc in self.procs:
            if proc.poll() is None:
                kill_group(proc)

    def start(self, *args, cwd=None, alone=False, **kwargs):
        """Starts the saver beside our piece image, its default in the current
        directory; alone, a copy of it in a folder of its own, started from
        another folder, as a saver copied anywhere is started."""
        scr = need("VELOMA_SCR")
        if alone:
            if not self.alone:
                self.alone = [tempfile.mkdtemp(prefix="veloma-alone-"), tempfile.mkdtemp(prefix="veloma-cwd-")]
                for folder in self.alone:
                    self.addCleanup(shutil.rmtree, folder, True)
                shutil.copy(scr, self.alone[0])
            scr, cwd = os.path.join(self.alone[0], os.path.basename(scr)), self.alone[1]
        self.procs.append(start_wine([scr, *args], cwd=cwd or os.path.dirname(scr), **kwargs))
        return self.procs[-1]

    def start_saver(self, *args, **kwargs):
        proc = self.start("/s", *args, **kwargs)
        wait_saver(proc)
        return proc

    def assert_ends(self, proc, what, within=5):
        code, err = finish(proc, within, what)
        self.assertEqual(code, 0, f"{what} ended with {code}: {err[-1000:]}")
