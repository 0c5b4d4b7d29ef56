"""Printing a memo written with a real mouse through the menu and the print dialog onto the local
CUPS PDF queue (set up by scripts/with-print-queue.sh): a cancelled dialog prints nothing; a
confirmed one gives a job named after the window title whose page shows the ink inside the
largest square centred in the printable area. Then the GDI+ path, which this queue never needs,
prints a page through the wine test that refuses the stretch copy, and that page is read back."""
import glob
import http.client
import math
import os
import struct
import subprocess
import sys
import time

import e2e
from pngread import read_png

QUEUE = "Inkwisp_PDF"
OUT = os.path.join(e2e.BUILD, "printed")
DPI = 100  # of the page rendering
FALLBACK_DPI = 50
JOB_COMPLETED = 9  # IPP job-state; 7 and 8 are cancelled and aborted
CANVAS = 2048
# Two strokes in client pixels, which are canvas pixels in the starting view (zoom 1, origin 0).
STROKES = [[(60 + 20 * i, 80) for i in range(21)], [(560, 120 + 20 * i) for i in range(16)]]


class Skip(Exception):
    pass


def ipp_attribute(tag, name, value):
    name, value = name.encode(), value if isinstance(value, bytes) else value.encode()
    return struct.pack(">BH", tag, len(name)) + name + struct.pack(">H", len(value)) + value


def ipp_request(operation, path, attributes):
    """Sends one IPP request to the local CUPS server and returns the response's bytes."""
    request = struct.pack(">HHI", 0x0200, operation, 1) + b"\x01"
    request += ipp_attribute(0x47, "attributes-charset", "utf-8")
    request += ipp_attribute(0x48, "attributes-natural-language", "en")
    request += attributes + b"\x03"
    connection = http.client.HTTPConnection("localhost", 631, timeout=10)
    connection.request("POST", path, request, {"Content-Type": "application/ipp"})
    data = connection.getresponse().read()
    connection.close()
    return data


def job_name(job_id):
    """A job's name from CUPS over IPP (Get-Job-Attributes), or None."""
    data = ipp_request(0x0009, "/jobs",
                       ipp_attribute(0x45, "printer-uri", "ipp://localhost/printers/" + QUEUE) +
                       ipp_attribute(0x21, "job-id", struct.pack(">i", job_id)) +
                       ipp_attribute(0x42, "requesting-user-name", os.environ.get("USER", "root")) +
                       ipp_attribute(0x44, "requested-attributes", "job-name"))
    marker = struct.pack(">BH", 0x42, len("job-name")) + b"job-name"
    at = data.find(marker)
    if at < 0:
        return None
    at += len(marker)
    (length,) = struct.unpack(">H", data[at:at + 2])
    return data[at + 2:at + 2 + length].decode()


def queue_jobs():
    """Every job the queue has had by its id: name and state, from CUPS over IPP (Get-Jobs)."""
    data = ipp_request(0x000A, "/printers/" + QUEUE,
                       ipp_attribute(0x45, "printer-uri", "ipp://localhost/printers/" + QUEUE) +
                       ipp_attribute(0x42, "requesting-user-name", os.environ.get("USER", "root")) +
                       ipp_attribute(0x44, "which-jobs", "all") +
                       ipp_attribute(0x44, "requested-attributes", "job-id") +
                       ipp_attribute(0x44, "", "job-name") + ipp_attribute(0x44, "", "job-state"))
    jobs, job, at = [], None, 8
    while at < len(data):
        tag = data[at]
        at += 1
        if tag < 0x10:  # a group starts, or the end
            if job is not None:
                jobs.append(job)
            job = {} if tag == 0x02 else None
            if tag == 0x03:
                break
            continue
        (length,) = struct.unpack(">H", data[at:at + 2])
        name = data[at + 2:at + 2 + length].decode()
        at += 2 + length
        (length,) = struct.unpack(">H", data[at:at + 2])
        value = data[at + 2:at + 2 + length]
        at += 2 + length
        if job is not None and name == "job-id":
            job["id"] = struct.unpack(">i", value)[0]
        elif job is not None and name == "job-name":
            job["name"] = value.decode()
        elif job is not None and name == "job-state":
            job["state"] = struct.unpack(">i", value)[0]
    return {j["id"]: j for j in jobs if "id" in j}


def wait_queue_empty(timeout=60):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if e2e.run("lpstat", "-o", check_status=False).strip() == "":
            return
        time.sleep(0.2)
    raise e2e.Failure("the print queue did not empty in %d s" % timeout)


def wait_new_job_done(known, timeout=90):
    """The one job that was not among `known`, once CUPS has finished it."""
    deadline = time.time() + timeout
    new = []
    while time.time() < deadline:
        new = [job for job_id, job in queue_jobs().items() if job_id not in known]
        e2e.check(len(new) <= 1, "more than one new print job: %s" % new)
        if new and new[0].get("state", 0) >= JOB_COMPLETED:
            e2e.check(new[0]["state"] == JOB_COMPLETED, "the print job ended in state %s" % new[0])
            # Get-Jobs may leave out a finished job's name; Get-Job-Attributes always has it.
            new[0].setdefault("name", job_name(new[0]["id"]))
            return new[0]
        time.sleep(0.2)
    raise e2e.Failure("no print job was finished within %d s (new jobs: %s)" % (timeout, new))


def require_queue():
    default = e2e.run("lpstat", "-d", check_status=False)
    if ("destination: %s" % QUEUE) not in default:
        raise Skip("no local CUPS queue %s as the default printer (needs root and cups, see "
                   "scripts/with-print-queue.sh)" % QUEUE)


def require_wine_sees_queue():
    key = r"HKLM\System\CurrentControlSet\Control\Print\Printers\%s" % QUEUE
    if subprocess.run(["wine", "reg", "query", key], stdin=subprocess.DEVNULL,
                      capture_output=True).returncode != 0:
        raise Skip("Wine cannot reach the CUPS queue %s (is libcups2:i386 installed?)" % QUEUE)
    default = subprocess.run(["wine", "reg", "query",
                              r"HKCU\Software\Microsoft\Windows NT\CurrentVersion\Windows",
                              "/v", "Device"], stdin=subprocess.DEVNULL, capture_output=True,
                             text=True).stdout
    if QUEUE + "," not in default:
        raise Skip("Wine's default printer is not %s: %r" % (QUEUE, default.strip()))


def open_print_dialog(window):
    e2e.keys(window, "alt+f", "p")
    return e2e.wait_window("^Print$")


def page_size_points(pdf):
    for line in e2e.run("pdfinfo", pdf).splitlines():
        if line.startswith("Page size:"):
            words = line.split()
            return float(words[2]), float(words[4])
    raise e2e.Failure("pdfinfo gave no page size for %s" % pdf)


def distance_to_segment(p, a, b):
    (px, py), (ax, ay), (bx, by) = p, a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / float(dx * dx + dy * dy)))
    return ((px - ax - t * dx) ** 2 + (py - ay - t * dy) ** 2) ** 0.5


def check_page(pdf):
    """The ink lands where the canvas, scaled to the largest square centred in the printable area
    (the whole sheet on this queue), puts it, and nowhere else."""
    width_pt, height_pt = page_size_points(pdf)
    side = min(width_pt, height_pt) * DPI / 72.0
    left = (width_pt * DPI / 72.0 - side) / 2
    top = (height_pt * DPI / 72.0 - side) / 2
    scale = side / CANVAS

    def on_page(point):
        return left + point[0] * scale, top + point[1] * scale

    prefix = os.path.join(e2e.SHOTS, "printed-page")
    e2e.run("pdftoppm", "-r", str(DPI), "-gray", "-png", "-singlefile", pdf, prefix)
    width, height, rows = read_png(prefix + ".png")
    ink = [(x, y) for y in range(height) for x in range(width) if sum(rows[y][x]) < 384]
    e2e.check(ink, "the printed page is blank")

    inked = set(ink)
    for stroke in STROKES:
        for point in stroke:
            cx, cy = on_page(point)
            near = any((int(cx) + dx, int(cy) + dy) in inked
                       for dx in range(-3, 4) for dy in range(-3, 4))
            e2e.check(near, "no ink on the page at %.0f, %.0f for canvas point %s (square at "
                      "%.0f, %.0f, side %.0f)" % (cx, cy, point, left, top, side))
    segments = [(on_page(s[0]), on_page(s[-1])) for s in STROKES]
    stray = [p for p in ink if min(distance_to_segment(p, a, b) for a, b in segments) > 4]
    e2e.check(not stray, "%d ink pixels away from the strokes, first %s" % (len(stray), stray[:3]))


def draw_strokes(origin):
    """Left-button drags along STROKES, from the client origin found once."""
    ox, oy = origin
    for stroke in STROKES:
        e2e.xdotool("mousemove", str(ox + stroke[0][0]), str(oy + stroke[0][1]))
        time.sleep(0.1)
        e2e.xdotool("mousedown", "1")
        for x, y in stroke[1:]:
            time.sleep(0.03)
            e2e.xdotool("mousemove", str(ox + x), str(oy + y))
        time.sleep(0.1)
        e2e.xdotool("mouseup", "1")
        time.sleep(0.2)


def job_pdf(job):
    pattern = os.path.join(OUT, "*-job_%d.pdf" % job["id"])
    deadline = time.time() + 20
    while not glob.glob(pattern) and time.time() < deadline:
        time.sleep(0.2)
    printed = glob.glob(pattern)
    e2e.check(printed, "no PDF for job %d in %s" % (job["id"], OUT))
    return printed[0]


def check_fallback_page(pdf):
    """The quartered canvas of the wine test (blue top-left quarter, red elsewhere) in the square
    laid out in whole millimetres and converted with the screen's 96 dpi; on a printer GDI+ counts
    those numbers in its default unit, hundredths of an inch."""
    width_pt, height_pt = page_size_points(pdf)
    width_mm, height_mm = int(width_pt * 25.4 / 72), int(height_pt * 25.4 / 72)
    side_mm = min(width_mm, height_mm)
    x_mm, y_mm = (width_mm - side_mm) // 2, (height_mm - side_mm) // 2

    def on_page(mm):
        return math.trunc(96 * (mm * 0.03937)) / 100.0 * FALLBACK_DPI

    left, top, side = on_page(x_mm), on_page(y_mm), on_page(side_mm)
    prefix = os.path.join(e2e.SHOTS, "printed-fallback-page")
    e2e.run("pdftoppm", "-r", str(FALLBACK_DPI), "-png", "-singlefile", pdf, prefix)
    width, height, rows = read_png(prefix + ".png")

    def colour(x, y):
        r, g, b = rows[int(y)][int(x)]
        if r > 230 and g > 230 and b > 230:
            return "white"
        if b > 150 and r < 80 and g < 80:
            return "blue"
        if r > 150 and g < 80 and b < 80:
            return "red"
        return str((r, g, b))

    right, bottom, middle_x, middle_y = left + side, top + side, left + side / 2, top + side / 2
    probes = [(left + 3, top + 3, "blue"), (middle_x - 3, middle_y - 3, "blue"),
              (middle_x + 3, top + 3, "red"), (left + 3, middle_y + 3, "red"),
              (right - 3, bottom - 3, "red"), (middle_x, top - 4, "white"),
              (middle_x, bottom + 4, "white")]
    if right + 4 < width:
        probes.append((right + 4, middle_y, "white"))
    for x, y, expected in probes:
        e2e.check(colour(x, y) == expected,
                  "fallback page at %.0f, %.0f is %s, not %s (square at %.0f, %.0f, side %.0f)"
                  % (x, y, colour(x, y), expected, left, top, side))


def print_fallback_page():
    known = queue_jobs()
    log = os.path.join(e2e.SHOTS, "fallback-page.log")
    with open(log, "w") as output:
        status = subprocess.run(["wine", os.path.join(e2e.BUILD, "memo", "print_wine_test.exe"),
                                 "--gtest_also_run_disabled_tests",
                                 "--gtest_filter=PrintTest.DISABLED_FallbackPageOnTheQueue"],
                                stdin=subprocess.DEVNULL, stdout=output, stderr=subprocess.STDOUT,
                                timeout=120).returncode
    with open(log) as output:
        text = output.read()
    e2e.check(status == 0 and "[  PASSED  ] 1 test" in text, "the fallback page failed:\n" + text)
    check_fallback_page(job_pdf(wait_new_job_done(known)))


def strokes_shown(origin, name):
    """Whether every stroke point shows black in the window (a screenshot of the part in use)."""
    ox, oy = origin
    path = os.path.join(e2e.SHOTS, name + ".png")
    e2e.run("import", "-window", "root", "-crop", "600x450+%d+%d" % (ox, oy), "+repage",
            "PNG24:" + path)
    _, _, rows = read_png(path)
    return all(rows[y][x] == (0, 0, 0) for stroke in STROKES for x, y in stroke)


def pdfs():
    return set(glob.glob(os.path.join(OUT, "*.pdf")))


def test():
    require_queue()
    wait_queue_empty()
    process = e2e.start_and_dismiss()
    window = e2e.wait_window(" -Inkwisp$")
    require_wine_sees_queue()
    title = e2e.window_title(window)
    origin = e2e.client_origin(window)
    draw_strokes(origin)
    e2e.check(strokes_shown(origin, "before-print"), "the strokes are not on screen as drawn")

    jobs_before, files_before = queue_jobs(), pdfs()
    dialog = open_print_dialog(window)
    e2e.keys(dialog, "Escape")
    e2e.wait_gone(dialog)
    # The dialog opens again only once the cancelled command has run to its end.
    dialog = open_print_dialog(window)
    e2e.check(queue_jobs().keys() == jobs_before.keys(), "the cancelled dialog made a print job")
    e2e.check(pdfs() == files_before, "the cancelled dialog printed")
    e2e.keys(dialog, "Return")
    e2e.wait_gone(dialog)
    job = wait_new_job_done(jobs_before)
    e2e.check(job.get("name") == title == "無題 -Inkwisp",
              "the job is named %r, the window %r" % (job.get("name"), title))
    check_page(job_pdf(job))

    # Printing leaves the window as it was: the same title and the same strokes on screen.
    e2e.check(e2e.window_title(window) == title, "printing changed the title")
    e2e.check(strokes_shown(origin, "after-print"), "the strokes changed on screen after printing")

    e2e.keys(window, "alt+f", "x")
    e2e.check(e2e.wait_exit(process) == 0, "Inkwisp did not end cleanly")

    print_fallback_page()


def run_or_skip():
    try:
        test()
    except Skip as skip:
        print("SKIP:", skip)
        raise SystemExit(e2e.SKIP)


sys.exit(e2e.main(run_or_skip))
