"""Drives the real inkwisp.exe under Wine and Xvfb with real X input (xdotool), for the e2e tests.
The environment (WINEPREFIX, HOME, DISPLAY) comes from scripts/e2e-run.sh. A script named
test_<what>_192dpi.py runs in the prefix of a 192-DPI screen (200 %), with a desktop and a
settings folder of its own (tests/e2e/CMakeLists.txt sets INKWISP_WINE_DPI)."""
import glob
import os
import shutil
import subprocess
import sys
import time

from pngread import read_png

BUILD = os.environ["INKWISP_BUILD"]
EXE = os.path.join(BUILD, "Inkwisp", "inkwisp.exe")
HOME = os.environ["HOME"]
DESKTOP = os.path.join(HOME, "Desktop")
ROAMING = os.path.join(os.environ["WINEPREFIX"], "drive_c", "users", os.environ.get("USER", "root"),
                       "AppData", "Roaming")
SHOTS = os.path.join(BUILD, "e2e-shots")
SKIP = 77


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def run(*args, check_status=True):
    result = subprocess.run(args, stdin=subprocess.DEVNULL, capture_output=True, text=True)
    if check_status and result.returncode != 0:
        raise Failure("%s failed: %s" % (" ".join(args), result.stderr.strip()))
    return result.stdout


def xdotool(*args):
    return run("xdotool", *args)


def reset():
    """A clean start: no Wine process left, an empty desktop, no settings."""
    subprocess.run(["wineserver", "-k"], stdin=subprocess.DEVNULL, capture_output=True)
    shutil.rmtree(DESKTOP, ignore_errors=True)
    os.makedirs(DESKTOP)
    shutil.rmtree(os.path.join(ROAMING, "Inkwisp"), ignore_errors=True)
    os.makedirs(SHOTS, exist_ok=True)


def start(*args):
    return subprocess.Popen(["wine", EXE, *args], stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def find_windows(pattern):
    result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", pattern],
                            stdin=subprocess.DEVNULL, capture_output=True, text=True)
    return [w for w in result.stdout.split()]


def wait_window(pattern, timeout=30):
    deadline = time.time() + timeout
    while time.time() < deadline:
        found = find_windows(pattern)
        if found:
            time.sleep(0.3)
            return found[0]
        time.sleep(0.1)
    raise Failure("no window titled like %r appeared" % pattern)


def wait_gone(window, timeout=15):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if subprocess.run(["xdotool", "getwindowname", window], capture_output=True,
                          stdin=subprocess.DEVNULL).returncode != 0:
            return
        if window not in find_windows("."):
            return
        time.sleep(0.1)
    raise Failure("window %s did not close" % window)


def window_title(window):
    return xdotool("getwindowname", window).strip()


def keys(window, *names):
    xdotool("windowfocus", "--sync", window)
    time.sleep(0.2)
    for name in names:
        xdotool("key", name)
        time.sleep(0.25)


def dismiss_notice():
    """Answers the no-multi-touch notice that Wine (no digitizer) shows at every start."""
    box = wait_window("^Inkwisp$")
    keys(box, "Return")
    wait_gone(box)


def start_and_dismiss(*args):
    process = start(*args)
    dismiss_notice()
    return process


def screenshot(name):
    path = os.path.join(SHOTS, name + ".png")
    run("import", "-window", "root", "PNG24:" + path)
    return read_png(path)


def client_area(window=None):
    """Screen rectangle (x, y, width, height) of the main window's client area, as Windows itself
    reports it (the menu bar is as white as a blank canvas, so pixels cannot tell)."""
    probe = os.path.join(BUILD, "tests", "e2e", "client_area.exe")
    deadline = time.time() + 10
    while True:
        words = run("wine", probe, check_status=False).split()
        if len(words) == 4:
            return tuple(int(w) for w in words)
        if time.time() > deadline:
            raise Failure("the main window's client area could not be found")
        time.sleep(0.2)


def client_origin(window=None):
    """Screen position of the client area's top-left corner."""
    x, y, _, _ = client_area(window)
    return x, y


def drag(window, points):
    """A left-button drag through client points, given relative to the client origin."""
    ox, oy = client_origin(window)
    xdotool("mousemove", str(ox + points[0][0]), str(oy + points[0][1]))
    time.sleep(0.1)
    xdotool("mousedown", "1")
    for px, py in points[1:]:
        time.sleep(0.05)
        xdotool("mousemove", str(ox + px), str(oy + py))
    time.sleep(0.1)
    xdotool("mouseup", "1")
    time.sleep(0.3)
    return ox, oy


def wait_exit(process, timeout=20):
    try:
        return process.wait(timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        raise Failure("inkwisp.exe did not end")


def main(test):
    """Runs one e2e test function with a clean start and a clean end."""
    reset()
    try:
        test()
    except Failure as failure:
        print("FAIL:", failure)
        screenshot("failure-" + os.path.basename(sys.argv[0]))
        return 1
    finally:
        subprocess.run(["wineserver", "-k"], stdin=subprocess.DEVNULL, capture_output=True)
    print("PASS")
    return 0


def desktop_pngs():
    return sorted(glob.glob(os.path.join(DESKTOP, "*.png")))
