"""Starting, writing with a real mouse drag, the version box, and Exit with code 0."""
import sys

import e2e


def test():
    process = e2e.start_and_dismiss()
    window = e2e.wait_window(" -Inkwisp$")
    e2e.check(e2e.window_title(window) == "無題 -Inkwisp",
              "title is %r" % e2e.window_title(window))

    ox, oy = e2e.drag(window, [(100, 100), (150, 110), (200, 120), (300, 140)])
    _, _, rows = e2e.screenshot("stroke")
    ink = [rows[oy + 120 + dy][ox + 200] for dy in range(-3, 4)]
    e2e.check(any(p == (0, 0, 0) for p in ink), "no black ink at the dragged place: %s" % ink)
    e2e.check(rows[oy + 300][ox + 200] == (255, 255, 255), "ink where nothing was drawn")

    e2e.keys(window, "alt+h", "a")
    box = e2e.wait_window("^Inkwisp$")
    e2e.keys(box, "Return")
    e2e.wait_gone(box)

    e2e.keys(window, "alt+f", "x")
    code = e2e.wait_exit(process)
    e2e.check(code == 0, "exit code %d" % code)
    e2e.check(e2e.desktop_pngs() == [], "Exit saved a memo")


sys.exit(e2e.main(test))
