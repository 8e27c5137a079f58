#!/usr/bin/python3
"""Checks velomass-sim: every trace, to the character, against a small model
of the rules written here from scratch, so a change in the order of random
draws or in any rule shows up as a differing line; replay from a seed; the
option handling."""
import re
import subprocess
import sys

SIM = sys.argv[1]
failures = []


def fail(what):
    failures.append(what)
    print("FAIL: " + what)


def run(*args):
    p = subprocess.run([SIM, *args], capture_output=True, text=True, timeout=120)
    return p.returncode, p.stdout, p.stderr


# --- the model -------------------------------------------------------------

class Msvc:
    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF

    def random(self, n):
        self.state = (self.state * 214013 + 2531011) & 0xFFFFFFFF
        r = (self.state >> 16) & 0x7FFF
        return int(r * n / 32768) if n > 0 else 0


def model_trace(cols, rows, kinds, pattern, seed, removals):
    """The trace the rules give, as a list of lines."""
    cols, rows = min(cols, 240), min(rows, 135)
    if cols * rows < 2:
        return ["end 0 0"]
    kinds = kinds if 3 <= kinds <= 5 else 5
    rnd = Msvc(seed)
    g = [[0] * rows for _ in range(cols)]
    out = []

    def rows_text():
        return ["".join(str(g[x][y]) for x in range(cols)) for y in range(rows)]

    def deal():
        p = pattern
        if p == 2:
            p = 4 + rnd.random(2)
        if p == 1:
            for x in range(cols):
                for y in range(rows):
                    g[x][y] = 1 + rnd.random(kinds)
        elif p == 3:
            for k in range((min(cols, rows) + 1) // 2):
                v = 1 + rnd.random(kinds)
                for x in range(k, cols - k):
                    for y in range(k, rows - k):
                        if x in (k, cols - 1 - k) or y in (k, rows - 1 - k):
                            g[x][y] = v
        elif p == 4:
            for y in range(rows):
                v = 1 + rnd.random(kinds)
                for x in range(cols):
                    g[x][y] = v
        else:
            for x in range(cols):
                v = 1 + rnd.random(kinds)
                for y in range(rows):
                    g[x][y] = v

    def find_pair():
        # The first piece, columns left to right and piles bottom up, that
        # equals its upper or right neighbour.
        for x in range(cols):
            if g[x][rows - 1] == 0:
                return None
            for y in range(rows - 1, -1, -1):
                v = g[x][y]
                if v == 0:
                    break
                if (y > 0 and g[x][y - 1] == v) or (x + 1 < cols and g[x + 1][y] == v):
                    return (x, y)
        return None

    def group(x, y):
        v = g[x][y]
        seen, todo = {(x, y)}, [(x, y)]
        while todo:
            cx, cy = todo.pop()
            for nx, ny in ((cx, cy - 1), (cx, cy + 1), (cx - 1, cy), (cx + 1, cy)):
                if 0 <= nx < cols and 0 <= ny < rows and (nx, ny) not in seen and g[nx][ny] == v:
                    seen.add((nx, ny))
                    todo.append((nx, ny))
        return seen

    def pick(pair):
        for _ in range(10):
            c = max([x + 1 for x in range(cols) if g[x][rows - 1]] or [0])
            x = rnd.random(c)
            t = next((y for y in range(rows) if g[x][y]), rows)
            y = t + rnd.random(rows - t)
            if y < rows and g[x][y] and len(group(x, y)) > 1:
                return x, y, group(x, y)
        return pair[0], pair[1], group(*pair)

    def remove(cells):
        for x, y in cells:
            g[x][y] = 0
        for x in range(cols):
            pile = [v for v in g[x] if v]
            g[x] = [0] * (rows - len(pile)) + pile
        kept = [col for col in g if col[rows - 1]]
        g[:] = kept + [[0] * rows for _ in range(cols - len(kept))]

    def new_board():
        for _ in range(1000):
            deal()
            pair = find_pair()
            if pair:
                return pair
        raise RuntimeError("no pair in 1000 deals")

    done_removals = boards = 0
    pair = new_board()
    boards += 1
    out += ["board"] + rows_text()
    if removals == 0:
        return out + ["end 0 1"]
    while True:
        x, y, cells = pick(pair)
        out.append("pick %d %d %d" % (x, y, len(cells)))
        cycles = 1
        while rnd.random(5) >= 2:
            cycles += 1
        remove(cells)
        done_removals += 1
        out += ["remove %d" % cycles] + rows_text()
        if done_removals >= removals:
            return out + ["end %d %d" % (done_removals, boards)]
        pair = find_pair()
        if pair is None:
            pair = new_board()
            boards += 1
            out += ["board"] + rows_text()


# --- the checks ------------------------------------------------------------

def check_against_model(args, cols, rows, kinds, pattern, seed, removals):
    rc, out, err = run("--trace", *args)
    if rc != 0:
        fail("%s: exit %d, %s" % (args, rc, err.strip()))
        return out
    want = model_trace(cols, rows, kinds, pattern, seed, removals)
    got = out.split("\n")[:-1]
    if got != want:
        n = next((i for i, (a, b) in enumerate(zip(got, want)) if a != b), min(len(got), len(want)))
        fail("%s: line %d is %r, the rules give %r" % (
            " ".join(args), n + 1, got[n] if n < len(got) else None, want[n] if n < len(want) else None))
    return out


def main():
    cases = [
        # cols, rows, kinds, pattern, seed, removals, extra options
        (20, 15, 5, 1, 1, 100, []),
        (9, 6, 3, 1, 7, 300, ["--frames", "1"]),
        (8, 5, 4, 2, 99, 200, ["--still"]),
        (7, 5, 5, 3, 3, 150, ["--frames", "7", "--still"]),
        (6, 4, 5, 4, 5, 100, []),
        (6, 4, 5, 5, 6, 100, []),
        (5, 3, 0, 0, 8, 100, []),
        (5, 3, 9, 9, 4294967295, 100, ["--frames", "1", "--still"]),
        (2, 1, 5, 1, 12, 30, []),
        (1, 2, 3, 3, 13, 30, []),
        (1, 1, 5, 1, 1, 10, []),
        (12, 10, 5, 1, 21, 0, []),
        (300, 200, 5, 5, 22, 60, []),  # clamped to the capacity
    ]
    for cols, rows, kinds, pattern, seed, removals, extra in cases:
        args = ["--cols", str(cols), "--rows", str(rows), "--kinds", str(kinds),
                "--pattern", str(pattern), "--seed", str(seed), "--removals", str(removals)] + extra
        out = check_against_model(args, cols, rows, kinds, pattern, seed, removals)
        again = run("--trace", *args)[1]
        if again != out:
            fail("%s: a second run with the same seed traced differently" % " ".join(args))

    # Defaults: 20 x 15, 5 kinds, Random, seed 1, 100 removals.
    rc, out, _ = run("--trace")
    if out.split("\n")[:-1] != model_trace(20, 15, 5, 1, 1, 100):
        fail("default options do not play 20 x 15, 5 kinds, pattern 1, seed 1, 100 removals")
    if run("--trace", "--seed", "2")[1] == out:
        fail("seeds 1 and 2 traced the same game")

    rc, out, _ = run("--removals", "25", "--seed", "3")
    if rc != 0 or not re.fullmatch(
            r"25 removals, [1-9][0-9]* boards, [1-9][0-9]* ticks, [0-9]+\.[0-9]{3} us per removal step\n", out):
        fail("summary line: %r" % out)

    for bad in (["--frames", "0"], ["--cols", "x"], ["--cols"], ["--seed", "-1"],
                ["--seed", "4294967296"], ["--removals", "3.5"], ["--bogus"], ["trace"]):
        rc, out, err = run(*bad)
        if rc != 2 or out or "velomass-sim:" not in err:
            fail("%s: exit %d, stdout %r, stderr %r; wanted exit 2 and a message" % (bad, rc, out[:40], err[:80]))

    if failures:
        print("%d check(s) failed" % len(failures))
        return 1
    print("velomass-sim traces follow the rules")
    return 0


if __name__ == "__main__":
    sys.exit(main())
