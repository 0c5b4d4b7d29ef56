"""Opening images: from the command line (with and without blanks), dropped from the desktop,
and through the Open dialog; writing on and saving the opened memo; Exit discards."""
import os
import sys

import e2e
import memo_e2e as memo
import xdnd

RED, BLUE, GREEN = (204, 0, 0), (0, 0, 204), (0, 153, 0)


def halves(left, right):
    return lambda x, y: left if x < 150 else right


def shows(origin, colours):
    """The client area shows the given colours at (50, 50), (250, 50) and (50, 250)."""
    ox, oy = origin
    rows = memo.read_screen(ox + 50, oy + 50, 201, 201)
    got = [rows[y - 50][x - 50] for x, y in ((50, 50), (250, 50), (50, 250))]
    e2e.check(got == colours, "the window shows %s, expected %s" % (got, colours))


def test():
    blank = os.path.join(e2e.HOME, "my memos", "pic.png")
    plain = os.path.join(e2e.HOME, "plain", "pic.png")
    drops = [os.path.join(e2e.HOME, "drops", name) for name in ("a.png", "b.png", "c.png")]
    memo.write_png(blank, 300, 200, halves(RED, BLUE))
    memo.write_png(plain, 300, 200, halves(BLUE, RED))
    memo.write_png(drops[0], 300, 200, halves(GREEN, GREEN))
    memo.write_png(drops[1], 300, 200, halves(RED, RED))
    memo.write_png(drops[2], 300, 200, halves(BLUE, BLUE))
    with open(blank, "rb") as f:
        original = f.read()

    # Wine hands the program a path with blanks in quotation marks, as the Windows shell does.
    process = e2e.start_and_dismiss(memo.windows_path(blank))
    window = e2e.wait_window("^pic.png -Inkwisp$")
    origin = e2e.drag(window, [(400, 300), (500, 320)])
    shows(origin, [RED, BLUE, memo.WHITE])
    e2e.keys(window, "alt+f", "x")
    e2e.check(e2e.wait_exit(process) == 0, "Exit failed")
    with open(blank, "rb") as f:
        e2e.check(f.read() == original, "Exit wrote the opened memo")
    e2e.check(os.listdir(os.path.dirname(blank)) == ["pic.png"], "Exit saved something")

    process = e2e.start_and_dismiss(memo.windows_path(plain))
    window = e2e.wait_window("^pic.png -Inkwisp$")
    origin = e2e.client_origin(window)
    shows(origin, [BLUE, RED, memo.WHITE])

    # Three files dropped from a file manager: the first is opened, unasked on a saved canvas.
    ox, oy = origin
    xdnd.drop_files(int(window), ox + 300, oy + 300, drops)
    memo.wait_title(window, "a.png -Inkwisp")
    shows(origin, [GREEN, GREEN, memo.WHITE])

    # Keep writing on the opened memo and save it in its own file.
    e2e.drag(window, [(20, 400), (120, 400), (280, 400)])
    e2e.keys(window, "alt+f", "s")
    memo.wait_saved(drops[0])
    e2e.check(memo.count(memo.read_region(drops[0], 40, 396, 220, 9), memo.INK) > 200,
              "the new stroke is not in a.png")
    e2e.check(memo.read_region(drops[0], 10, 10, 1, 1)[0][0] == GREEN, "a.png lost its picture")
    e2e.check(memo.desktop_memos() == [], "Save wrote on the desktop")

    # Open through the dialog; the canvas was just saved, so nothing is asked first.
    e2e.keys(window, "alt+f", "o")
    memo.choose_in_open_dialog(blank)
    memo.wait_title(window, "pic.png -Inkwisp")
    shows(origin, [RED, BLUE, memo.WHITE])

    e2e.keys(window, "alt+f", "x")
    e2e.check(e2e.wait_exit(process) == 0, "Exit failed")


sys.exit(e2e.main(test))
