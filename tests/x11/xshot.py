"""What the module's Xvfb tests share: a virtual screen, a piece image of one
flat colour per picture, and a screenshot read back cell by cell."""
import io
import os
import subprocess
import time

from PIL import Image

FRAMES = 4
ROWS = 11  # the empty cell, then each kind's selection and disappearing rows


def colour(row, column):
    """Picture (row, column) of the test image: one colour each, none black."""
    return (20 + 20 * row, 40 + 50 * column, 200 - 15 * row)


PICTURES = {colour(r, c): (r, c) for r in range(ROWS) for c in range(FRAMES)}


def write_test_image(path):
    image = Image.new("RGB", (32 * FRAMES, 32 * ROWS))
    for r in range(ROWS):
        for c in range(FRAMES):
            image.paste(colour(r, c), (32 * c, 32 * r, 32 * c + 32, 32 * r + 32))
    image.save(path, "BMP")  # 24-bit, bottom-up, as the saver reads it


class Xvfb:
    """A virtual screen of its own, ended with the block."""

    def __init__(self, width, height, *options, depth=24):
        self.size = (width, height)
        self.depth = depth
        self.options = list(options)

    def __enter__(self):
        # Xvfb picks a free display and names it once it takes connections.
        ready, told = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(told), "-screen", "0", "%dx%dx%d" % (*self.size, self.depth), "-nolisten",
             "tcp", *self.options], pass_fds=(told,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(told)
        with os.fdopen(ready) as f:
            self.display = ":" + f.readline().strip()
        if self.display == ":":
            raise RuntimeError("Xvfb did not start")
        self.env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("XSCREENSAVER_WINDOW", None)
        return self

    def __exit__(self, *_):
        self.process.terminate()
        self.process.wait()

    def shot(self, box=None):
        """The screen, or the box (x, y, width, height) of it, as RGB."""
        png = subprocess.run(["import", "-window", "root", "png:-"], env=self.env, check=True,
                             capture_output=True).stdout
        image = Image.open(io.BytesIO(png)).convert("RGB")
        return image.crop((box[0], box[1], box[0] + box[2], box[1] + box[3])) if box else image

    def board(self, box, cell, within=3.0, until=None, **read):
        """The board read from the screen once it shows one in play (and
        `until` finds no problem with it), and None; or None and the last
        problem seen."""
        deadline = time.monotonic() + within
        while True:
            try:
                board = read_board(self.shot(box), cell, **read)
                problem = check_board(board) or (until and until(board))
            except ValueError as e:
                board, problem = None, str(e)
            if not problem or time.monotonic() > deadline:
                return (None, problem) if problem else (board, None)
            time.sleep(0.2)


def picture_of(pixel, tolerance=0, extra=None):
    """The (row, column) a pixel shows: exactly, or within `tolerance` per
    channel on a screen of fewer bits; None for none."""
    if extra and pixel in extra:
        return extra[pixel]
    near = min(PICTURES, key=lambda c: max(abs(a - b) for a, b in zip(c, pixel)))
    return PICTURES[near] if max(abs(a - b) for a, b in zip(near, pixel)) <= tolerance else None


def read_board(image, cell, tolerance=0, extra=None):
    """The board in a screenshot as rows of (image row, column), laid out as
    the saver lays out a board: whole cells, centred. Raises ValueError with
    what is wrong when a cell is not one flat picture or a margin not black.
    `extra` maps more colours to pictures (a fill colour)."""
    width, height = image.size
    cols, rows = min(width // cell, 240), min(height // cell, 135)
    if cols * rows < 2:
        cols = rows = 0
    left, top = (width - cols * cell) // 2, (height - rows * cell) // 2
    px = image.load()
    for x, y in ((0, 0), (width - 1, height - 1), (left - 1, top - 1), (left + cols * cell, top + rows * cell)):
        if 0 <= x < width and 0 <= y < height and (x < left or y < top or x >= left + cols * cell
                                                     or y >= top + rows * cell) and px[x, y] != (0, 0, 0):
            raise ValueError(f"margin pixel ({x}, {y}) is {px[x, y]}, not black")
    board = []
    for r in range(rows):
        line = []
        for c in range(cols):
            x0, y0 = left + c * cell, top + r * cell
            samples = {px[x0 + dx, y0 + dy] for dx in (0, cell // 2, cell - 1) for dy in (0, cell // 2, cell - 1)}
            shown = {picture_of(p, tolerance, extra) for p in samples}
            if len(shown) != 1 or None in shown:
                raise ValueError(f"cell ({c}, {r}) at ({x0}, {y0}) shows {sorted(samples)}, not one picture")
            line.append(shown.pop())
        board.append(line)
    return board


def check_board(board):
    """What a board in play looks like: pieces at rest and empty cells, at most
    one group showing one frame, pieces fallen and columns closed up to the
    left. Returns a problem, or None."""
    if not board or not board[0]:
        return "no board"
    moving = {p for line in board for p in line if p[1] > 0 or (p[0] > 0 and p[0] % 2 == 0)}
    if len(moving) > 1:
        return f"more than one frame shows at once: {sorted(moving)}"
    empty = [[p == (0, 0) for p in line] for line in board]
    cols = len(board[0])
    for c in range(cols):
        column = [empty[r][c] for r in range(len(board))]
        if column != sorted(column, reverse=True):
            return f"column {c} has a gap under a piece"
    empty_columns = [all(empty[r][c] for r in range(len(board))) for c in range(cols)]
    if empty_columns != sorted(empty_columns):
        return "an empty column left of a full one"
    if all(empty_columns):
        return "every cell empty"
    return None


# With --fill-empty --fill-colour 000080: empty cells in navy, never the image's own empty picture.
NAVY_EMPTY = {(0, 0, 128): (0, 0), colour(0, 0): None}


def empty_cell_shown(board):
    """A problem unless some cell shows the empty cell."""
    return None if (0, 0) in {p for line in board for p in line} else "no empty cell yet"
