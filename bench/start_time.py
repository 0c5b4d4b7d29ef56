"""Start of inkwisp.exe to its first painted frame, measured from outside: launch to the
no-multi-touch notice, plus its dismissal to the main window shown (UpdateWindow paints it
before the window procedure returns). The first run warms Wine's caches; the rest are timed."""
import statistics
import sys
import time

import e2e


def wait_for(pattern):
    while not e2e.find_windows(pattern):
        time.sleep(0.005)
    return time.perf_counter()


def one_start():
    e2e.reset()
    start = time.perf_counter()
    process = e2e.start()
    notice_shown = wait_for("^Inkwisp$")
    box = e2e.find_windows("^Inkwisp$")[0]
    e2e.xdotool("windowfocus", "--sync", box, "key", "Return")
    dismissed = time.perf_counter()
    shown = wait_for(" -Inkwisp$")
    window = e2e.find_windows(" -Inkwisp$")[0]
    e2e.keys(window, "alt+f", "x")
    process.wait(20)
    return (notice_shown - start) + (shown - dismissed)


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    one_start()
    times = [one_start() * 1000 for _ in range(runs)]
    print("%-52s %10.2f %10.2f" % ("start to first painted frame (warm)",
                                   statistics.median(times), max(times)))


main()
