"""Long runs: the full-screen saver playing board after board at its fastest
without its memory growing, and many preview runs in a row.

VELOMA_SOAK_SECONDS sets the length of the full-screen run (default 180);
the memory is judged after its first minute.
"""
import os
import statistics
import time
import unittest

import veloma_e2e as e2e

CELL = 128


def soak_seconds():
    return max(90.0, float(os.environ.get("VELOMA_SOAK_SECONDS", "180")))


def grab():
    from PIL import ImageGrab
    return ImageGrab.grab()


def empty_cells(image):
    """Cells of the CELL grid whose middle shows no piece: the empty-cell
    picture (dark), black, or the last frames of a disappearing piece."""
    cols, rows = image.width // CELL, image.height // CELL
    left, top = (image.width - cols * CELL) // 2, (image.height - rows * CELL) // 2
    # The value channel is the brightest of red, green and blue.
    bright = image.convert("RGB").convert("HSV").getchannel("V").point(lambda v: 255 if v > 90 else 0)
    empty = 0
    for x in range(cols):
        for y in range(rows):
            x0, y0 = left + x * CELL + CELL // 4, top + y * CELL + CELL // 4
            lit = bright.crop((x0, y0, x0 + CELL // 2, y0 + CELL // 2)).histogram()[255]
            if lit < (CELL // 2) ** 2 // 10:
                empty += 1
    return empty, cols * rows


def rss_kb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise AssertionError(f"no VmRSS for process {pid}")


class SoakTest(unittest.TestCase):
    def setUp(self):
        e2e.reg_delete_key(e2e.SAVER_KEY)
        self.addCleanup(e2e.reg_delete_key, e2e.SAVER_KEY)

    def test_full_screen_plays_on_with_steady_memory_and_closes_on_a_key(self):
        binary_dir = e2e.need("VELOMA_BINARY_DIR")
        e2e.reg_add(e2e.SYSTEM_KEY, "Bitmap", e2e.winpath(os.path.join(binary_dir, "velomass.bmp")))
        e2e.reg_add(e2e.SYSTEM_KEY, "AnimIntrvl", "10")
        e2e.reg_add(e2e.SYSTEM_KEY, "CellSize", str(CELL))
        e2e.reg_add(e2e.SYSTEM_KEY, "BlackOutTime", "0")
        length = soak_seconds()

        proc = e2e.start_wine([e2e.scr_path(), "/s"], cwd=binary_dir)
        self.addCleanup(e2e.kill_group, proc)
        self.assertTrue(e2e.wait_for(lambda: empty_cells(grab())[0] == 0, 30),
                        f"no full board within 30 s; empty cells {empty_cells(grab())}")
        self.assertIn("VelomaSS.scr", e2e.command_line(proc.pid))

        start = time.monotonic()
        boards, empties, memory, unchanged = 0, 0, [], []
        last_shot, last_shot_at, last_memory_at = grab(), start, start - 10
        while (now := time.monotonic()) - start < length:
            self.assertIsNone(proc.poll(), f"the saver ended by itself after {now - start:.0f} s")
            shot = grab()
            count, cells = empty_cells(shot)
            # Cells only empty within a board; a full grid after empties is a new board.
            if count == 0 and empties >= 2:
                boards += 1
            empties = count
            if now - last_shot_at >= 10:
                if shot.tobytes() == last_shot.tobytes():
                    unchanged.append(round(now - start))
                last_shot, last_shot_at = shot, now
            if now - last_memory_at >= 5:
                memory.append((now - start, rss_kb(proc.pid)))
                last_memory_at = now
            time.sleep(0.1)

        self.assertEqual(unchanged, [], "seconds into the run at which the picture had not changed for 10 s")
        wanted_boards = int(length / 10)
        self.assertGreaterEqual(boards, wanted_boards,
                                f"new boards in {length:.0f} s: got {boards}, wanted at least {wanted_boards}")

        settled = [kb for t, kb in memory if 60 <= t < 75]
        final = [kb for t, kb in memory if t >= length - 15]
        growth = statistics.median(final) - statistics.median(settled)
        self.assertLessEqual(growth, 1024,
                             f"VmRSS grew by {growth:.0f} KB after the first minute, wanted at most 1024 KB; "
                             f"samples (s, KB): {[(round(t), kb) for t, kb in memory]}")

        e2e.xdotool("key", "space")
        code, err = e2e.finish(proc, 10, "the saver after a key")
        self.assertEqual(code, 0, f"exit code after a key: got {code}, wanted 0; {err[-1000:]}")
        print(f"soak: {length:.0f} s, {boards} boards, VmRSS after the first minute "
              f"{statistics.median(settled):.0f} KB, at the end {statistics.median(final):.0f} KB")

    def test_fifty_preview_runs_leave_no_process_behind(self):
        self.assertEqual(e2e.wine_processes("VelomaSS.scr"), [], "saver processes before the runs")
        e2e.keep_wine_up(self)
        for run in range(1, 51):
            report = e2e.run_preview_host(life_ms=1200, wait_exit_ms=5000, title=f"Veloma Preview Host {run}")
            got = {k: report.get(k) for k in ("child_windows", "child_ended", "child_exit_code")}
            self.assertEqual(got, {"child_windows": "1", "child_ended": "1", "child_exit_code": "0"},
                             f"preview run {run}: got {got}; report {report}")
        left = e2e.wine_processes("VelomaSS.scr") + e2e.wine_processes("preview_host.exe")
        self.assertEqual(left, [], "processes left after 50 preview runs (pid, command line)")


if __name__ == "__main__":
    unittest.main()
