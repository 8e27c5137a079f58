#!/usr/bin/python3
"""How fast the full-screen saver answers input, under Xvfb and Wine.

With a password in force, the saver's answer to input is the password box.
This starts the 64-bit saver (VelomaSS.scr /s), then in turns moves the
mouse a few pixels or presses a key, times until the box shows, cancels it
and lets the run settle again. It prints each kind's median and the
difference: a move should not take much longer than a key.

  bench/measure-input.py [--rounds N] [--build DIR]

Run it through scripts/with-display.sh; needs the tree built
(scripts/build.sh win64).
"""
import argparse
import os
import statistics
import subprocess
import sys
import time

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ASK_TITLE = "Veloma Screen Saver"
SAVER_KEY = r"HKCU\Software\Tamsk soft\VelomaSS"


def wine(*args, **kwargs):
    return subprocess.run([os.path.join(TOP, "scripts", "wine-run"), *args], capture_output=True, **kwargs)


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.split()


def asked():
    return bool(xdotool("search", "--onlyvisible", "--name", f"^{ASK_TITLE}$"))


def time_answer(action):
    start = time.monotonic()
    action()
    while not asked():
        if time.monotonic() - start > 10:
            raise SystemExit(f"no password box within 10 s; windows: {xdotool('search', '--onlyvisible', '--name', '.')}")
        time.sleep(0.002)
    return (time.monotonic() - start) * 1000


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--rounds", type=int, default=7)
    parser.add_argument("--build", default=os.path.join(TOP, "build", "win64"))
    args = parser.parse_args()
    wine("--prepare", check=True)
    wine("reg", "add", SAVER_KEY + r"\System", "/v", "PassWord", "/d", "pw", "/f", check=True)
    wine("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "ScreenSaveUsePassword", "/d", "1", "/f", check=True)
    xdotool("mousemove", "512", "384")
    saver = subprocess.Popen([os.path.join(TOP, "scripts", "wine-run"), os.path.join(args.build, "VelomaSS.scr"), "/s"],
                             cwd=args.build, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(8)
        times = {"move": [], "key": []}
        x = 512
        for _ in range(args.rounds):
            for kind in times:
                if kind == "move":
                    # After a refusal the next move only sets the pointer's place.
                    xdotool("mousemove", str(x), "380")
                    time.sleep(0.5)
                    x += 5
                    times[kind].append(time_answer(lambda: xdotool("mousemove", str(x), "384")))
                else:
                    times[kind].append(time_answer(lambda: xdotool("key", "shift")))
                xdotool("key", "Escape")
                while asked():
                    time.sleep(0.05)
                time.sleep(1.5)
        move, key = statistics.median(times["move"]), statistics.median(times["key"])
        print("| input | median ms | all (ms) |\n|---|---|---|")
        for kind, values in times.items():
            print(f"| {kind} | {statistics.median(values):.0f} | {', '.join(f'{v:.0f}' for v in values)} |")
        print(f"\na move takes {move - key:.0f} ms longer than a key")
    finally:
        saver.kill()
        wine("reg", "delete", SAVER_KEY, "/f")
        wine("reg", "delete", r"HKCU\Control Panel\Desktop", "/v", "ScreenSaveUsePassword", "/f")
        wine("--server", "-k")


if __name__ == "__main__":
    sys.exit(main())
