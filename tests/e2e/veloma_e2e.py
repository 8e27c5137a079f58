"""Helpers for driving the real saver under Wine on an X display.

ctest passes the paths in the environment: VELOMA_SCR, VELOMA_PREVIEW_HOST,
VELOMA_DIALOG_PROBE, VELOMA_WINE_RUN (scripts/wine-run, which picks Wine's
loader and prefix), VELOMA_SOURCE_DIR and VELOMA_BINARY_DIR; DISPLAY comes
from scripts/with-display.sh.
"""
import collections
import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

from PIL import Image, ImageGrab

SAVER_KEY = r"HKCU\Software\Tamsk soft\VelomaSS"
SYSTEM_KEY = SAVER_KEY + r"\System"
SOUND_KEY = SAVER_KEY + r"\Sound"

Control = collections.namedtuple("Control", "id cls rect text")
Window = collections.namedtuple("Window", "count visible controls")


def need(name):
    value = os.environ.get(name)
    if not value:
        raise AssertionError(f"{name} is not set: run through ctest in a Windows tree")
    return value


def winpath(path):
    """The Windows form of a Linux path, through Wine's Z: drive."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wine(*args):
    return [need("VELOMA_WINE_RUN"), *args]


def start_wine(args, cwd=None, stderr=subprocess.PIPE, debug=None, lang=None):
    """Starts a Windows program in its own process group; debug sets
    WINEDEBUG, lang the user's locale (ja_JP.UTF-8)."""
    env = dict(os.environ)
    if debug:
        env["WINEDEBUG"] = debug
    if lang:
        env.update(LANG=lang, LC_ALL=lang)
    return subprocess.Popen(wine(*args), cwd=cwd, env=env, stdout=subprocess.DEVNULL, stderr=stderr,
                            start_new_session=True)


def set_env(case, **values):
    """Sets environment variables until the test case ends."""
    saved = {name: os.environ.get(name) for name in values}

    def restore():
        for name, value in saved.items():
            if value is None:
                os.environ.pop(name, None)
            else:
                os.environ[name] = value
    case.addCleanup(restore)
    os.environ.update(values)


def end_wine():
    """Ends the Wine server of the current prefix and waits until it has gone."""
    subprocess.run(wine("--server", "-k"), capture_output=True, timeout=60)
    subprocess.run(wine("--server", "-w"), capture_output=True, timeout=60)


def kill_group(proc):
    """Ends a program started by start_wine and everything it started."""
    try:
        os.killpg(proc.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    proc.wait()


def finish(proc, timeout, what):
    """Waits for a started program; kills it and fails when it hangs."""
    try:
        _, err = proc.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        kill_group(proc)
        raise AssertionError(f"{what} did not end within {timeout} s")
    return proc.returncode, (err or b"").decode("utf-8", "replace")


def start_preview_host(args, title, life_ms=3000, until_exit=False):
    """Starts the display settings' stand-in on the saver; returns (process,
    report path) for read_report."""
    fd, report = tempfile.mkstemp(prefix="preview-", suffix=".txt")
    os.close(fd)
    os.unlink(report)
    cmd = [need("VELOMA_PREVIEW_HOST"), "--scr", winpath(need("VELOMA_SCR")), "--args", args,
           "--life", str(life_ms), "--title", title, "--report", winpath(report)]
    return start_wine(cmd + (["--until-exit"] if until_exit else [])), report


def read_report(proc, report):
    """The stand-in's report as a dict, once it has ended."""
    code, err = finish(proc, 90, "preview_host")
    if code != 0 or not os.path.exists(report):
        raise AssertionError(f"preview_host failed with {code}: {err[-2000:]}")
    with open(report, encoding="utf-8") as f:
        values = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
    os.unlink(report)
    return values


def reg(*args):
    """Runs Wine's reg tool; returns (exit code, output)."""
    proc = subprocess.run(wine("reg", *args), capture_output=True, timeout=60)
    return proc.returncode, proc.stdout.decode("utf-8", "replace")


def reg_add(key, name, value):
    code, out = reg("add", key, "/v", name, "/t", "REG_SZ", "/d", value, "/f")
    if code != 0:
        raise AssertionError(f"reg add {key} {name} failed: {out}")


def reg_values(key, *options):
    """The values of a key as {name: (type, data)}, or None without the key;
    options such as /reg:64 go to reg."""
    code, out = reg("query", key, *options)
    if code != 0:
        return None
    values = {}
    for line in out.splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[1].startswith("REG_"):
            values[parts[0]] = (parts[1], parts[2] if len(parts) > 2 else "")
    return values


def grab(rect=None):
    """The screen, or the part of it in rect (left, top, right, bottom)."""
    return ImageGrab.grab().convert("RGB").crop(rect) if rect else ImageGrab.grab().convert("RGB")


CELL = 32


def cells(image):
    """The picture cut into 32-pixel cells, row by row, as bytes."""
    return [image.crop((x, y, x + CELL, y + CELL)).tobytes()
            for y in range(0, image.height - CELL + 1, CELL) for x in range(0, image.width - CELL + 1, CELL)]


def black_share(image):
    """The share of black pixels in a sample of the picture."""
    points = [(x, y) for x in range(0, image.width, 7) for y in range(0, image.height, 7)]
    return sum(1 for p in points if image.getpixel(p) == (0, 0, 0)) / len(points)


def piece_tiles():
    """Every 32-pixel picture of our piece image, as {bytes: (row, column)}."""
    tiles = {}
    with Image.open(os.path.join(need("VELOMA_SOURCE_DIR"), "res", "velomass.bmp")) as image:
        for n, data in enumerate(cells(image.convert("RGB"))):
            tiles.setdefault(data, divmod(n, image.width // CELL))
    return tiles


# A piece at rest is the image's column 0, odd rows; kind k on row 2k - 1.
PIECES_AT_REST = {(2 * kind - 1, 0): kind for kind in range(1, 6)}


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True, text=True, timeout=30).stdout


def xdotool_search(name):
    proc = subprocess.run(["xdotool", "search", "--name", name], capture_output=True, text=True, timeout=30)
    return [int(w) for w in proc.stdout.split()]


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
        proc = subprocess.Popen(wine(need("VELOMA_DIALOG_PROBE"), "--title", title), stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, start_new_session=True)
        try:
            out = proc.communicate(timeout=10)[0].decode("utf-8", "replace")
            break
        except subprocess.TimeoutExpired:
            kill_group(proc)
    else:
        raise AssertionError(f"dialog_probe did not answer for {title!r}")
    count, visible, controls = 0, False, []
    for line in out.splitlines():
        head, _, text = line.partition(" text=")
        fields = dict(part.split("=", 1) for part in head.split() if "=" in part)
        box = tuple(int(v) for v in fields["rect"].split(",")) if "rect" in fields else None
        if line.startswith("windows="):
            count = int(fields["windows"])
        elif line.startswith("window "):
            visible = fields["visible"] == "1"
        elif line.startswith("control "):
            controls.append(Control(int(fields["id"]), fields["class"], box, text))
    return Window(count, visible, controls)


def control(window, control_id):
    for c in window.controls:
        if c.id == control_id:
            return c
    raise AssertionError(f"no control {control_id} in the window; controls {[c.id for c in window.controls]}")


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


class SaverCase(unittest.TestCase):
    """Starts the saver's runs, ends those still running, and leaves no
    settings behind."""

    def setUp(self):
        self.procs = []
        reg("delete", SAVER_KEY, "/f")
        self.addCleanup(reg, "delete", SAVER_KEY, "/f")

    def tearDown(self):
        for proc in self.procs:
            if proc.poll() is None:
                kill_group(proc)

    def start_alone(self, *args):
        """Starts a copy of the saver that lies alone in a folder, from
        another folder, as a saver copied anywhere is started."""
        alone = tempfile.mkdtemp(prefix="veloma-alone-")
        elsewhere = tempfile.mkdtemp(prefix="veloma-cwd-")
        for folder in (alone, elsewhere):
            self.addCleanup(shutil.rmtree, folder, True)
        scr = shutil.copy(need("VELOMA_SCR"), alone)
        self.procs.append(start_wine([scr, *args], cwd=elsewhere))
        return self.procs[-1]

    def start(self, *args, cwd=None, **kwargs):
        scr = need("VELOMA_SCR")
        # Beside the saver lies our piece image, its default in the current directory.
        self.procs.append(start_wine([scr, *args], cwd=cwd or os.path.dirname(scr), **kwargs))
        return self.procs[-1]
