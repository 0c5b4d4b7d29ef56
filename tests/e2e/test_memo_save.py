"""Write, Save through the menu, the save question on New, and closing with the title-bar box."""
import os
import sys

import e2e
import memo_e2e as memo


def test():
    process = e2e.start_and_dismiss()
    window = e2e.wait_window(" -Inkwisp$")
    ox, oy = e2e.drag(window, [(100, 100), (200, 120), (300, 140)])

    e2e.keys(window, "alt+f", "s")
    memos = memo.wait_for(memo.desktop_memos, "Save wrote no file on the desktop")
    e2e.check(len(memos) == 1 and memo.CLOCK_NAME.match(memos[0]), "saved %r" % memos)
    name = memos[0]
    memo.wait_title(window, name + " -Inkwisp")
    path = os.path.join(e2e.DESKTOP, name)
    memo.wait_saved(path)

    # The file holds what the window shows, pixel for pixel (zoom 1, no scrolling). The client
    # origin found from the screen may be off by a pixel, so the nearest exact match counts.
    saved = memo.read_region(path, 0, 0, 400, 300)
    e2e.check(memo.count(saved, memo.INK) > 100, "no ink in the saved file")
    shown = memo.read_screen(ox - 2, oy - 2, 404, 304)
    matches = [(dx, dy) for dy in range(5) for dx in range(5)
               if all(shown[dy + y][dx:dx + 400] == saved[y] for y in range(300))]
    e2e.check(len(matches) == 1, "the saved pixels differ from the window (%s)" % matches)
    e2e.check(memo.count(memo.read_region(path, 1000, 1000, 1048, 1048), memo.WHITE) == 1048 * 1048,
              "the unwritten canvas is not white in the file")

    # New on a modified canvas asks; Cancel keeps the ink and the memo.
    e2e.drag(window, [(100, 250), (200, 250), (300, 250)])
    e2e.keys(window, "alt+f", "n")
    box = e2e.wait_window("^Inkwisp$")
    e2e.keys(box, "Escape")
    e2e.wait_gone(box)
    e2e.check(e2e.window_title(window) == name + " -Inkwisp", "Cancel changed the memo")
    e2e.check(memo.count(memo.read_screen(ox + 120, oy + 245, 160, 10), memo.INK) > 50,
              "Cancel lost the ink")

    # The close box saves the change into the same file, without a question.
    memo.click_close_box(window)
    code = e2e.wait_exit(process)
    e2e.check(code == 0, "exit code %d" % code)
    e2e.check(memo.desktop_memos() == [name], "closing left %r" % memo.desktop_memos())
    e2e.check(memo.count(memo.read_region(path, 120, 245, 160, 10), memo.INK) > 50,
              "closing did not save the second stroke")


sys.exit(e2e.main(test))
