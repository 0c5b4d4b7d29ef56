"""A folder standing at the memo's name: Save says it could not save, the folder and the file in it
stay as they were, nothing else lands on the desktop, and closing still asks."""
import os
import sys
import time

import e2e
import memo_e2e as memo


def test():
    process = e2e.start_and_dismiss()
    window = e2e.wait_window(" -Inkwisp$")
    e2e.drag(window, [(100, 100), (200, 120), (300, 140)])
    e2e.keys(window, "alt+f", "s")
    name = memo.wait_for(memo.desktop_memos, "Save wrote no file on the desktop")[0]
    path = os.path.join(e2e.DESKTOP, name)
    memo.wait_saved(path)

    # The memo's file becomes a folder of that name, with a file of its own.
    os.remove(path)
    os.makedirs(path)
    inside = os.path.join(path, "inside.txt")
    with open(inside, "wb") as f:
        f.write(b"keep")
    e2e.drag(window, [(100, 250), (200, 250), (300, 250)])
    e2e.keys(window, "alt+f", "s")
    box = e2e.wait_window("^Inkwisp$")
    e2e.screenshot("folder-at-memo")
    e2e.keys(box, "Return")
    e2e.wait_gone(box)
    time.sleep(0.5)
    e2e.check(os.path.isdir(path), "the folder at the memo's name is gone")
    e2e.check(os.listdir(path) == ["inside.txt"], "the folder holds %r" % os.listdir(path))
    with open(inside, "rb") as f:
        e2e.check(f.read() == b"keep", "the file in the folder changed")
    e2e.check(sorted(os.listdir(e2e.DESKTOP)) == [name], "the desktop holds %r" %
              sorted(os.listdir(e2e.DESKTOP)))

    # The memo stays unsaved: closing asks; Cancel keeps the window, No closes it.
    memo.click_close_box(window)
    e2e.keys(e2e.wait_window("^Inkwisp$"), "Escape")
    time.sleep(0.5)
    e2e.check(window in e2e.find_windows(" -Inkwisp$"), "Cancel closed the window")
    e2e.keys(window, "alt+F4")
    e2e.keys(e2e.wait_window("^Inkwisp$"), "n")
    e2e.check(e2e.wait_exit(process) == 0, "No did not close the window")
    e2e.check(os.listdir(path) == ["inside.txt"], "closing changed the folder")


sys.exit(e2e.main(test))
