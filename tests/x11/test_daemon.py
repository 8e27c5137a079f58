#!/usr/bin/python3
"""The module under the real XScreenSaver daemon, set up as the settings
program writes it (a fill colour, an image path holding a space, quoted):
activated, it draws our board on the screen; deactivated, it is gone. The daemon will not launch
modules as root, so it runs as a user of its own, made for the test and
removed after it. Skipped (77) where that cannot be done.

  test_daemon.py VELOMASS"""
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xshot import Xvfb, check_board, read_board, write_test_image  # noqa: E402

USER = "velomass-test"


def skip(why):
    print("test_daemon: skipped:", why)
    sys.exit(77)


def module_running(path):
    """Whether a process runs the module copied to `path`."""
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                if f.read().split(b"\0")[0] == path.encode():
                    return True
        except OSError:
            pass
    return False


def wait_for(what, seconds):
    deadline = time.monotonic() + seconds
    while not what():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.2)
    return True


def main():
    velomass = sys.argv[1]
    if os.geteuid() != 0:
        skip("making a user for the daemon needs root")
    for tool in ("useradd", "userdel", "runuser", "xhost", "xscreensaver", "xscreensaver-command"):
        if not shutil.which(tool):
            skip(f"{tool} is not installed")
    if subprocess.run(["id", USER], capture_output=True).returncode == 0:
        subprocess.run(["userdel", "-r", USER], capture_output=True)
    subprocess.run(["useradd", "-m", USER], check=True)
    home = f"/home/{USER}"
    module = os.path.join(home, "velomass")
    daemon = None
    try:
        shutil.copy(velomass, module)
        os.makedirs(os.path.join(home, "My Pictures"))
        image = os.path.join(home, "My Pictures", "flat.bmp")
        write_test_image(image)
        with open(os.path.join(home, ".xscreensaver"), "w") as f:
            f.write("mode: one\nselected: 0\ntimeout: 1:00:00\nlock: False\nfade: False\nunfade: False\n"
                    "splash: False\n"
                    f'programs: "Veloma" {module} --root --fill-empty --fill-colour 000080 --image "{image}" \\n\\\n\n')
        subprocess.run(["chown", "-R", f"{USER}:", home], check=True)
        with Xvfb(640, 480) as screen:
            subprocess.run(["xhost", f"+SI:localuser:{USER}"], env=screen.env, check=True, capture_output=True)
            as_user = ["runuser", "-u", USER, "--", "env", f"DISPLAY={screen.display}", f"HOME={home}"]
            daemon = subprocess.Popen(as_user + ["xscreensaver", "-no-splash"],
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            command = lambda arg: subprocess.run(as_user + ["xscreensaver-command", arg],  # noqa: E731
                                                 capture_output=True).returncode == 0
            if not wait_for(lambda: command("-time"), 10):
                print("test_daemon: the daemon did not answer")
                return 1
            command("-activate")
            if not wait_for(lambda: module_running(module), 10):
                print("test_daemon: -activate did not start the module")
                return 1
            problem = "no screenshot"
            deadline = time.monotonic() + 15
            while time.monotonic() < deadline:
                try:
                    board = read_board(screen.shot(), 32, extra={(0, 0, 128): (0, 0)})
                    problem = check_board(board)
                    if not problem and (0, 0) not in {p for line in board for p in line}:
                        problem = "no empty cell in the fill colour yet"
                except ValueError as e:
                    problem = str(e)
                if not problem:
                    break
                time.sleep(0.3)
            if problem:
                print("test_daemon: no board on the screen:", problem)
                return 1
            command("-deactivate")
            if not wait_for(lambda: not module_running(module), 10):
                print("test_daemon: the module still runs after -deactivate")
                return 1
            command("-exit")
            daemon.wait(timeout=10)
            daemon = None
        print("test_daemon: the daemon drew our board and ended the module")
        return 0
    finally:
        if daemon:
            daemon.kill()
            daemon.wait()
        subprocess.run(["userdel", "-r", USER], capture_output=True)


if __name__ == "__main__":
    sys.exit(main())
