#!/usr/bin/python3
"""The module under the real XScreenSaver daemon, set up as the settings
program writes it (a fill colour, an image path holding a space, quoted):
activated, it draws our board on the screen; deactivated, it is gone. The
daemon will not launch modules as root, so it runs as a user of its own,
made for the test and removed after it. Skipped (77) where that cannot be
done.

  test_daemon.py VELOMASS"""
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xshot import NAVY_EMPTY, Xvfb, empty_cell_shown, write_test_image  # noqa: E402

USER = "velomass-test"


def module_running(path):
    """Whether a process runs the module copied to `path`."""
    return subprocess.run(["pgrep", "-f", f"^{path} "], capture_output=True).returncode == 0


def wait_for(what, seconds):
    deadline = time.monotonic() + seconds
    while not (met := what()) and time.monotonic() < deadline:
        time.sleep(0.2)
    return met


def run(velomass, home, screen):
    """The daemon's session; returns what went wrong, or None."""
    module = os.path.join(home, "velomass")
    shutil.copy(velomass, module)
    image = os.path.join(home, "My Pictures", "flat.bmp")
    os.makedirs(os.path.dirname(image))
    write_test_image(image)
    with open(os.path.join(home, ".xscreensaver"), "w") as f:
        f.write("mode: one\nselected: 0\ntimeout: 1:00:00\nlock: False\nfade: False\nunfade: False\n"
                "splash: False\n"
                f'programs: "Veloma" {module} --root --fill-empty --fill-colour 000080 --image "{image}" \\n\\\n\n')
    subprocess.run(["chown", "-R", f"{USER}:", home], check=True)
    subprocess.run(["xhost", f"+SI:localuser:{USER}"], env=screen.env, check=True, capture_output=True)
    as_user = ["runuser", "-u", USER, "--", "env", f"DISPLAY={screen.display}", f"HOME={home}"]
    daemon = subprocess.Popen(as_user + ["xscreensaver", "-no-splash"], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    try:
        def command(arg):
            return subprocess.run(as_user + ["xscreensaver-command", arg], capture_output=True).returncode == 0
        if not wait_for(lambda: command("-time"), 10):
            return "the daemon did not answer"
        command("-activate")
        if not wait_for(lambda: module_running(module), 10):
            return "-activate did not start the module"
        _, problem = screen.board(None, 32, within=15, extra=NAVY_EMPTY, until=empty_cell_shown)
        if problem:
            return f"no board on the screen: {problem}"
        command("-deactivate")
        if not wait_for(lambda: not module_running(module), 10):
            return "the module still runs after -deactivate"
        command("-exit")
        daemon.wait(timeout=10)
        return None
    finally:
        daemon.kill()
        daemon.wait()


def main():
    if os.geteuid() != 0:
        print("test_daemon: skipped: making a user for the daemon needs root")
        return 77
    for tool in ("useradd", "userdel", "runuser", "xhost", "xscreensaver", "xscreensaver-command"):
        if not shutil.which(tool):
            print(f"test_daemon: skipped: {tool} is not installed")
            return 77
    subprocess.run(["userdel", "-r", USER], capture_output=True)  # left by a run that was killed
    subprocess.run(["useradd", "-m", USER], check=True)
    try:
        with Xvfb(640, 480) as screen:
            problem = run(sys.argv[1], f"/home/{USER}", screen)
    finally:
        subprocess.run(["userdel", "-r", USER], capture_output=True)
    print("test_daemon:", problem or "the daemon drew our board and ended the module")
    return 1 if problem else 0


if __name__ == "__main__":
    sys.exit(main())
