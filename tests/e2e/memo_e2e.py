"""Memo files for the e2e tests: image files written here, saved memos read back with ImageMagick
(a decoder that is not the program's), and paths as Wine sees them."""
import os
import re
import struct
import subprocess
import time
import zlib

import e2e

CLOCK_NAME = re.compile(r"^\d\d月\d\d日\d\d時\d\d分\d\d(_\d+)?\.png$")
INK = (0, 0, 0)
WHITE = (255, 255, 255)


def write_png(path, width, height, colour_at):
    """An 8-bit RGB PNG, through zlib; colour_at(x, y) gives an (r, g, b) tuple."""
    raw = b"".join(b"\0" + b"".join(bytes(colour_at(x, y)) for x in range(width))
                   for y in range(height))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" +
                chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def wait_saved(path):
    """Waits until a memo file is written out: a size that holds still and a 2048 × 2048 image."""
    def written():
        if not os.path.exists(path):
            return False
        size = os.path.getsize(path)
        time.sleep(0.2)
        return size == os.path.getsize(path) and image_size(path) == (2048, 2048)
    wait_for(written, "%s was not written as a 2048 x 2048 image" % path)


def windows_path(unix_path):
    return e2e.run("winepath", "-w", unix_path).strip()


def image_size(path):
    """Width and height of an image file, None while it cannot be read."""
    result = subprocess.run(["/usr/bin/identify", "-format", "%w %h", path],
                            stdin=subprocess.DEVNULL, capture_output=True, text=True)
    if result.returncode != 0:
        return None
    width, height = result.stdout.split()
    return int(width), int(height)


def read_region(path, x, y, width, height):
    """Rows of (r, g, b) tuples of a region of an image file, decoded by ImageMagick."""
    data = subprocess.run(["/usr/bin/convert", path, "-crop", "%dx%d+%d+%d" % (width, height, x, y),
                           "+repage", "-depth", "8", "rgb:-"],
                          stdin=subprocess.DEVNULL, capture_output=True, check=True).stdout
    e2e.check(len(data) == width * height * 3, "could not read %dx%d pixels of %s" %
              (width, height, path))
    return [[tuple(data[(row * width + col) * 3:(row * width + col) * 3 + 3])
             for col in range(width)] for row in range(height)]


def read_screen(x, y, width, height):
    """A region of the screen as it is shown now."""
    shot = os.path.join(e2e.SHOTS, "memo-screen.png")
    e2e.run("import", "-window", "root", shot)
    return read_region(shot, x, y, width, height)


def count(rows, colour):
    return sum(row.count(colour) for row in rows)


def wait_for(condition, message, timeout=15):
    deadline = time.time() + timeout
    while time.time() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(0.1)
    raise e2e.Failure(message)


def wait_title(window, title):
    wait_for(lambda: e2e.window_title(window) == title,
             "title stayed %r, expected %r" % (e2e.window_title(window), title))


def desktop_memos():
    return sorted(os.path.basename(p) for p in e2e.desktop_pngs())


def click_close_box(window):
    """Clicks the close box on the title bar that the window manager draws around the window."""
    tree = e2e.run("xwininfo", "-tree", "-id", window)
    frame = re.search(r"Parent window id: (0x[0-9a-f]+)", tree).group(1)
    info = e2e.run("xwininfo", "-id", frame)
    value = lambda label: int(re.search(label + r":\s+(-?\d+)", info).group(1))
    x = value("Absolute upper-left X") + value("Width") - 12
    y = value("Absolute upper-left Y") + 11
    e2e.xdotool("mousemove", str(x), str(y))
    time.sleep(0.2)
    e2e.xdotool("click", "1")


def choose_in_open_dialog(unix_path):
    """Types a file's path into the open-file dialog "開く" and confirms it."""
    dialog = e2e.wait_window("^開く$")
    e2e.keys(dialog)
    e2e.xdotool("type", "--delay", "20", windows_path(unix_path))
    e2e.keys(dialog, "Return")
    e2e.wait_gone(dialog)
