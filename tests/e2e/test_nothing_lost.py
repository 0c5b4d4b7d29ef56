"""Nothing the user wrote is lost: ending the Windows session saves the memo; a close whose save
fails asks, and each answer does what it says; an image opened after No holds none of the old ink."""
import os
import shutil
import sys
import time

import e2e
import memo_e2e as memo

GREEN = (0, 153, 0)
STROKE = [(100, 400), (200, 400), (300, 400)]


def ink_in(path):
    return memo.count(memo.read_region(path, 120, 396, 160, 9), memo.INK)


def start_and_write():
    process = e2e.start_and_dismiss()
    window = e2e.wait_window(" -Inkwisp$")
    e2e.drag(window, STROKE)
    return process, window


def save_question():
    box = e2e.wait_window("^Inkwisp$")
    e2e.screenshot("save-question")
    return box


def session_end():
    process, _ = start_and_write()
    e2e.run("wine", "wineboot", "--end-session")
    e2e.wait_exit(process)
    memos = memo.desktop_memos()
    e2e.check(len(memos) == 1 and memo.CLOCK_NAME.match(memos[0]), "the session end left %r" % memos)
    path = os.path.join(e2e.DESKTOP, memos[0])
    memo.wait_saved(path)
    e2e.check(ink_in(path) > 100, "the memo saved at the session end holds no ink")
    os.remove(path)


def failing_close():
    process, window = start_and_write()
    shutil.rmtree(e2e.DESKTOP)  # the save folder is gone
    memo.click_close_box(window)
    e2e.keys(save_question(), "Escape")  # Cancel: window and ink stay
    time.sleep(0.5)
    e2e.check(window in e2e.find_windows(" -Inkwisp$"), "Cancel closed the window")
    ox, oy = e2e.client_origin()
    e2e.check(memo.count(memo.read_screen(ox + 120, oy + 396, 160, 9), memo.INK) > 100,
              "Cancel lost the ink")

    e2e.keys(window, "alt+F4")
    e2e.keys(save_question(), "Return")  # Yes, and the save fails again: asked again
    box = save_question()
    os.makedirs(e2e.DESKTOP)
    e2e.keys(box, "Return")  # Yes, and now it is written
    e2e.check(e2e.wait_exit(process) == 0, "the window did not close after a good save")
    memos = memo.desktop_memos()
    e2e.check(len(memos) == 1, "Yes left %r" % memos)
    path = os.path.join(e2e.DESKTOP, memos[0])
    memo.wait_saved(path)
    e2e.check(ink_in(path) > 100, "the memo saved on Yes holds no ink")
    os.remove(path)

    process, window = start_and_write()
    shutil.rmtree(e2e.DESKTOP)
    memo.click_close_box(window)
    e2e.keys(save_question(), "n")  # No: closes without saving
    e2e.check(e2e.wait_exit(process) == 0, "No did not close the window")
    os.makedirs(e2e.DESKTOP)
    e2e.check(memo.desktop_memos() == [], "No saved something")


def open_after_no():
    image = os.path.join(e2e.HOME, "opened", "green.png")
    memo.write_png(image, 150, 150, lambda x, y: memo.WHITE if x < 50 else GREEN)
    process, window = start_and_write()
    e2e.drag(window, [(10, 10), (30, 30), (60, 60)])  # under the image's white part
    e2e.keys(window, "alt+f", "o")
    e2e.keys(save_question(), "n")
    memo.choose_in_open_dialog(image)
    memo.wait_title(window, "green.png -Inkwisp")
    ox, oy = e2e.client_origin()
    e2e.check(memo.count(memo.read_screen(ox, oy, 400, 420), memo.INK) == 0,
              "the opened image shows the old ink")
    e2e.keys(window, "alt+f", "s")
    memo.wait_saved(image)
    e2e.check(memo.count(memo.read_region(image, 0, 0, 400, 420), memo.INK) == 0,
              "the saved memo holds the old ink")
    e2e.check(memo.read_region(image, 100, 100, 1, 1)[0][0] == GREEN, "the image was not saved")
    e2e.keys(window, "alt+f", "x")
    e2e.check(e2e.wait_exit(process) == 0, "Exit failed")


def test():
    session_end()
    failing_close()
    open_after_no()


sys.exit(e2e.main(test))
