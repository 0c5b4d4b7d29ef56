"""On a 192-DPI screen (200 %) zoom 1 shows a canvas pixel as 2 x 2 screen pixels: a real drag of
400 x 200 screen pixels writes a stroke of 200 x 100 canvas pixels, and Save keeps it so."""
import os
import sys

import e2e
import memo_e2e as memo


def test():
    e2e.start_and_dismiss()
    window = e2e.wait_window(" -Inkwisp$")
    e2e.drag(window, [(100, 100), (300, 200), (500, 300)])
    e2e.keys(window, "alt+f", "s")
    path = os.path.join(e2e.DESKTOP, memo.wait_for(memo.desktop_memos, "Save wrote no file")[0])
    memo.wait_saved(path)
    ink = [(x, y) for y, row in enumerate(memo.read_region(path, 0, 0, 400, 300))
           for x, pixel in enumerate(row) if pixel == memo.INK]
    e2e.check(ink, "no ink in the saved file")
    # The pen is 4 canvas pixels wide: its round ends reach 2 beyond the stroke's ends.
    bounds = (min(x for x, _ in ink), min(y for _, y in ink), max(x for x, _ in ink),
              max(y for _, y in ink))
    e2e.check(all(abs(a - b) <= 1 for a, b in zip(bounds, (48, 48, 252, 152))),
              "the stroke spans %s in canvas pixels, not (50, 50) to (250, 150)" % (bounds,))


sys.exit(e2e.main(test))
