"""The installer as an administrator runs it: silently, into a fresh prefix
of the tree's kind (64-bit for the 64-bit saver, 32-bit for the 32-bit one),
over an older install, then the saver as Windows starts it, then the silent
uninstall."""
import os
import shutil
import subprocess
import tempfile
import unittest

import pefile

import veloma_e2e as e2e

APP_KEY = r"HKLM\Software\Tamsk soft\VelomaSS"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VelomaSS"
DEFAULT_FOLDER = r"C:\Program Files\VelomaSS"
# Wine quotes an argument with a space, and NSIS takes /D= only unquoted.
FOLDER = r"C:\Games\Veloma"
MACHINES = {"x64": 0x8664, "x86": 0x014C}


class InstallerTest(unittest.TestCase):
    def setUp(self):
        self.setup = e2e.need("VELOMA_SETUP")
        if not os.path.exists(self.setup):
            self.skipTest(f"{self.setup} not made: run scripts/package.sh")
        info = subprocess.run(e2e.wine("--info"), capture_output=True, text=True, check=True).stdout
        if "win32=yes" not in info.split():
            self.skipTest("the installer is a 32-bit program, and this machine cannot execute 32-bit programs")
        self.arch = e2e.need("VELOMA_ARCH")
        self.view = ["/reg:64"] if self.arch == "x64" else []
        self.prefix = tempfile.mkdtemp(prefix="veloma-setup-")
        self.addCleanup(shutil.rmtree, self.prefix, True)
        e2e.set_env(self, WINEPREFIX=self.prefix, WINEARCH="win64" if self.arch == "x64" else "win32")
        self.addCleanup(e2e.end_wine)
        prepared = subprocess.run(e2e.wine("--prepare"), capture_output=True, text=True, timeout=300)
        self.assertEqual(prepared.returncode, 0, prepared.stderr)
        self.drive_c = os.path.join(self.prefix, "drive_c")

    def run_wine(self, *args):
        """Runs a program and waits for everything it started (an NSIS
        uninstaller runs on from a copy of itself)."""
        proc = subprocess.run(e2e.wine(*args), capture_output=True, timeout=120)
        subprocess.run(e2e.wine("--server", "-w"), capture_output=True, timeout=120)
        self.assertEqual(proc.returncode, 0, f"{args}: {proc.stderr.decode('utf-8', 'replace')[-2000:]}")

    def unix(self, path):
        return os.path.join(self.drive_c, *path[3:].split("\\"))

    def files(self, folder):
        return sorted(os.path.relpath(os.path.join(d, f), folder) for d, _, names in os.walk(folder) for f in names)

    def values(self, key, *options):
        return e2e.reg_values(key, *(options or self.view))

    def test_silent_install_plays_at_once_and_uninstall_leaves_the_user_settings(self):
        # An older install in the default folder; the update goes where /D= says.
        self.run_wine(self.setup, "/S")
        self.assertTrue(os.path.exists(self.unix(DEFAULT_FOLDER + r"\velomass.bmp")))
        self.run_wine(self.setup, "/S", "/D=" + FOLDER)
        self.assertFalse(os.path.exists(self.unix(DEFAULT_FOLDER)), "the older install's folder stayed")

        saver = self.unix(r"C:\windows\system32\VelomaSS.scr")
        self.assertEqual(pefile.PE(saver, fast_load=True).FILE_HEADER.Machine, MACHINES[self.arch])
        self.assertFalse(os.path.exists(self.unix(r"C:\windows\syswow64\VelomaSS.scr")))
        samples = os.listdir(e2e.source("samples"))
        self.assertEqual(self.files(self.unix(FOLDER)),
                         sorted(["INSTALL.txt", "uninstall.exe", "velomass.bmp"] + [f"samples/{n}" for n in samples]))

        entry = self.values(UNINSTALL_KEY)
        size = int(entry.pop("EstimatedSize", ("", "0"))[1], 16)
        self.assertGreater(size, os.path.getsize(saver) // 1024)
        uninstaller = FOLDER + r"\uninstall.exe"
        self.assertEqual(entry, {
            "DisplayName": ("REG_SZ", "Veloma Screen Saver"),
            "DisplayVersion": ("REG_SZ", e2e.need("VELOMA_VERSION")),
            "Publisher": ("REG_SZ", "Tamsk soft"),
            "DisplayIcon": ("REG_SZ", r"C:\windows\system32\VelomaSS.scr,0"),
            "InstallLocation": ("REG_SZ", FOLDER),
            "UninstallString": ("REG_SZ", f'"{uninstaller}"'),
            "QuietUninstallString": ("REG_SZ", f'"{uninstaller}" /S'),
            "NoModify": ("REG_DWORD", "0x1"),
            "NoRepair": ("REG_DWORD", "0x1")})
        self.assertEqual(self.values(APP_KEY), {"InstallDir": ("REG_SZ", FOLDER)})
        if self.arch == "x64":
            # Only the view of the saver's own kind.
            self.assertIsNone(self.values(UNINSTALL_KEY, "/reg:32"))
            self.assertIsNone(self.values(APP_KEY, "/reg:32"))

        # The saver as Windows starts it, from a folder without our image; a
        # 64-bit program, so the 64-bit loader: the 32-bit one would look in SysWOW64.
        proc = e2e.start_wine([r"C:\windows\system32\VelomaSS.scr", "/s"], cwd=self.prefix,
                              **({"VELOMA_WIN32": "no"} if self.arch == "x64" else {}))
        self.addCleanup(e2e.kill_group, proc)
        e2e.wait_saver(proc)
        screen = e2e.grab()
        e2e.kill_group(proc)
        self.assertLessEqual(e2e.read_cells(screen, (0, 0, *screen.size)).count(None), 8, "not our pieces")

        # The user's own settings stay; the user's choice of saver goes with it.
        e2e.reg_add(e2e.SYSTEM_KEY, "Speed", "5")
        e2e.reg_add(e2e.DESKTOP_KEY, "SCRNSAVE.EXE", r"C:\WINDOWS\system32\velomass.scr")
        self.run_wine(self.unix(uninstaller), "/S")
        self.assertFalse(os.path.exists(saver), "the saver stayed")
        self.assertFalse(os.path.exists(self.unix(FOLDER)), f"left {self.files(self.unix(FOLDER))}")
        self.assertIsNone(self.values(UNINSTALL_KEY), "the uninstall entry stayed")
        self.assertIsNone(self.values(r"HKLM\Software\Tamsk soft"), "the folder's key stayed")
        self.assertEqual(e2e.reg_values(e2e.SYSTEM_KEY), {"Speed": ("REG_SZ", "5")})
        self.assertNotIn("SCRNSAVE.EXE", e2e.reg_values(e2e.DESKTOP_KEY))


if __name__ == "__main__":
    unittest.main()
