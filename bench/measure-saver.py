#!/usr/bin/python3
"""Measures the whole saver under Xvfb and Wine and prints a table.

For each screen size it starts a virtual X screen of that size and measures,
in the same run:
  - an idle Win32 window of our own (bench/idle_window.cpp):
    its CPU time, its peak memory and the time until its window shows;
  - the same window with a timer that does nothing at each AnimIntrvl: what
    any animation at that rate costs under Wine before it draws;
  - the floor window (bench/floor_window.cpp) at each AnimIntrvl: full
    screen, each step it scales one picture into a memory bitmap and copies
    it onto a group's cells, the least drawing a board saver does;
  - the full-screen saver (VelomaSS.scr /s) at each AnimIntrvl: its CPU time
    per minute of play, its peak memory (VmHWM of its Wine process), the
    time until the first board shows, whether the picture keeps changing and
    whether the first key closes it.
The figures that count are the saver's against the idle window's (the CPU
ratio, the extra peak memory, and the time to the first board less the time
the idle window needs to show, so Wine's own start-up is left out) and the
saver's CPU against the floor's, X and Wine counted for both: at most 1.25
times. The floor and the saver take turns, --rounds times each.

  bench/measure-saver.py [--seconds S] [--warmup S] [--sizes 1024x768,1920x1080]
                         [--intervals 50,10] [--cell-size N] [--rounds N]
                         [--build DIR] [--monitors]

--monitors measures instead on a real multi-head X server (Xorg's dummy
driver, scripts/multihead.py): the saver on one 1024x768 monitor against the
same with a second 800x600 monitor beside it, at the first AnimIntrvl; two
boards should cost at most twice one.

--seconds (default 15, or VELOMA_MEASURE_SECONDS) is the length of each CPU
measurement. Measures the 64-bit saver, which every machine here can run;
needs its tree built (scripts/build.sh win64), or --build build/win32.
"""
import argparse
import os
import signal
import statistics
import subprocess
import sys
import tempfile
import time

from PIL import ImageChops, ImageGrab

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(TOP, "scripts"))
from multihead import MultiHead  # noqa: E402
CLK_TCK = os.sysconf("SC_CLK_TCK")
IDLE_TITLE = "Veloma Idle Window"
# idle_window's window: top-left at (100, 100), a 152 x 112 grey client area.
IDLE_REGION = (100, 100, 400, 400)
IDLE_GREY = 128
FLOOR_TITLE = "Veloma Floor Window"
# The cells the floor copies its picture onto per step: what the saver
# draws per step on average with its default settings, 4.1 cells at
# 1024x768 and 4.8 at 1920x1080 (x11_cells counts them for the same game):
# its group of 3.3 cells while it animates, the cells a removal moves and
# now and then a whole new board.
FLOOR_CELLS = {"1024x768": 4, "1920x1080": 5}

TARGET_CPU_PERCENT = 2.0
TARGET_CPU_RATIO = 3.0
TARGET_EXTRA_MB = 16.0
TARGET_FIRST_BOARD_MS = 500
TARGET_FLOOR_RATIO = 1.25
WINE_RUN = os.path.join(TOP, "scripts", "wine-run")


def winpath(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Session:
    """A virtual X screen of one size and a Wine server kept running on it."""

    def __init__(self, size, prefix):
        self.size = size
        self.prefix = prefix
        self.xvfb = None
        self.display = None
        self.procs = []

    def start_x(self):
        for n in range(150, 200):
            if not os.path.exists(f"/tmp/.X{n}-lock") and not os.path.exists(f"/tmp/.X11-unix/X{n}"):
                break
        self.display = f":{n}"
        self.xvfb = subprocess.Popen(["Xvfb", self.display, "-screen", "0", f"{self.size}x24", "-br", "-nolisten", "tcp"],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if subprocess.run(["xdpyinfo", "-display", self.display], capture_output=True).returncode == 0:
                break
            time.sleep(0.1)
        else:
            raise RuntimeError(f"Xvfb {self.display} did not start")

    def stop_x(self):
        self.xvfb.terminate()
        self.xvfb.wait()

    def __enter__(self):
        self.start_x()
        self.env = dict(os.environ, DISPLAY=self.display, WINEPREFIX=self.prefix, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        # One server for the whole run on this screen, so that every program
        # meets a Wine that is already up.
        subprocess.run([WINE_RUN, "--server", "-k"], env=self.env, capture_output=True)
        subprocess.run([WINE_RUN, "--server", "-w"], env=self.env, capture_output=True, timeout=60)
        subprocess.run([WINE_RUN, "--server", "-p"], env=self.env)
        return self

    def __exit__(self, *exc):
        for proc in self.procs:
            stop(proc)
        subprocess.run([WINE_RUN, "--server", "-k"], env=self.env, capture_output=True)
        subprocess.run([WINE_RUN, "--server", "-w"], env=self.env, capture_output=True, timeout=60)
        self.stop_x()

    def start(self, args, cwd=None):
        proc = subprocess.Popen([WINE_RUN, *args], cwd=cwd, env=self.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, start_new_session=True)
        self.procs.append(proc)
        return proc

    def grab(self):
        return ImageGrab.grab(xdisplay=self.display)

    def reg_import(self, text):
        fd, path = tempfile.mkstemp(suffix=".reg")
        with os.fdopen(fd, "w", encoding="utf-16") as f:
            f.write(text)
        try:
            subprocess.run([WINE_RUN, "reg", "import", winpath(path)], env=self.env, capture_output=True, timeout=60)
        finally:
            os.unlink(path)

    def reg_delete(self, key):
        subprocess.run([WINE_RUN, "reg", "delete", key, "/f"], env=self.env, capture_output=True, timeout=60)

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, capture_output=True, timeout=30)

    def program_pid(self, name):
        """The Wine process of a program of this session. Wine runs a .scr
        through start.exe, in a process of its own: the one started is
        start.exe, waiting."""
        wanted = f"WINEPREFIX={self.prefix}".encode()
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open(f"/proc/{entry}/cmdline", "rb") as f:
                    args = f.read().split(b"\0")
                with open(f"/proc/{entry}/environ", "rb") as f:
                    env = f.read().split(b"\0")
            except OSError:
                continue
            if args and args[0].lower().endswith(name.lower().encode()) and wanted in env \
                    and f"DISPLAY={self.display}".encode() in env:
                return int(entry)
        raise RuntimeError(f"no process of {name} on {self.display}")

    def service_pids(self, program):
        """The X server and every process of this session's Wine prefix but
        the program measured: the Wine server, Wine's desktop and its other
        services, the start.exe a .scr runs under."""
        pids = [self.xvfb.pid]
        wanted = f"WINEPREFIX={self.prefix}".encode()
        for entry in os.listdir("/proc"):
            if not entry.isdigit() or int(entry) == program:
                continue
            try:
                with open(f"/proc/{entry}/environ", "rb") as f:
                    if wanted in f.read().split(b"\0"):
                        pids.append(int(entry))
            except OSError:
                continue
        return pids


class HeadSession(Session):
    """The same on Xorg with the dummy driver, its monitors in a layout of
    scripts/multihead.py; the X server counts among the services."""

    def __init__(self, layout, prefix):
        super().__init__(layout, prefix)
        self.head = MultiHead(layout)

    def start_x(self):
        self.head.start()
        self.display, self.xvfb = self.head.display, self.head.server

    def stop_x(self):
        self.head.stop()


def stop(proc):
    if proc.poll() is None:
        try:
            os.killpg(proc.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
    proc.wait()


def cpu_seconds(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
    except OSError:
        return 0.0
    # utime and stime, fields 14 and 15 of the line; all threads together.
    return (int(fields[11]) + int(fields[12])) / CLK_TCK


def peak_memory_kb(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def wait_for_picture(session, proc, shows, timeout=30.0):
    """The moment shows(screenshot) first holds; None if it never does."""
    end = time.monotonic() + timeout
    while time.monotonic() < end and proc.poll() is None:
        if shows(session.grab()):
            return time.monotonic()
        time.sleep(0.005)
    return None


def idle_window_shows(image):
    region = image.crop(IDLE_REGION).convert("L")
    grey = region.point(lambda v: 255 if v == IDLE_GREY else 0).histogram()[255]
    return grey >= 152 * 112 // 2


def board_shows(image):
    # The screen is black until the board is drawn; a board covers it with
    # pieces on their dark but not black cells.
    lit = image.convert("L").point(lambda v: 255 if v > 10 else 0).histogram()[255]
    return lit >= image.width * image.height // 2


def measure(session, proc, shows, started, warmup, seconds, program=None):
    shown = wait_for_picture(session, proc, shows)
    result = {"show_s": None if shown is None else shown - started}
    if shown is None:
        return result
    time.sleep(warmup)
    pid = session.program_pid(program) if program else proc.pid
    services = session.service_pids(pid)
    before = cpu_seconds(pid), sum(cpu_seconds(p) for p in services), time.monotonic()
    first = session.grab()
    time.sleep(seconds)
    last = session.grab()
    after = cpu_seconds(pid), sum(cpu_seconds(p) for p in services), time.monotonic()
    wall = after[2] - before[2]
    result.update(cpu=(after[0] - before[0]) / wall, services=(after[1] - before[1]) / wall,
                  peak_kb=peak_memory_kb(pid), changes=ImageChops.difference(first, last).getbbox() is not None)
    return result


def measure_idle(session, host, warmup, seconds, tick_ms=0):
    life_ms = int((warmup + seconds + 30) * 1000)
    started = time.monotonic()
    proc = session.start([host, "--life", str(life_ms), "--title", IDLE_TITLE, "--tick", str(tick_ms)])
    result = measure(session, proc, idle_window_shows, started, warmup, seconds, program=os.path.basename(host))
    stop(proc)
    return result


def measure_floor(session, floor, interval, cells, cell_size, warmup, seconds):
    life_ms = int((warmup + seconds + 30) * 1000)
    started = time.monotonic()
    proc = session.start([floor, "--interval", str(interval), "--cells", str(cells), "--cell", str(cell_size),
                          "--life", str(life_ms), "--title", FLOOR_TITLE])
    result = measure(session, proc, board_shows, started, warmup, seconds, program=os.path.basename(floor))
    stop(proc)
    return result


def combine(results):
    """Turns of one program as one: the mean share of a core, the highest
    peak, the first start; it played on and closed only if every turn did."""
    done = [r for r in results if "cpu" in r]
    if len(done) < len(results):
        return next(r for r in results if "cpu" not in r)
    out = dict(results[0])
    for key in ("cpu", "services"):
        out[key] = statistics.mean(r[key] for r in done)
    out["peak_kb"] = max(r["peak_kb"] for r in done)
    out["changes"] = all(r["changes"] for r in done)
    if "closed" in out:
        out["closed"] = True if all(r["closed"] is True for r in done) else \
            next(r["closed"] for r in done if r["closed"] is not True)
    return out


def measure_saver(session, scr, bitmap, interval, cell_size, warmup, seconds):
    system = r"HKEY_CURRENT_USER\Software\Tamsk soft\VelomaSS\System"
    sound = r"HKEY_CURRENT_USER\Software\Tamsk soft\VelomaSS\Sound"
    bitmap_text = winpath(bitmap).replace("\\", "\\\\")
    session.reg_delete(r"HKCU\Software\Tamsk soft\VelomaSS")
    session.reg_import(f"""Windows Registry Editor Version 5.00

[{system}]
"Bitmap"="{bitmap_text}"
"AnimIntrvl"="{interval}"
"CellSize"="{cell_size}"
"BlackOutTime"="0"

[{sound}]
"BGM"="0"
"Sound"="0"
""")
    started = time.monotonic()
    proc = session.start([scr, "/s"], cwd=os.path.dirname(scr))
    result = measure(session, proc, board_shows, started, warmup, seconds, program=os.path.basename(scr))
    if proc.poll() is None:
        session.xdotool("key", "space")
        try:
            proc.wait(timeout=10)
            result["closed"] = True
        except subprocess.TimeoutExpired:
            result["closed"] = False
    else:
        result["closed"] = None  # ended by itself: a failure of its own
    stop(proc)
    session.reg_delete(r"HKCU\Software\Tamsk soft\VelomaSS")
    return result


def percent(value):
    return "-" if value is None else f"{100 * value:.2f}%"


def table(head, lines):
    widths = [max(len(str(cell)) for cell in column) for column in zip(head, *lines)]
    out = [" | ".join(str(cell).ljust(w) for cell, w in zip(head, widths)),
           " | ".join("-" * w for w in widths)]
    out += [" | ".join(str(cell).ljust(w) for cell, w in zip(line, widths)) for line in lines]
    return "\n".join(out)


def ratio_text(value, base, tick):
    """value / base; a base below one clock tick gives only a lower bound."""
    if base < tick:
        return f">{value / tick:.0f}x"
    return f"{value / base:.1f}x"


def report(rows, seconds):
    """The two tables and the targets, as text."""
    tick = 1 / CLK_TCK / seconds  # one clock tick, as a share of one core
    cpu_lines, memory_lines, misses = [], [], []
    for size, interval, idle, timer, floor, saver in rows:
        name = f"{size}/{interval}"
        if "cpu" not in idle or "cpu" not in timer or "cpu" not in floor or "cpu" not in saver:
            what = ("no board shown" if "cpu" not in saver else
                    "the floor window did not show" if "cpu" not in floor else "the idle window did not show")
            cpu_lines.append([size, interval, what] + [""] * 10)
            misses.append(f"{name}: {what}")
            continue
        floor_all = floor["cpu"] + floor["services"]
        idle_cpu = idle["cpu"] if idle["cpu"] > 0 else 0.0
        saver_all, idle_all = saver["cpu"] + saver["services"], idle["cpu"] + idle["services"]
        cpu_lines.append([
            size, interval, percent(saver["cpu"]), f"{60 * saver['cpu']:.2f}",
            percent(idle_cpu) if idle_cpu else f"<{percent(tick)}", ratio_text(saver["cpu"], idle_cpu, tick),
            percent(saver_all), percent(idle_all), ratio_text(saver_all, idle_all, tick),
            percent(timer["cpu"]), ratio_text(saver["cpu"], timer["cpu"], tick),
            percent(floor_all), f"{saver_all / floor_all:.2f}"])
        if saver_all > TARGET_FLOOR_RATIO * floor_all:
            misses.append(f"{name}: with X and Wine {saver_all / floor_all:.2f}x the floor's, "
                          f"target at most {TARGET_FLOOR_RATIO:g}x")
        extra_mb = (saver["peak_kb"] - idle["peak_kb"]) / 1024
        first_ms = 1000 * (saver["show_s"] - idle["show_s"])
        memory_lines.append([
            size, interval, f"{saver['peak_kb'] / 1024:.1f}", f"{idle['peak_kb'] / 1024:.1f}", f"{extra_mb:.1f}",
            f"{1000 * saver['show_s']:.0f}", f"{1000 * idle['show_s']:.0f}", f"{first_ms:.0f}",
            "yes" if saver["changes"] else "NO", {True: "yes", False: "NO", None: "ended early"}[saver["closed"]]])
        if size == "1024x768" and interval == 50:
            if 100 * saver["cpu"] >= TARGET_CPU_PERCENT:
                misses.append(f"{name}: CPU {percent(saver['cpu'])} of one core, target under {TARGET_CPU_PERCENT}%")
            if saver["cpu"] > TARGET_CPU_RATIO * max(idle_cpu, tick):
                misses.append(f"{name}: CPU {ratio_text(saver['cpu'], idle_cpu, tick)} the idle window's, "
                              f"target at most {TARGET_CPU_RATIO:g}x")
            if saver_all > TARGET_CPU_RATIO * idle_all:
                misses.append(f"{name}: with X and Wine {ratio_text(saver_all, idle_all, tick)} the idle window's, "
                              f"target at most {TARGET_CPU_RATIO:g}x")
        if extra_mb >= TARGET_EXTRA_MB:
            misses.append(f"{name}: {extra_mb:.1f} MB over the idle window, target under {TARGET_EXTRA_MB:g} MB")
        if first_ms > TARGET_FIRST_BOARD_MS:
            misses.append(f"{name}: first board {first_ms:.0f} ms, target within {TARGET_FIRST_BOARD_MS} ms")
        if not saver["changes"] or saver["closed"] is not True:
            misses.append(f"{name}: did not play on or did not close on a key")

    out = ["", "CPU, share of one core (s/min: CPU seconds per minute of play)", table(
        ["screen", "AnimIntrvl", "saver", "s/min", "idle window", "ratio",
         "saver +X & Wine", "idle +X & Wine", "ratio", "timer window", "ratio", "floor", "saver/floor"],
        cpu_lines)]
    out += ["", "Peak memory (VmHWM, MB) and start (ms from the process start)", table(
        ["screen", "AnimIntrvl", "saver", "idle window", "extra", "to board", "to idle window", "first board",
         "plays on", "key closes"], memory_lines)]
    out += ["", "+X & Wine: with Xvfb and every other process of the Wine prefix (the Wine server, Wine's desktop",
            "and services), which draw and pass messages.",
            "timer window: the idle window with a timer that does nothing, at the AnimIntrvl rate.",
            "floor: the floor window +X & Wine: at each step one picture scaled into a memory bitmap and copied",
            f"onto a group's cells ({', '.join(f'{n} at {s}' for s, n in FLOOR_CELLS.items())}); "
            "saver/floor: saver +X & Wine over floor, both the mean of their turns.",
            f"An idle CPU of less than one clock tick is shown as <{percent(tick)}; its ratio is then a lower bound.",
            "first board: time to the first board less the time the idle window needs to show (median of its starts).",
            "targets: " + ("all met" if not misses else "missed:")]
    out += ["  " + line for line in misses]
    return "\n".join(out)


def monitors_report(rows, seconds):
    """One monitor against two, as text."""
    lines, figures = [], {}
    for layout, count, saver in rows:
        if "cpu" not in saver:
            lines.append([count, "no board shown"] + [""] * 5)
            continue
        figures[count] = saver
        lines.append([count, percent(saver["cpu"]), f"{60 * saver['cpu']:.2f}",
                      percent(saver["cpu"] + saver["services"]), f"{saver['peak_kb'] / 1024:.1f}",
                      "yes" if saver["changes"] else "NO",
                      {True: "yes", False: "NO", None: "ended early"}[saver["closed"]]])
    out = ["", f"One monitor (1024x768) against two (and 800x600 beside it), {seconds:g} s of play each", table(
        ["monitors", "saver CPU", "s/min", "saver +X & Wine", "peak MB", "plays on", "key closes"], lines)]
    if 1 in figures and 2 in figures:
        one, two = figures[1], figures[2]
        tick = 1 / CLK_TCK / seconds
        ratios = {"saver CPU": (two["cpu"], one["cpu"]),
                  "saver +X & Wine": (two["cpu"] + two["services"], one["cpu"] + one["services"]),
                  "peak memory": (two["peak_kb"], one["peak_kb"])}
        out.append("")
        for name, (a, b) in ratios.items():
            out.append(f"two/one {name}: {ratio_text(a, b, tick)}" + ("" if a <= 2 * max(b, tick) else
                                                                       "  (target at most 2x: missed)"))
    return "\n".join(out)


def main_monitors(args, scr, host, bitmap, prefix):
    interval = int(args.intervals.split(",")[0])
    rows = []
    for layout, count in (("single", 1), ("side", 2)):
        with HeadSession(layout, prefix) as session:
            measure_idle(session, host, 0.5, 0.5)
            session.xdotool("mousemove", "1000", "700")
            saver = measure_saver(session, scr, bitmap, interval, args.cell_size, args.warmup, args.seconds)
            rows.append((layout, count, saver))
            print(f"measured {count} monitor(s)", file=sys.stderr)
    print(f"Whole saver on Xorg's dummy driver and Wine: AnimIntrvl {interval}, CellSize {args.cell_size}, "
          f"{args.seconds:g} s of play after {args.warmup:g} s.")
    print(monitors_report(rows, args.seconds))
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--seconds", type=float, default=float(os.environ.get("VELOMA_MEASURE_SECONDS", 15)))
    parser.add_argument("--warmup", type=float, default=3.0)
    parser.add_argument("--sizes", default="1024x768,1920x1080")
    parser.add_argument("--intervals", default="50,10")
    parser.add_argument("--cell-size", type=int, default=32)
    parser.add_argument("--rounds", type=int, default=1)
    parser.add_argument("--build", default=os.path.join(TOP, "build", "win64"))
    parser.add_argument("--monitors", action="store_true")
    args = parser.parse_args()

    scr = os.path.join(args.build, "VelomaSS.scr")
    host = os.path.join(args.build, "bench", "idle_window.exe")
    floor = os.path.join(args.build, "bench", "floor_window.exe")
    bitmap = os.path.join(TOP, "res", "velomass.bmp")
    for path in (scr, host, floor):
        if not os.path.exists(path):
            sys.exit(f"{path} is missing: run scripts/build.sh {os.path.basename(args.build)}")
    prefix = subprocess.run([WINE_RUN, "--prepare"], stdout=subprocess.PIPE, text=True, check=True).stdout.strip()
    if args.monitors:
        return main_monitors(args, scr, host, bitmap, prefix)

    rows = []
    for size in args.sizes.split(","):
        with Session(size, prefix) as session:
            # Wine's first program in a fresh server starts its services.
            measure_idle(session, host, 0.5, 0.5)
            idle = measure_idle(session, host, args.warmup, args.seconds)
            cells = FLOOR_CELLS.get(size, 5)
            for interval in (int(i) for i in args.intervals.split(",")):
                timer = measure_idle(session, host, args.warmup, args.seconds, interval)
                floors, savers = [], []
                for _ in range(max(args.rounds, 1)):
                    floors.append(measure_floor(session, floor, interval, cells, args.cell_size, args.warmup,
                                                args.seconds))
                    savers.append(measure_saver(session, scr, bitmap, interval, args.cell_size, args.warmup,
                                                args.seconds))
                rows.append((size, interval, idle, timer, combine(floors), combine(savers)))
                print(f"measured {size} AnimIntrvl {interval}", file=sys.stderr)
            # Every start of the idle window is a sample of Wine's own start-up.
            shows = [idle["show_s"]] + [r[3]["show_s"] for r in rows if r[0] == size]
            shows = [t for t in shows if t is not None]
            if shows:
                idle["show_s"] = statistics.median(shows)

    print(f"Whole saver under Xvfb and Wine: {args.seconds:g} s of play after {args.warmup:g} s, "
          f"CellSize {args.cell_size}, floor and saver {max(args.rounds, 1)} turn(s) each; "
          "the idle window is idle_window.exe waiting in GetMessage.")
    print(report(rows, args.seconds))
    return 0


if __name__ == "__main__":
    sys.exit(main())
