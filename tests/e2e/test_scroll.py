"""Real wheel input: turns down and tilts right scroll to the canvas's bottom-right corner, a drag
writes there, and the saved memo holds the ink at the canvas's far corner."""
import os
import sys

import e2e
import memo_e2e as memo


def test():
    process = e2e.start_and_dismiss()
    window = e2e.wait_window(" -Inkwisp$")
    ox, oy, width, height = e2e.client_area(window)
    e2e.xdotool("mousemove", str(ox + width // 2), str(oy + height // 2))
    for button in ("5", "7"):  # the wheel towards the user, then tilted right
        e2e.xdotool("click", "--repeat", "25", "--delay", "20", button)
    e2e.drag(window, [(width - 60, height - 40), (width - 30, height - 20), (width - 6, height - 6)])

    e2e.keys(window, "ctrl+s")
    memos = memo.wait_for(memo.desktop_memos, "Ctrl+S wrote no file on the desktop")
    path = os.path.join(e2e.DESKTOP, memos[0])
    memo.wait_saved(path)
    # Zoom 1 at the corner: client (width - 60, height - 40) is canvas (1988, 2008).
    corner = memo.read_region(path, 1980, 2000, 68, 48)
    e2e.check(memo.count(corner, memo.INK) > 100, "no ink at the canvas's far corner")
    e2e.check(memo.count(memo.read_region(path, 0, 0, width, height), memo.INK) == 0,
              "ink where the view showed before the wheel moved it")

    e2e.keys(window, "alt+F4")
    e2e.check(e2e.wait_exit(process) == 0, "Inkwisp did not end cleanly")


sys.exit(e2e.main(test))
