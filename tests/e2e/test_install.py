"""The installer round trip in a fresh Wine prefix of its own: silent install, files, registry,
"Open with" and the Start-menu shortcut; install over an existing install; silent uninstall; and
the portable zip against the installed program."""
import glob
import os
import re
import shutil
import subprocess
import sys
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PREFIX = os.path.join(os.environ["INKWISP_BUILD"], "wine", "install-prefix")
os.environ["WINEPREFIX"] = PREFIX
os.environ["HOME"] = os.path.join(os.environ["INKWISP_BUILD"], "wine", "install-home")

import e2e  # noqa: E402 (reads WINEPREFIX)
import memo_e2e as memo  # noqa: E402

DIST = os.path.join(ROOT, "dist")
DRIVE = os.path.join(PREFIX, "drive_c")
PROGRAM = os.path.join(DRIVE, "Program Files", "Inkwisp")
PROGRAM_FILES = ["LICENSE.txt", "inkwisp.exe", "inkwisp.htm", "uninstall.exe"]
SHORTCUT = os.path.join(DRIVE, "ProgramData", "Microsoft", "Windows", "Start Menu", "Programs",
                        "Inkwisp.lnk")
EXE = r"C:\Program Files\Inkwisp\inkwisp.exe"
UNINSTALLER = r'"C:\Program Files\Inkwisp\uninstall.exe"'
APP_KEY = r"HKLM\Software\Classes\Applications\inkwisp.exe"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Inkwisp"
TYPES = [".png", ".jpg", ".jpeg", ".bmp", ".gif"]
CLASSES = "HKLM\\Software\\Classes\\"
KEYS = [APP_KEY, UNINSTALL_KEY] + [CLASSES + t for t in TYPES]


def artefact(pattern):
    found = glob.glob(os.path.join(DIST, pattern))
    e2e.check(len(found) == 1, "dist/%s: found %s (run make dist)" % (pattern, found))
    return found[0]


def wine_wait(*args):
    """Runs a program in the prefix and waits until every process it started has ended (an
    uninstaller hands over to a copy of itself in the temporary folder)."""
    e2e.run("wine", *args)
    subprocess.run(["wineserver", "-w"], stdin=subprocess.DEVNULL, timeout=120)


def fresh_prefix():
    """A prefix as wineboot makes it; made once (slow) and copied for every run."""
    pristine = PREFIX + "-pristine"
    if not os.path.isfile(os.path.join(pristine, "system.reg")):
        os.environ["WINEPREFIX"] = pristine
        wine_wait("wineboot", "-i")
        os.environ["WINEPREFIX"] = PREFIX
    subprocess.run(["wineserver", "-k"], stdin=subprocess.DEVNULL, capture_output=True)
    shutil.rmtree(PREFIX, ignore_errors=True)
    shutil.copytree(pristine, PREFIX, symlinks=True)


def registry():
    """{key: {(subkey, name): (type, data)}} for our keys and the image types' keys, everything
    below each, read with `reg query` in one Wine process; a missing key reads as {}."""
    # An empty key prints nothing, a missing one prints an error: stderr is kept in its place.
    queries = " & echo ---- & ".join("reg query %s /s 2>&1" % key for key in KEYS)
    output = e2e.run("wine", "cmd", "/c", queries, check_status=False).split("----")
    e2e.check(len(output) == len(KEYS), "reg query printed %d parts" % len(output))
    trees = {}
    for key, text in zip(KEYS, output):
        lines = [line for line in text.splitlines() if line.strip() and line.strip() != "----"]
        if any(not line.upper().startswith("HKEY_") and not line[0].isspace() for line in lines):
            trees[key] = {}
            continue
        values, current = {(key, None): "exists"}, None
        for line in text.splitlines():
            if line.upper().startswith("HKEY_"):
                current = line.strip().split("\\", 1)[1]
                values[(current, None)] = None
            match = re.match(r"^\s+(.*?)\s+(REG_\w+)\s*(.*)$", line)
            if match and current is not None:
                values[(current, match.group(1))] = (match.group(2), match.group(3).strip())
        trees[key] = values
    return trees


def value(values, subkey, name):
    for (key, entry), data in values.items():
        if key.lower().endswith(subkey.lower()) and entry == name:
            return data
    return None


def check_registry(trees, before, version):
    app = trees[APP_KEY]
    command = value(app, r"Applications\inkwisp.exe\shell\open\command", "(Default)")
    e2e.check(command == ("REG_SZ", '"%s" "%%1"' % EXE), "open command is %r" % (command,))
    e2e.check(value(app, r"Applications\inkwisp.exe", "FriendlyAppName") == ("REG_SZ", "Inkwisp"),
              "FriendlyAppName missing")
    supported = sorted(entry for (key, entry) in app if key.endswith("SupportedTypes") and entry)
    e2e.check(supported == sorted(TYPES), "SupportedTypes: %s" % supported)
    # Each image type gains an Open-with entry and nothing else changes (its default program).
    for extension in TYPES:
        key = CLASSES + extension
        added = {k for k in trees[key] if k not in before[key] and k != (key, None)}
        e2e.check(any(k[0].endswith(extension + r"\OpenWithList\inkwisp.exe") for k in added) and
                  all(k[0].startswith(key[5:] + r"\OpenWithList") for k in added) and
                  all(trees[key][k] == data for k, data in before[key].items()),
                  "%s: added %s" % (extension, sorted(map(str, added))))

    entries = trees[UNINSTALL_KEY]
    expected = {
        "DisplayName": ("REG_SZ", "Inkwisp"),
        "DisplayVersion": ("REG_SZ", version),
        "Publisher": ("REG_SZ", "The Inkwisp developers"),
        "DisplayIcon": ("REG_SZ", '"%s",0' % EXE),
        "InstallLocation": ("REG_SZ", r"C:\Program Files\Inkwisp"),
        "UninstallString": ("REG_SZ", UNINSTALLER),
        "QuietUninstallString": ("REG_SZ", UNINSTALLER + " /S"),
        "NoModify": ("REG_DWORD", "0x1"),
        "NoRepair": ("REG_DWORD", "0x1"),
    }
    for name, data in expected.items():
        got = value(entries, "Uninstall\\Inkwisp", name)
        e2e.check(got == data, "Uninstall %s is %r, expected %r" % (name, got, data))
    size = value(entries, "Uninstall\\Inkwisp", "EstimatedSize")
    kilobytes = sum(os.path.getsize(os.path.join(PROGRAM, f)) for f in PROGRAM_FILES) // 1024
    e2e.check(size is not None and size[0] == "REG_DWORD" and
              abs(int(size[1], 16) - kilobytes) <= len(PROGRAM_FILES),
              "EstimatedSize %r, the files take %d KB" % (size, kilobytes))


def installed_files():
    return sorted(os.listdir(PROGRAM)) if os.path.isdir(PROGRAM) else []


def read(path):
    with open(path, "rb") as f:
        return f.read()


def start_from_shell(*args):
    """Starts something the way the shell would; the program's notice is answered."""
    process = subprocess.Popen(["wine", *args], stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    e2e.dismiss_notice()
    return process


def close(window):
    e2e.keys(window, "alt+f", "x")
    e2e.wait_gone(window)


def test():
    setup = artefact("Inkwisp-*-setup.exe")
    version = re.search(r"Inkwisp-(.+)-setup\.exe$", setup).group(1)
    archive = artefact("Inkwisp-%s-win32.zip" % version)

    # Step 1: a silent install in a fresh prefix.
    os.makedirs(e2e.DESKTOP, exist_ok=True)
    fresh_prefix()
    e2e.reset()
    # One type with a default program of its own, as on Windows; it must keep it throughout.
    e2e.run("wine", "reg", "add", CLASSES + ".bmp", "/ve", "/d", "Paint.Picture", "/f")
    before = registry()
    e2e.check(value(before[CLASSES + ".bmp"], ".bmp", "(Default)") == ("REG_SZ", "Paint.Picture"),
              "could not give .bmp a default program")
    e2e.check(before[APP_KEY] == {} and before[UNINSTALL_KEY] == {}, "Inkwisp was registered")
    wine_wait(setup, "/S")
    e2e.check(installed_files() == PROGRAM_FILES, "installed: %s" % installed_files())
    e2e.check(os.path.isfile(SHORTCUT), "no Start-menu shortcut")
    e2e.check(glob.glob(os.path.join(DRIVE, "users", "*", "Desktop", "Inkwisp.lnk")) == [],
              "a desktop shortcut nobody asked for")
    check_registry(registry(), before, version)

    # Step 2: the zip holds exactly its files, and its program is the installed one.
    with zipfile.ZipFile(archive) as files:
        names = files.namelist()
        e2e.check(names == ["Inkwisp/inkwisp.exe", "Inkwisp/inkwisp.htm", "Inkwisp/LICENSE.txt",
                            "Inkwisp/README.txt"], "the zip holds %s" % names)
        e2e.check(files.read("Inkwisp/inkwisp.exe") == read(os.path.join(PROGRAM, "inkwisp.exe")),
                  "the zip's inkwisp.exe is not the installed one")
        manual = read(os.path.join(ROOT, "res", "inkwisp.htm"))
        e2e.check(files.read("Inkwisp/inkwisp.htm") == manual == read(os.path.join(PROGRAM,
                  "inkwisp.htm")), "the zip's or the installed manual is not the project's")

    # Step 3: "Open with" on an image whose path has blanks opens it as a memo.
    picture = os.path.join(e2e.HOME, "my pictures", "pic one.png")
    memo.write_png(picture, 300, 200, lambda x, y: (204, 0, 0))
    opener = os.path.join(os.environ["INKWISP_BUILD"], "tests", "e2e", "open_with.exe")
    start_from_shell(opener, "Applications\\inkwisp.exe", memo.windows_path(picture))
    window = e2e.wait_window("^pic one.png -Inkwisp$")
    e2e.screenshot("install-open-with")
    close(window)

    # Step 4: the Start-menu shortcut starts the installed program.
    start_from_shell("start", "/unix", SHORTCUT)
    close(e2e.wait_window("^無題 -Inkwisp$"))

    # Step 5: installing over an older install replaces the program, keeps the user's files.
    settings = os.path.join(e2e.ROAMING, "Inkwisp")
    os.makedirs(settings, exist_ok=True)
    kept = {os.path.join(settings, "Settings.txt"): "\ufeffC:\\memos\r\n1\r\n8\r\nFF8000\r\n"
            .encode("utf-16-le"),
            os.path.join(settings, "bak"): b"\x89PNG background",
            os.path.join(e2e.DESKTOP, "memo.png"): b"\x89PNG memo"}
    for path, data in kept.items():
        with open(path, "wb") as f:
            f.write(data)
    for name in ("inkwisp.exe", "inkwisp.htm"):
        with open(os.path.join(PROGRAM, name), "wb") as f:
            f.write(b"an older version")
    wine_wait(setup, "/S")
    e2e.check(installed_files() == PROGRAM_FILES, "after reinstalling: %s" % installed_files())
    with zipfile.ZipFile(archive) as files:
        e2e.check(files.read("Inkwisp/inkwisp.exe") == read(os.path.join(PROGRAM, "inkwisp.exe")),
                  "reinstalling did not replace the program")
    e2e.check(all(read(path) == data for path, data in kept.items()),
              "reinstalling changed the user's settings, bak or memo")

    # Step 6: the quiet uninstall command leaves nothing of ours and the user's files alone.
    installed = registry()
    check_registry(installed, before, version)
    command = value(installed[UNINSTALL_KEY], "Uninstall\\Inkwisp", "QuietUninstallString")[1]
    program, arguments = re.match(r'^"([^"]+)"\s*(.*)$', command).groups()
    wine_wait(program, *arguments.split())
    e2e.check(not os.path.exists(PROGRAM), "left in Program Files: %s" % installed_files())
    e2e.check(not os.path.exists(SHORTCUT), "the Start-menu shortcut is still there")
    after = registry()
    changed = [str(k) for key in KEYS for k in set(after[key]) ^ set(before[key])]
    e2e.check(after == before, "the registry is not as it was before installing: %s" % changed)
    e2e.check(all(read(path) == data for path, data in kept.items()),
              "uninstalling touched the user's settings, bak or memo")


if __name__ == "__main__":
    sys.exit(e2e.main(test))
