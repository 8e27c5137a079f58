"""Helpers for driving the real saver under Wine on an X display: ctest
passes the paths as VELOMA_* variables (tests/e2e/CMakeLists.txt),
scripts/with-display.sh the DISPLAY."""
import collections
import contextlib
import functools
import os
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
    environment (WINEDEBUG, LANG) when asked."""
    # Output into files: a Wine server the program starts would hold a pipe open long after it.
    stderr = stderr or tempfile.TemporaryFile()
    proc = subprocess.Popen(wine(*args), cwd=cwd, env=dict(os.environ, **env), stdout=stdout, stderr=stderr,
                            start_new_session=True)
    proc.errors = stderr
    return proc


def errors(proc):
    proc.errors.seek(0)
    return proc.errors.read().decode("utf-8", "replace")


def finish(proc, timeout):
    """The exit code (None when it hung and was killed) and the error output
    of a program started by start_wine."""
    try:
        code = proc.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        kill_group(proc)
        code = None
    return code, errors(proc)


def run_wine(*args, timeout=60):
    """Runs a Windows program to its end: its exit code and its output."""
    with tempfile.TemporaryFile() as out:
        code, _ = finish(start_wine(args, stdout=out), timeout)
        out.seek(0)
        return code, out.read().decode("utf-8", "replace")


def set_env(case, **values):
    patch = mock.patch.dict(os.environ, values)
    patch.start()
    case.addCleanup(patch.stop)


def end_wine():
    subprocess.run(wine("--server", "-k"), capture_output=True, timeout=60)
    subprocess.run(wine("--server", "-w"), capture_output=True, timeout=60)


def own_prefix(case, suffix):
    """A Wine prefix beside the usual one for the rest of the case."""
    info = subprocess.run(wine("--info"), capture_output=True, text=True, check=True).stdout
    set_env(case, WINEPREFIX=dict(line.split("=", 1) for line in info.split())["prefix"] + suffix)
    case.addCleanup(end_wine)


def kill_group(proc):
    with contextlib.suppress(ProcessLookupError):
        os.killpg(proc.pid, signal.SIGKILL)
    proc.wait()


def reg(*args):
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
    image = ImageGrab.grab().convert("RGB")
    return image.crop(rect) if rect else image


CELL = 32
# A piece at rest is the image's column 0, odd rows; kind k on row 2k - 1.
PIECES_AT_REST = {(2 * kind - 1, 0): kind for kind in range(1, 6)}


@functools.lru_cache()
def pictures():
    """Every 32-pixel picture of our piece image: its (row, column) and its rows of pixels."""
    with Image.open(source("res", "velomass.bmp")) as image:
        px = image.convert("RGB").load()
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
    return [int(w) for w in xdotool("search", "--name", f"^{title}$", check=False).split()]


def wait_for(condition, timeout, step=0.1):
    end = time.monotonic() + timeout
    while not (met := condition()) and time.monotonic() < end:
        time.sleep(step)
    return met


def probe(title):
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
    boards = [c.rect for c in window.controls if c.id == 0 and c.cls.startswith("Veloma")]
    if len(boards) != 1:
        raise AssertionError(f"not one preview board: {[(c.id, c.cls) for c in window.controls]}")
    return boards[0]


def wait_for_window(title, timeout=30):
    """What dialog_probe sees once a visible window bears the title."""
    end = time.monotonic() + timeout
    while not ((window := probe(title)).count and window.visible):
        if time.monotonic() > end:
            raise AssertionError(f"no window titled {title!r} within {timeout} s")
        time.sleep(0.3)
    return window


def click(rect):
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
    """Starts the saver's runs, ends them, and leaves no settings behind."""

    def setUp(self):
        self.procs = []
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

    def start(self, *args, scr=None, cwd=None, **kwargs):
        """Starts the saver, by default from its folder: our piece image is its default."""
        scr = scr or need("VELOMA_SCR")
        self.procs.append(start_wine([scr, *args], cwd=cwd or os.path.dirname(scr), **kwargs))
        return self.procs[-1]

    def start_saver(self, *args, **kwargs):
        proc = self.start("/s", *args, **kwargs)
        wait_saver(proc)
        return proc

    def assert_ends(self, proc, what, within=5):
        code, err = finish(proc, within)
        self.assertEqual(code, 0, f"{what}: exit {code}, None when still running after {within} s: {err[-1000:]}")
