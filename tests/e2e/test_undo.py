"""Undo and redo with the real keys: what Ctrl+Z took back is not saved, Ctrl+Y brings it back."""
import os
import sys

import e2e
import memo_e2e as memo


def ink_in_rows(path):
    """Ink pixels on the first stroke's row and on the second's."""
    return (memo.count(memo.read_region(path, 120, 95, 160, 10), memo.INK),
            memo.count(memo.read_region(path, 120, 195, 160, 10), memo.INK))


def test():
    process = e2e.start_and_dismiss()
    window = e2e.wait_window(" -Inkwisp$")
    e2e.drag(window, [(100, 100), (200, 100), (300, 100)])
    e2e.drag(window, [(100, 200), (200, 200), (300, 200)])

    e2e.keys(window, "ctrl+z", "ctrl+s")
    memos = memo.wait_for(memo.desktop_memos, "Ctrl+S wrote no file on the desktop")
    path = os.path.join(e2e.DESKTOP, memos[0])
    memo.wait_saved(path)
    first, second = ink_in_rows(path)
    e2e.check(first > 100 and second == 0, "after Ctrl+Z the memo holds %d, %d" % (first, second))

    e2e.keys(window, "ctrl+y", "ctrl+s")
    memo.wait_for(lambda: ink_in_rows(path)[1] > 100, "after Ctrl+Y the memo lacks the second")
    e2e.check(ink_in_rows(path)[0] == first, "Ctrl+Y changed the first stroke")
    e2e.check(memo.desktop_memos() == memos, "saving again wrote %r" % memo.desktop_memos())

    e2e.keys(window, "alt+F4")
    e2e.check(e2e.wait_exit(process) == 0, "Inkwisp did not end cleanly")


sys.exit(e2e.main(test))
