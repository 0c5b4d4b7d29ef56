"""A process that dies loses nothing that had settled: draw, wait, kill inkwisp.exe with SIGKILL
(no message reaches it), start again, and the ink is back as a clock-named memo on the desktop and
on the screen."""
import glob
import os
import signal
import subprocess
import sys
import time

import e2e
import memo_e2e as memo

STORE = os.path.join(e2e.ROAMING, "Inkwisp")
STROKE = [(100, 300), (200, 310), (300, 320)]


def snapshots(pattern="Recovery-*"):
    return sorted(os.path.basename(p) for p in glob.glob(os.path.join(STORE, pattern)))


def in_this_prefix(pid):
    """Whether a process runs in this test's Wine prefix: other builds may run theirs beside it."""
    try:
        with open("/proc/%s/environ" % pid, "rb") as f:
            environment = f.read().split(b"\0")
    except OSError:
        return False
    return ("WINEPREFIX=" + os.environ["WINEPREFIX"]).encode() in environment


def kill_program(process):
    pids = [pid for pid in e2e.run("pgrep", "-f", "inkwisp.exe", check_status=False).split()
            if in_this_prefix(pid)]
    e2e.check(pids, "no process of inkwisp.exe to kill")
    for pid in pids:
        os.kill(int(pid), signal.SIGKILL)
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        raise e2e.Failure("inkwisp.exe lived on after SIGKILL")


def test():
    process = e2e.start_and_dismiss()
    window = e2e.wait_window(" -Inkwisp$")
    e2e.drag(window, STROKE)
    memo.wait_for(lambda: snapshots("Recovery-*.png"), "no snapshot after the ink settled")
    time.sleep(0.5)
    kill_program(process)
    e2e.check(memo.desktop_memos() == [], "a memo was saved by a process that was killed")

    process = e2e.start_and_dismiss()
    window = e2e.wait_window(" -Inkwisp$")
    memos = memo.desktop_memos()
    e2e.check(len(memos) == 1 and memo.CLOCK_NAME.match(memos[0]), "recovered %r" % memos)
    memo.wait_title(window, memos[0] + " -Inkwisp")
    path = os.path.join(e2e.DESKTOP, memos[0])
    e2e.check(memo.count(memo.read_region(path, 120, 296, 160, 30), memo.INK) > 100,
              "the recovered memo holds no ink")
    ox, oy = e2e.client_origin(window)
    e2e.check(memo.count(memo.read_screen(ox + 120, oy + 296, 160, 30), memo.INK) > 100,
              "the recovered memo is not on the screen")
    e2e.screenshot("crash-recovered")
    e2e.check(snapshots("Recovery-*.png") == [] and len(snapshots("Recovery-*.lock")) == 1,
              "the store holds %r" % snapshots())

    # Exit discards on purpose: nothing comes back at the next start.
    e2e.drag(window, [(100, 500), (300, 500)])
    memo.wait_for(lambda: snapshots("Recovery-*.png"), "no snapshot of the second stroke")
    e2e.keys(window, "alt+f", "x")
    e2e.check(e2e.wait_exit(process) == 0, "Exit failed")
    e2e.check(snapshots() == [], "Exit left %r" % snapshots())
    e2e.check(memo.desktop_memos() == memos, "Exit left %r" % memo.desktop_memos())


sys.exit(e2e.main(test))
