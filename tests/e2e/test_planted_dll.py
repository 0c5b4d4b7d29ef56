"""Run from a Downloads folder: DLLs planted beside the program under the names of the system
libraries it draws with are never loaded, even with Wine told to prefer a DLL in the program's
folder (as Windows does for libraries it does not protect), and the program still draws."""
import os
import shutil
import sys

import e2e
import memo_e2e as memo

PLANTED = ["msimg32.dll", "gdiplus.dll"]


def test():
    folder = os.path.join(e2e.HOME, "Downloads", "Inkwisp")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    shutil.copy(e2e.EXE, folder)
    for name in PLANTED:
        shutil.copy(os.path.join(e2e.BUILD, "tests", "e2e", "planted.dll"),
                    os.path.join(folder, name))
    os.environ["WINEDLLOVERRIDES"] += ";" + ";".join(n[:-4] + "=n,b" for n in PLANTED)
    e2e.EXE = os.path.join(folder, "inkwisp.exe")

    try:
        process = e2e.start_and_dismiss()
        window = e2e.wait_window(" -Inkwisp$")
        e2e.drag(window, [(40, 100), (140, 100), (240, 100)])
        e2e.keys(window, "alt+f", "s")
        saved = memo.wait_for(e2e.desktop_pngs, "Save wrote no memo on the desktop")
        memo.wait_saved(saved[0])
        e2e.keys(window, "alt+f", "x")
        e2e.check(e2e.wait_exit(process) == 0, "Exit failed")
    finally:
        # Said first: a program that imports a planted DLL may not even start.
        loaded = sorted(n for n in os.listdir(folder) if n.endswith(".loaded"))
        e2e.check(loaded == [], "planted DLLs were loaded: %s" % loaded)
    ink = memo.count(memo.read_region(saved[0], 30, 90, 220, 20), memo.INK)
    e2e.check(ink > 300, "the stroke is not in the memo (%d ink pixels)" % ink)


if __name__ == "__main__":
    sys.exit(e2e.main(test))
