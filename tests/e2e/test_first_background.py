"""The first background on a fresh profile (no settings folder yet): switched on in the Settings
dialog, an image picked in the open dialog, the dialog left with Escape and, in a second round,
with Enter. It shows at once and again after a restart, under the untitled memo that follows the
box for a command-line file that cannot be opened."""
import os
import sys

import e2e
import memo_e2e as memo

SETTINGS = os.path.join(e2e.ROAMING, "Inkwisp")
BLUE = (0, 0, 255)


def shows_background(what):
    ox, oy = e2e.client_origin()
    memo.wait_for(lambda: memo.read_screen(ox + 100, oy + 100, 1, 1)[0][0] == BLUE,
                  "%s: no background at client (100, 100)" % what)
    rows = memo.read_screen(ox + 299, oy + 199, 2, 2)
    e2e.check(rows[0][0] == BLUE and rows[0][1] == memo.WHITE and rows[1][0] == memo.WHITE,
              "%s: the background is not the 300 x 200 image: %s" % (what, rows))


def first_background(leave_key, image):
    e2e.check(not os.path.exists(SETTINGS), "the profile is not fresh")
    process = e2e.start_and_dismiss()
    window = e2e.wait_window(" -Inkwisp$")
    e2e.keys(window, "alt+s")
    dialog = e2e.wait_window("^Settings$")
    e2e.keys(dialog, "Tab", "Tab", "space")  # the edit box has the focus; then "...", the box
    memo.choose_in_open_dialog(image)
    e2e.keys(dialog, leave_key)
    e2e.wait_gone(dialog)
    shows_background("after " + leave_key)
    with open(image, "rb") as original, open(os.path.join(SETTINGS, "bak"), "rb") as bak:
        e2e.check(original.read() == bak.read(), "bak is not a copy of the image")
    e2e.keys(window, "alt+f", "x")
    e2e.check(e2e.wait_exit(process) == 0, "Exit failed")

    # Restarted with a file that cannot be opened: a box says so, then the untitled memo shows.
    process = e2e.start_and_dismiss(memo.windows_path(image + ".broken"))
    e2e.dismiss_notice()
    window = e2e.wait_window(" -Inkwisp$")
    memo.wait_title(window, "無題 -Inkwisp")
    shows_background("after a restart, the dialog left with " + leave_key)
    e2e.keys(window, "alt+f", "x")
    e2e.check(e2e.wait_exit(process) == 0, "Exit failed after the restart")


def test():
    image = os.path.join(e2e.HOME, "pictures", "blue.png")
    memo.write_png(image, 300, 200, lambda x, y: BLUE)
    with open(image + ".broken", "wb") as broken:
        broken.write(b"not a picture")
    for key in ("Escape", "Return"):
        e2e.reset()
        first_background(key, image)


sys.exit(e2e.main(test))
