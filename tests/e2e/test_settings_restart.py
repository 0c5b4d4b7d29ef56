"""Settings kept across runs: the stored background image bak and the start-up pen come back at
every start and on New, the Pen dialog takes real clicks, and the Settings dialog's close box
writes Settings.txt."""
import os
import struct
import sys
import time
import zlib

import e2e

SETTINGS = os.path.join(e2e.ROAMING, "Inkwisp")
SETTINGS_FILE = os.path.join(SETTINGS, "Settings.txt")
USER = os.environ.get("USER", "root")
WHITE, RED, GREEN, BLUE = (255, 255, 255), (255, 0, 0), (0, 255, 0), (0, 0, 255)


def write_png(path, width, height, rgb):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    raw = b"".join(b"\0" + bytes(rgb) * width for _ in range(height))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" +
                chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def settings_bytes(*lines):
    return b"\xff\xfe" + "".join(line + "\r\n" for line in lines).encode("utf-16-le")


def read_settings():
    with open(SETTINGS_FILE, "rb") as f:
        return f.read()


def placement(window):
    """The window's exact screen rectangle; xwininfo reads it past the window manager's frame."""
    values = {}
    for line in e2e.run("xwininfo", "-id", window).splitlines():
        key, _, value = line.strip().partition(":")
        values[key] = value.strip()
    return (int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
            int(values["Width"]), int(values["Height"]))


def open_pen_dialog(window):
    x, y, width, height = placement(window)
    e2e.xdotool("mousemove", str(x + width - 50), str(y + height - 50))
    e2e.xdotool("click", "3")
    return e2e.wait_window("^Pen$")


def start():
    """Starts the program and finds its client area exactly: the Pen dialog opens with its client
    area on the main window's, and the menu bar is as white as a blank canvas."""
    process = e2e.start_and_dismiss()
    window = e2e.wait_window(" -Inkwisp$")
    dialog = open_pen_dialog(window)
    x, y, _, _ = placement(dialog)
    e2e.keys(dialog, "Escape")
    e2e.wait_gone(dialog)
    time.sleep(0.3)
    return process, window, (x, y)


def drag(origin, points):
    e2e.xdotool("mousemove", str(origin[0] + points[0][0]), str(origin[1] + points[0][1]))
    time.sleep(0.1)
    e2e.xdotool("mousedown", "1")
    for x, y in points[1:]:
        time.sleep(0.05)
        e2e.xdotool("mousemove", str(origin[0] + x), str(origin[1] + y))
    time.sleep(0.1)
    e2e.xdotool("mouseup", "1")
    time.sleep(0.3)


def expect_pixel(rows, origin, x, y, colour, what):
    seen = rows[origin[1] + y][origin[0] + x]
    e2e.check(seen == colour, "%s: %s at client (%d, %d), expected %s" % (what, seen, x, y, colour))


def expect_stroke(origin, y, colour, width, what):
    """A level stroke at client row y: its colour in the middle, white beyond half its width."""
    drag(origin, [(350, y), (400, y), (450, y)])
    _, _, rows = e2e.screenshot(what)
    expect_pixel(rows, origin, 400, y, colour, what)
    expect_pixel(rows, origin, 400, y + width // 2 - 2, colour, what + ", inside its width")
    expect_pixel(rows, origin, 400, y + width // 2 + 3, WHITE, what + ", outside its width")


def expect_background(origin, what):
    _, _, rows = e2e.screenshot(what)
    expect_pixel(rows, origin, 100, 100, BLUE, what)
    expect_pixel(rows, origin, 299, 199, BLUE, what + ", last pixel of the image")
    expect_pixel(rows, origin, 300, 100, WHITE, what + ", right of the image")
    expect_pixel(rows, origin, 100, 200, WHITE, what + ", below the image")


def pick_in_pen_dialog(window, row, column, band):
    """Right-clicks the canvas, then clicks a palette cell and a width band with the mouse."""
    dialog = open_pen_dialog(window)
    x, y, width, height = placement(dialog)
    palette, band_height = 2 * width // 3, height // 5
    e2e.xdotool("mousemove", str(x + (2 * column + 1) * palette // 18),
                str(y + (2 * row + 1) * height // 14))
    e2e.xdotool("click", "1")
    time.sleep(0.3)
    e2e.check(dialog in e2e.find_windows("^Pen$"), "a colour pick closed the Pen dialog")
    e2e.xdotool("mousemove", str(x + palette + 20), str(y + band * band_height + band_height // 2))
    e2e.xdotool("click", "1")
    e2e.wait_gone(dialog)


def test():
    os.makedirs(SETTINGS)
    write_png(os.path.join(SETTINGS, "bak"), 300, 200, BLUE)
    folder = "C:\\users\\%s\\Desktop\\memo 100%%" % USER
    os.makedirs(os.path.join(e2e.DESKTOP, "memo 100%"))
    with open(SETTINGS_FILE, "wb") as f:
        f.write(settings_bytes("C:\\users\\%s\\Desktop" % USER, "1", "8", "FF0000"))

    process, window, origin = start()
    expect_background(origin, "background at the first start")
    expect_stroke(origin, 300, RED, 8, "start-up pen")

    pick_in_pen_dialog(window, 3, 5, 3)  # 00FF00, 16 pixels
    expect_stroke(origin, 450, GREEN, 16, "pen picked in the Pen dialog")

    e2e.keys(window, "alt+s")
    dialog = e2e.wait_window("^Settings$")
    e2e.keys(dialog, "ctrl+a")
    e2e.xdotool("type", "--delay", "20", folder)
    e2e.keys(dialog, "alt+F4")  # the close request, as the close box gives it
    e2e.wait_gone(dialog)
    expected = settings_bytes(folder, "1", "8", "FF0000")
    e2e.check(read_settings() == expected, "Settings.txt is %r" % read_settings())

    e2e.keys(window, "alt+f", "x")
    e2e.check(e2e.wait_exit(process) == 0, "the first run did not end cleanly")

    process, window, origin = start()
    expect_background(origin, "background after a restart")
    e2e.keys(window, "alt+f", "n")
    time.sleep(0.5)
    expect_background(origin, "background after New")
    expect_stroke(origin, 300, RED, 8, "start-up pen after a restart")
    e2e.keys(window, "alt+f", "x")
    e2e.check(e2e.wait_exit(process) == 0, "the second run did not end cleanly")
    e2e.check(read_settings() == expected, "a run without the Settings dialog wrote the file")


sys.exit(e2e.main(test))
