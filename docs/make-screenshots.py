#!/usr/bin/python3
"""Makes the README's pictures from the real saver under Xvfb and Wine:

  docs/full-screen.png      the full-screen saver on a 1024 x 768 screen
  docs/preview.png          the preview at the size of the display settings'
                            little monitor (152 x 112)
  docs/settings-dialog.png  the settings dialog, its preview playing
  docs/settings-dialog-english.png, docs/settings-dialog-english-144dpi.png
                            the same in English, as a user outside Japan
                            sees it, at 96 and at 144 DPI (150 %)
  docs/piece-layout.png     the piece image, labelled (make-piece-layout.py)
  docs/two-monitors.png     the full-screen saver on two monitors, the second
                            left of and above the primary (Xorg's dummy
                            driver, scripts/multihead.py), at half size

The piece image is placed as the install text says, in C:\\VelomaSS, and
chosen in the settings. Shows the 64-bit saver, which every machine here can
run; needs its tree built (scripts/build.sh win64), or --build build/win32.

  docs/make-screenshots.py [--build DIR] [--two-monitors | --english]

--two-monitors makes only docs/two-monitors.png, --english only the English
settings dialogs. The Japanese pictures are taken under a Japanese locale,
the English ones under an American one.
"""
import argparse
import importlib.util
import os
import shutil
import subprocess
import sys
import time

from PIL import Image, ImageGrab

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(HERE)
SAVER_KEY = r"HKCU\Software\Tamsk soft\VelomaSS"
SETTINGS_TITLE = "^Veloma Screen Saver$"
PLAY_SECONDS = 2.5
WINE_RUN = os.path.join(TOP, "scripts", "wine-run")
JAPANESE = dict(LANG="ja_JP.UTF-8", LC_ALL="ja_JP.UTF-8")
ENGLISH = dict(LANG="en_US.UTF-8", LC_ALL="en_US.UTF-8")
sys.path.insert(0, os.path.join(TOP, "scripts"))
from multihead import MultiHead  # noqa: E402


def free_display():
    for n in range(150, 200):
        if not os.path.exists(f"/tmp/.X{n}-lock") and not os.path.exists(f"/tmp/.X11-unix/X{n}"):
            return f":{n}"
    raise SystemExit("no free X display number")


def wait(condition, timeout, what):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    raise SystemExit(f"timed out waiting for {what}")


def board_shows(image):
    lit = image.convert("L").point(lambda v: 255 if v > 10 else 0).histogram()[255]
    return lit >= image.width * image.height // 2


def window_rect(env, title):
    """(left, top, right, bottom) of the first window whose name matches."""
    found = subprocess.run(["xdotool", "search", "--name", title], env=env, capture_output=True, text=True)
    if not found.stdout.split():
        return None
    shell = subprocess.run(["xdotool", "getwindowgeometry", "--shell", found.stdout.split()[0]], env=env,
                           capture_output=True, text=True).stdout
    g = dict(line.split("=", 1) for line in shell.split() if "=" in line)
    x, y, w, h = (int(g[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
    return (x, y, x + w, y + h)


def end(proc, env, key=None):
    if key and proc.poll() is None:
        subprocess.run(["xdotool", "key", key], env=env)
    try:
        proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def settings_dialog(env, scr, install, name):
    """Opens the settings dialog and saves a picture of it as docs/NAME."""
    quiet = dict(env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    settings = subprocess.Popen([WINE_RUN, scr, "/c"], cwd=install, **quiet)
    rect = wait(lambda: window_rect(env, SETTINGS_TITLE), 30, "the settings dialog")
    time.sleep(PLAY_SECONDS)
    ImageGrab.grab(xdisplay=env["DISPLAY"]).crop(rect).save(os.path.join(HERE, name), optimize=True)
    end(settings, env, "Escape")
    print(f"docs/{name}")


def english(env, scr, install, prefix):
    """The English settings dialog at 96 DPI, then at 144 in a prefix of its
    own (Wine has one DPI for a whole prefix), the fill option ticked so
    that its colour button shows."""
    for dpi, wineprefix, name in ((96, prefix, "settings-dialog-english.png"),
                                  (144, prefix + "-dpi144", "settings-dialog-english-144dpi.png")):
        penv = dict(env, WINEPREFIX=wineprefix, **ENGLISH)
        quiet = dict(env=penv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run([WINE_RUN, "--prepare"], **quiet, check=True)
        subprocess.run([WINE_RUN, "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                        "/d", str(dpi), "/f"], **quiet)
        subprocess.run([WINE_RUN, "--server", "-k"], **quiet)
        subprocess.run([WINE_RUN, "--server", "-w"], **quiet)
        try:
            subprocess.run([WINE_RUN, "reg", "delete", SAVER_KEY, "/f"], **quiet)
            for value, data in (("Bitmap", r"C:\VelomaSS\velomass.bmp"), ("BlankOption", "1")):
                subprocess.run([WINE_RUN, "reg", "add", SAVER_KEY + r"\System", "/v", value, "/t", "REG_SZ",
                                "/d", data, "/f"], **quiet)
            os.makedirs(os.path.join(wineprefix, "drive_c", "VelomaSS"), exist_ok=True)
            shutil.copy(os.path.join(TOP, "res", "velomass.bmp"), os.path.join(wineprefix, "drive_c", "VelomaSS"))
            settings_dialog(penv, scr, install, name)
        finally:
            subprocess.run([WINE_RUN, "reg", "delete", SAVER_KEY, "/f"], **quiet)
            subprocess.run([WINE_RUN, "--server", "-k"], **quiet)
            subprocess.run([WINE_RUN, "--server", "-w"], **quiet)


def two_monitors(scr, install):
    with MultiHead("above") as head:
        env = dict(head.env, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=", **JAPANESE)
        quiet = dict(env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # A grey desk shows where the monitors lie in the picture.
        subprocess.run(["xsetroot", "-solid", "#808080"], env=env)
        grab = lambda: ImageGrab.grab(xdisplay=head.display).convert("RGB")  # noqa: E731
        # The Wine server belongs to the display it first met.
        subprocess.run([WINE_RUN, "--server", "-k"], **quiet)
        subprocess.run([WINE_RUN, "--server", "-w"], **quiet)
        try:
            subprocess.run([WINE_RUN, "reg", "delete", SAVER_KEY, "/f"], **quiet)
            subprocess.run(["xdotool", "mousemove", "1823", "867"], env=env)
            saver = subprocess.Popen([WINE_RUN, scr, "/s"], cwd=install, **quiet)
            wait(lambda: all(board_shows(grab().crop((m.left, m.top, m.right, m.bottom))) for m in head.monitors()),
                 30, "a board on each monitor")
            time.sleep(PLAY_SECONDS)
            image = grab()
            end(saver, env, "space")
        finally:
            subprocess.run([WINE_RUN, "--server", "-k"], **quiet)
            subprocess.run([WINE_RUN, "--server", "-w"], **quiet)
    image.resize((image.width // 2, image.height // 2), Image.LANCZOS).save(
        os.path.join(HERE, "two-monitors.png"), optimize=True)
    print("docs/two-monitors.png")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(TOP, "build", "win64"))
    only = parser.add_mutually_exclusive_group()
    only.add_argument("--two-monitors", action="store_true")
    only.add_argument("--english", action="store_true")
    args = parser.parse_args()
    scr = os.path.join(args.build, "VelomaSS.scr")
    inprocess = os.path.join(args.build, "preview_inprocess.exe")
    for path in (scr, inprocess):
        if not os.path.exists(path):
            sys.exit(f"{path} is missing: run scripts/build.sh {os.path.basename(args.build)}")

    prefix = subprocess.run([WINE_RUN, "--prepare"], stdout=subprocess.PIPE, text=True, check=True).stdout.strip()
    install = os.path.join(prefix, "drive_c", "VelomaSS")
    os.makedirs(install, exist_ok=True)
    shutil.copy(os.path.join(TOP, "res", "velomass.bmp"), install)
    if args.two_monitors:
        two_monitors(scr, install)
        return 0

    display = free_display()
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1024x768x24", "-br", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    env = dict(os.environ, DISPLAY=display, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=", **JAPANESE)
    quiet = dict(env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        wait(lambda: subprocess.run(["xdpyinfo", "-display", display], capture_output=True).returncode == 0,
             10, "Xvfb")
        grab = lambda: ImageGrab.grab(xdisplay=display)  # noqa: E731
        if args.english:
            english(env, scr, install, prefix)
            return 0
        subprocess.run([WINE_RUN, "--server", "-k"], **quiet)
        subprocess.run([WINE_RUN, "--server", "-w"], **quiet)
        subprocess.run([WINE_RUN, "--server", "-p"], **quiet)
        subprocess.run([WINE_RUN, "reg", "delete", SAVER_KEY, "/f"], **quiet)
        subprocess.run([WINE_RUN, "reg", "add", SAVER_KEY + r"\System", "/v", "Bitmap", "/t", "REG_SZ",
                        "/d", r"C:\VelomaSS\velomass.bmp", "/f"], **quiet)
        # The cursor away from the middle of the screen, where it would show.
        subprocess.run(["xdotool", "mousemove", "1023", "767"], env=env)

        saver = subprocess.Popen([WINE_RUN, scr, "/s"], cwd=install, **quiet)
        wait(lambda: board_shows(grab()), 30, "the full-screen board")
        time.sleep(PLAY_SECONDS)
        grab().save(os.path.join(HERE, "full-screen.png"), optimize=True)
        end(saver, env, "space")
        print("docs/full-screen.png")

        preview = subprocess.Popen([WINE_RUN, inprocess, "--life", "8000"], env=env, stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL, text=True)
        line = preview.stdout.readline().strip()
        if not line.startswith("client="):
            sys.exit(f"preview_inprocess said {line!r}")
        x, y, w, h = (int(v) for v in line.split("=", 1)[1].split(","))
        time.sleep(PLAY_SECONDS)
        grab().crop((x, y, x + w, y + h)).save(os.path.join(HERE, "preview.png"), optimize=True)
        end(preview, env)
        print("docs/preview.png")

        settings_dialog(env, scr, install, "settings-dialog.png")

        module_spec = importlib.util.spec_from_file_location("piece_layout", os.path.join(HERE, "make-piece-layout.py"))
        layout = importlib.util.module_from_spec(module_spec)
        module_spec.loader.exec_module(layout)
        layout.render(os.path.join(TOP, "res", "velomass.bmp"), os.path.join(HERE, "piece-layout.png"))
        print("docs/piece-layout.png")
        subprocess.run([WINE_RUN, "reg", "delete", SAVER_KEY, "/f"], **quiet)
        english(env, scr, install, prefix)
    finally:
        subprocess.run([WINE_RUN, "reg", "delete", SAVER_KEY, "/f"], **quiet)
        subprocess.run([WINE_RUN, "--server", "-k"], **quiet)
        subprocess.run([WINE_RUN, "--server", "-w"], **quiet)
        xvfb.terminate()
        xvfb.wait()
    two_monitors(scr, install)
    return 0


if __name__ == "__main__":
    sys.exit(main())
