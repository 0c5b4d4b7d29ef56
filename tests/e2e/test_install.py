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


def artefact(pattern):
    found = glob.glob(os.path.join(DIST, pattern))
    e2e.check(len(found) == 1, "dist/%s: found %s (run make dist)" % (pattern, found))
    return found[0]


def wine_wait(*args):
    """Runs a program in the prefix and waits until every process it started has ended (an
    uninstaller hands over to a copy of itself in the temporary folder)."""
    e2e.run("wine", *args)
    subprocess.run(["wineserver", "-w"], stdin=subprocess.DEVNULL, timeout=120)


def registry(key):
    """{(subkey, name): (type, data)} for a key and everything below it; {} when it is missing."""
    result = subprocess.run(["wine", "reg", "query", key, "/s"], stdin=subprocess.DEVNULL,
                            capture_output=True, text=True)
    values, current = {}, None
    for line in result.stdout.splitlines():
        if line.upper().startswith("HKEY_"):
            current = line.strip().split("\\", 1)[1] if "\\" in line else ""
            values.setdefault((current, None), None)
            continue
        match = re.match(r"^\s+(.*?)\s+(REG_\w+)\s*(.*)$", line)
        if match and current is not None:
            values[(current, match.group(1))] = (match.group(2), match.group(3).strip())
    return values if result.returncode == 0 else {}


def value(values, subkey, name):
    for (key, entry), data in values.items():
        if key.lower().endswith(subkey.lower()) and entry == name:
            return data
    return None


def image_types():
    """What the images' keys say before installing: their default programs and Open-with lists."""
    keys = ["HKLM\\Software\\Classes\\" + t for t in TYPES]
    return ([value(registry(key), t, "(Default)") for key, t in zip(keys, TYPES)],
            [registry(key + "\\OpenWithList") for key in keys])


def check_registry(version):
    app = registry(APP_KEY)
    command = value(app, r"Applications\inkwisp.exe\shell\open\command", "(Default)")
    e2e.check(command == ("REG_SZ", '"%s" "%%1"' % EXE), "open command is %r" % (command,))
    e2e.check(value(app, r"Applications\inkwisp.exe", "FriendlyAppName") == ("REG_SZ", "Inkwisp"),
              "FriendlyAppName missing")
    supported = sorted(entry for (key, entry) in app if key.endswith("SupportedTypes") and entry)
    e2e.check(supported == sorted(TYPES), "SupportedTypes: %s" % supported)
    for extension in TYPES:
        listed = registry(r"HKLM\Software\Classes\%s\OpenWithList\inkwisp.exe" % extension)
        e2e.check(listed, "%s has no Open-with entry" % extension)

    entries = registry(UNINSTALL_KEY)
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
    return entries


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
    subprocess.run(["wineserver", "-k"], stdin=subprocess.DEVNULL, capture_output=True)
    shutil.rmtree(PREFIX, ignore_errors=True)
    os.makedirs(e2e.DESKTOP, exist_ok=True)
    e2e.run("wine", "wineboot", "-i")
    e2e.reset()
    defaults, lists = image_types()
    wine_wait(setup, "/S")
    e2e.check(installed_files() == PROGRAM_FILES, "installed: %s" % installed_files())
    e2e.check(os.path.isfile(SHORTCUT), "no Start-menu shortcut")
    e2e.check(glob.glob(os.path.join(DRIVE, "users", "*", "Desktop", "Inkwisp.lnk")) == [],
              "a desktop shortcut nobody asked for")
    check_registry(version)
    e2e.check(image_types()[0] == defaults, "the images' default programs were changed")

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
    quiet = check_registry(version)
    command = value(quiet, "Uninstall\\Inkwisp", "QuietUninstallString")[1]
    program, arguments = re.match(r'^"([^"]+)"\s*(.*)$', command).groups()
    wine_wait(program, *arguments.split())
    e2e.check(not os.path.exists(PROGRAM), "left in Program Files: %s" % installed_files())
    e2e.check(not os.path.exists(SHORTCUT), "the Start-menu shortcut is still there")
    e2e.check(registry(APP_KEY) == {}, "the application's registration is still there")
    e2e.check(registry(UNINSTALL_KEY) == {}, "the Add/Remove Programs entry is still there")
    e2e.check(image_types() == (defaults, lists), "the images' Open-with lists were not restored")
    e2e.check(all(read(path) == data for path, data in kept.items()),
              "uninstalling touched the user's settings, bak or memo")


if __name__ == "__main__":
    sys.exit(e2e.main(test))
