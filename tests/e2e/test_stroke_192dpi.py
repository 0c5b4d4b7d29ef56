"""On a 192-DPI screen (200 %) zoom 1 shows a canvas pixel as 2 x 2 screen pixels: a real drag of
400 x 200 screen pixels writes a stroke of 200 x 100 canvas pixels, and Save keeps it so."""
import os
import sys

import e2e
import memo_e2e as memo


def ink_bounds(rows):
    points = [(x, y) for y, row in enumerate(rows) for x, pixel in enumerate(row)
              if pixel == memo.INK]
    xs = [x for x, _ in points]
    ys = [y for _, y in points]
    return (min(xs), min(ys), max(xs), max(ys)) if points else None


def test():
    process = e2e.start_and_dismiss()
    window = e2e.wait_window(" -Inkwisp$")
    e2e.drag(window, [(100, 100), (300, 200), (500, 300)])
    e2e.keys(window, "alt+f", "s")
    memos = memo.wait_for(memo.desktop_memos, "Save wrote no file on the desktop")
    path = os.path.join(e2e.DESKTOP, memos[0])
    memo.wait_saved(path)
    # The pen is 4 canvas pixels wide: its round ends reach 2 beyond the stroke's ends.
    bounds = ink_bounds(memo.read_region(path, 0, 0, 400, 300))
    e2e.check(bounds is not None, "no ink in the saved file")
    left, top, right, bottom = bounds
    e2e.check(abs(left - 48) <= 1 and abs(top - 48) <= 1 and abs(right - 252) <= 1
              and abs(bottom - 152) <= 1,
              "the stroke spans %s in canvas pixels, not (50, 50) to (250, 150)" % (bounds,))
    e2e.keys(window, "alt+f", "x")
    e2e.check(e2e.wait_exit(process) == 0, "Exit failed")


sys.exit(e2e.main(test))
