#!/usr/bin/python3
"""Makes the README's pictures of the installer, from the real setup.exe
under Xvfb and Wine, its pages in each language after LANG:

  docs/installer-ja.png   welcome, folder and finish pages, in Japanese
  docs/installer-en.png   the same in English

and each page on its own in OUT (default build/installer-shots). Needs
scripts/package.sh to have run, and a machine that runs 32-bit programs.

  docs/make-installer-shots.py [--out DIR]
"""
import argparse
import importlib.util
import os
import shutil
import subprocess
import tempfile
import time

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(HERE)
WINE_RUN = os.path.join(TOP, "scripts", "wine-run")
LANGS = {"ja": "ja_JP.UTF-8", "en": "en_US.UTF-8"}
PAGES = ("welcome", "folder", "finish")

# The free display and the waiting, as the saver's pictures have them.
_found = importlib.util.spec_from_file_location("make_screenshots", os.path.join(HERE, "make-screenshots.py"))
_shots = importlib.util.module_from_spec(_found)
_found.loader.exec_module(_shots)
free_display, wait = _shots.free_display, _shots.wait


def version():
    with open(os.path.join(TOP, "CMakeLists.txt"), encoding="utf-8") as f:
        for line in f:
            if line.startswith("project(VelomaSS VERSION "):
                return line.split()[2]
    raise SystemExit("no version in CMakeLists.txt")


def window(env):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Veloma Screen Saver"],
                           capture_output=True, text=True, env=env).stdout.split()
    return found[0] if found else None


def shoot(env, wid, path):
    # Let the page draw before the picture.
    time.sleep(1.5)
    subprocess.run(["import", "-window", wid, path], check=True, env=env)


def pages(setup, lang, env, out):
    """Runs the installer in a prefix of its own; returns the page shots."""
    prefix = tempfile.mkdtemp(prefix="veloma-shots-")
    wenv = dict(env, WINEPREFIX=prefix, WINEARCH="win64", LANG=LANGS[lang], LC_ALL=LANGS[lang])
    try:
        subprocess.run([WINE_RUN, "--prepare"], check=True, env=wenv, stdout=subprocess.DEVNULL)
        if lang != "ja":
            # The Japanese font draws a backslash as a yen sign: English pages go without it.
            for args in ([r"HKCU\Software\Wine\Fonts\Replacements"],
                         [r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink", "/v", "Tahoma"]):
                subprocess.run([WINE_RUN, "reg", "delete", *args, "/f"], env=wenv, capture_output=True)
        proc = subprocess.Popen([WINE_RUN, setup], env=wenv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shots = []
        for page in PAGES:
            wid = wait(lambda: window(env), 60, f"the installer's {page} page")
            if page == "finish":
                # Past the files page: wait for the finish page's own buttons.
                time.sleep(4)
            path = os.path.join(out, f"installer-{lang}-{page}.png")
            shoot(env, wid, path)
            shots.append(path)
            # Enter presses the default button: Next, Install, then Finish.
            subprocess.run(["xdotool", "key", "--window", wid, "Return"], env=env)
            time.sleep(1)
        proc.wait(timeout=60)
        return shots
    finally:
        subprocess.run([WINE_RUN, "--server", "-k"], env=wenv, capture_output=True)
        subprocess.run([WINE_RUN, "--server", "-w"], env=wenv, capture_output=True)
        shutil.rmtree(prefix, ignore_errors=True)


def side_by_side(paths, target):
    images = [Image.open(p).convert("RGB") for p in paths]
    gap = 12
    sheet = Image.new("RGB", (sum(i.width for i in images) + gap * (len(images) - 1),
                              max(i.height for i in images)), (255, 255, 255))
    x = 0
    for image in images:
        sheet.paste(image, (x, 0))
        x += image.width + gap
    sheet.save(target, optimize=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--out", default=os.path.join(TOP, "build", "installer-shots"))
    args = parser.parse_args()
    setup = os.path.join(TOP, "dist", f"VelomaSS-{version()}-setup.exe")
    if not os.path.exists(setup):
        raise SystemExit(f"{setup} not made: run scripts/package.sh")
    os.makedirs(args.out, exist_ok=True)
    display = free_display()
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    env = dict(os.environ, DISPLAY=display)
    try:
        wait(lambda: subprocess.run(["xdpyinfo"], env=env, capture_output=True).returncode == 0, 10, "Xvfb")
        for lang in LANGS:
            side_by_side(pages(setup, lang, env, args.out), os.path.join(HERE, f"installer-{lang}.png"))
            print(os.path.join(HERE, f"installer-{lang}.png"))
    finally:
        xvfb.terminate()
        xvfb.wait()


if __name__ == "__main__":
    main()
