"""Start of inkwisp.exe to its first painted frame, measured from outside: launch to the
no-multi-touch notice, plus its dismissal to the main window shown (UpdateWindow paints it
before the window procedure returns). Warm: the wineserver keeps running between starts, as it
does on a desktop where other Windows programs run; the first start is not counted."""
import statistics
import subprocess
import sys
import time

import e2e


def wait_for(pattern):
    while not e2e.find_windows(pattern):
        time.sleep(0.005)
    return time.perf_counter()


def one_start():
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
    return (notice_shown - start) * 1000, (shown - dismissed) * 1000


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    e2e.reset()
    # Detached from our pipes: the server outlives this call.
    subprocess.run(["wineserver", "-p", "120"], stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    one_start()
    parts = [one_start() for _ in range(runs)]
    totals = [before + after for before, after in parts]
    print("%-52s %10.2f %10.2f" % ("start to first painted frame (warm)",
                                   statistics.median(totals), max(totals)))
    print("%-52s %10.2f %10.2f" % ("  of which launch to notice",
                                   statistics.median(p[0] for p in parts), max(p[0] for p in parts)))


main()
