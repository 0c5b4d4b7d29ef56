"""The installer round trips in fresh Wine prefixes of their own, for each installer that this
machine runs (the x64 one everywhere, the x86 one where 32-bit code runs): for every user (silent
install, files, registry, "Open with" and the Start-menu shortcut; install over an existing
install; silent uninstall, and "Open with" left to the other program's install; the portable zip
against the installed program), for the current user only (nothing written to HKLM or Program
Files; a silent install over a running copy changes nothing), and for every user on 64-bit
Windows, each program in its own Program Files and registry view. Also: the winget and Scoop
manifests against the built files, and signing with a throwaway certificate."""
import glob
import hashlib
import json
import os
import re
import shutil
import subprocess
import sys
import time
import zipfile

import yaml

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WINE = os.path.join(os.environ["INKWISP_BUILD"], "wine")
os.environ["WINEPREFIX"] = os.path.join(WINE, "install-prefix")
os.environ["HOME"] = os.path.join(WINE, "install-home")

import e2e  # noqa: E402 (reads WINEPREFIX)
import memo_e2e as memo  # noqa: E402

DIST = os.path.join(ROOT, "dist")
PROGRAM_FILES = ["LICENSE.txt", "inkwisp.exe", "inkwisp.htm", "uninstall.exe"]
TYPES = [".png", ".jpg", ".jpeg", ".bmp", ".gif"]
USER = os.environ.get("USER", "root")
EXIT_IN_USE = 32
EXIT_OLD_WINDOWS = 1150


# Each program's downloads, and the build folder of its own "Open with" helper.
DOWNLOADS = {"x86": ("Inkwisp-%s-setup.exe", "Inkwisp-%s-win32.zip", "windows"),
             "x64": ("Inkwisp-%s-x64-setup.exe", "Inkwisp-%s-x64.zip", "windows-x64")}


class Install:
    """Where one scope's install of one program ("x86", "x64") goes in one prefix: "machine"
    (every user) or "user"."""

    def __init__(self, prefix, arch, scope, program="x86"):
        self.prefix, self.arch, self.scope = os.path.join(WINE, prefix), arch, scope
        self.program_arch = program
        drive = os.path.join(self.prefix, "drive_c")
        start_menu = ["Microsoft", "Windows", "Start Menu", "Programs", "Inkwisp.lnk"]
        if scope == "machine":
            wow64 = arch == "win64" and program == "x86"
            folder = "Program Files (x86)" if wow64 else "Program Files"
            self.folder = "C:\\%s\\Inkwisp" % folder
            self.program = os.path.join(drive, folder, "Inkwisp")
            self.shortcut = os.path.join(drive, "ProgramData", *start_menu)
            self.switch, root = "/AllUsers", "HKLM"
        else:
            self.folder = "C:\\users\\%s\\AppData\\Local\\Programs\\Inkwisp" % USER
            self.program = os.path.join(drive, "users", USER, "AppData", "Local", "Programs",
                                        "Inkwisp")
            self.shortcut = os.path.join(drive, "users", USER, "AppData", "Roaming", *start_menu)
            self.switch, root = "/CurrentUser", "HKCU"
        self.exe = self.folder + "\\inkwisp.exe"
        self.uninstaller = '"%s\\uninstall.exe"' % self.folder
        self.app_key = root + r"\Software\Classes\Applications\inkwisp.exe"
        self.uninstall_key = root + r"\Software\Microsoft\Windows\CurrentVersion\Uninstall\Inkwisp"
        self.classes = root + "\\Software\\Classes\\"
        self.keys = [self.app_key, self.uninstall_key] + [self.classes + t for t in TYPES]


def artefact(pattern):
    found = glob.glob(os.path.join(DIST, pattern))
    e2e.check(len(found) == 1, "dist/%s: found %s (run make dist)" % (pattern, found))
    return found[0]


def runs_32_bit_code():
    return os.environ["INKWISP_RUNS_32_BIT"] == "1"  # scripts/arch.sh's probe


def use_prefix(at):
    """Wine for the prefix: Debian's own where 32-bit code runs (it starts 64-bit programs too),
    else the 64-bit loader alone (scripts/wine64)."""
    subprocess.run(["wineserver", "-k"], stdin=subprocess.DEVNULL, capture_output=True)
    os.environ["WINEPREFIX"], os.environ["WINEARCH"] = at.prefix, at.arch
    shim = os.path.join(ROOT, "scripts", "wine64")
    folders = [f for f in os.environ["PATH"].split(os.pathsep) if f != shim]
    os.environ.pop("WINELOADER", None)
    if not runs_32_bit_code():
        folders.insert(0, shim)
        os.environ["WINELOADER"] = "/usr/lib/wine/wine64"
    os.environ["PATH"] = os.pathsep.join(folders)
    e2e.ROAMING = os.path.join(at.prefix, "drive_c", "users", USER, "AppData", "Roaming")


def wine_status(*args, wait_all=True):
    """Runs a program in the prefix, returns its exit code (as Linux gives it: the low byte);
    with wait_all, also waits until every
    process it started has ended (an uninstaller hands over to a copy of itself in the temporary
    folder) and the registry is saved."""
    status = subprocess.run(["wine", *args], stdin=subprocess.DEVNULL, capture_output=True,
                            timeout=120).returncode
    if wait_all:
        subprocess.run(["wineserver", "-w"], stdin=subprocess.DEVNULL, timeout=120)
    return status


def wine_wait(*args):
    status = wine_status(*args)
    e2e.check(status == 0, "%s exited with %d" % (" ".join(args), status))


def fresh_prefix(at):
    """A prefix as wineboot makes it; made once for each architecture (slow) and copied."""
    use_prefix(at)
    pristine = at.prefix + "-pristine"
    if not os.path.isfile(os.path.join(pristine, "system.reg")):
        os.environ["WINEPREFIX"] = pristine
        wine_wait("wineboot", "-i")
        os.environ["WINEPREFIX"] = at.prefix
    shutil.rmtree(at.prefix, ignore_errors=True)
    shutil.copytree(pristine, at.prefix, symlinks=True)


def registry(at, keys=None, view=""):
    """{key: {(subkey, name): (type, data)}} for the scope's keys and the image types' keys,
    everything below each, read with `reg query` in one Wine process (as a 32-bit program sees
    them, or in the given view, "/reg:64"); a missing key reads as {}."""
    keys = keys or at.keys
    # An empty key prints nothing, a missing one prints an error: stderr is kept in its place.
    queries = " & echo ---- & ".join("reg query %s /s %s 2>&1" % (key, view) for key in keys)
    output = e2e.run("wine", "cmd", "/c", queries, check_status=False).split("----")
    e2e.check(len(output) == len(keys), "reg query printed %d parts" % len(output))
    trees = {}
    for key, text in zip(keys, output):
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


def check_registry(at, trees, before, version):
    app = trees[at.app_key]
    command = value(app, r"Applications\inkwisp.exe\shell\open\command", "(Default)")
    e2e.check(command == ("REG_SZ", '"%s" "%%1"' % at.exe), "open command is %r" % (command,))
    e2e.check(value(app, r"Applications\inkwisp.exe", "FriendlyAppName") == ("REG_SZ", "Inkwisp"),
              "FriendlyAppName missing")
    supported = sorted(entry for (key, entry) in app if key.endswith("SupportedTypes") and entry)
    e2e.check(supported == sorted(TYPES), "SupportedTypes: %s" % supported)
    # Each image type gains an Open-with entry and nothing else changes (its default program).
    for extension in TYPES:
        key = at.classes + extension
        added = {k for k in trees[key] if k not in before[key] and k != (key, None)}
        e2e.check(any(k[0].endswith(extension + r"\OpenWithList\inkwisp.exe") for k in added) and
                  all(k[0].startswith(key[5:] + r"\OpenWithList") for k in added) and
                  all(trees[key][k] == data for k, data in before[key].items()),
                  "%s: added %s" % (extension, sorted(map(str, added))))

    entries = trees[at.uninstall_key]
    expected = {
        "DisplayName": ("REG_SZ", "Inkwisp"),
        "DisplayVersion": ("REG_SZ", version),
        "Publisher": ("REG_SZ", "The Inkwisp developers"),
        "DisplayIcon": ("REG_SZ", '"%s",0' % at.exe),
        "InstallLocation": ("REG_SZ", at.folder),
        "UninstallString": ("REG_SZ", at.uninstaller),
        "QuietUninstallString": ("REG_SZ", at.uninstaller + " /S"),
        "NoModify": ("REG_DWORD", "0x1"),
        "NoRepair": ("REG_DWORD", "0x1"),
    }
    for name, data in expected.items():
        got = value(entries, "Uninstall\\Inkwisp", name)
        e2e.check(got == data, "Uninstall %s is %r, expected %r" % (name, got, data))
    size = value(entries, "Uninstall\\Inkwisp", "EstimatedSize")
    kilobytes = sum(os.path.getsize(os.path.join(at.program, f)) for f in PROGRAM_FILES) // 1024
    e2e.check(size is not None and size[0] == "REG_DWORD" and
              abs(int(size[1], 16) - kilobytes) <= len(PROGRAM_FILES),
              "EstimatedSize %r, the files take %d KB" % (size, kilobytes))


def installed_files(at):
    return sorted(os.listdir(at.program)) if os.path.isdir(at.program) else []


def installed_bytes(at):
    return {name: read(os.path.join(at.program, name)) for name in installed_files(at)}


def read(path):
    with open(path, "rb") as f:
        return f.read()


def machine_state(at):
    """What only an administrator may change: every HKLM key and value as Wine saves them
    (system.reg), and the files below Program Files and ProgramData. Wine's display driver
    stamps its DriverDateData at every start: that value is left out."""
    registry, key = {}, None
    with open(os.path.join(at.prefix, "system.reg"), encoding="utf-8", errors="replace") as f:
        for line in f.read().splitlines():
            if line.startswith("["):
                key = line.rsplit("]", 1)[0]
                registry[key] = []
            elif key and line and not line.startswith(("#", '"DriverDateData"=')):
                registry[key].append(line)
    drive = os.path.join(at.prefix, "drive_c")
    files = sorted(os.path.relpath(os.path.join(folder, name), drive)
                   for top in ("Program Files", "Program Files (x86)", "ProgramData")
                   for folder, _, names in os.walk(os.path.join(drive, top)) for name in names)
    return registry, files


def machine_changes(at, before):
    registry, files = machine_state(at)
    return ([k for k in set(registry) | set(before[0]) if registry.get(k) != before[0].get(k)] +
            sorted(set(files) ^ set(before[1])))


def start_from_shell(*args):
    """Starts something the way the shell would; the program's notice is answered."""
    process = subprocess.Popen(["wine", *args], stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    e2e.dismiss_notice()
    return process


def close(window):
    e2e.keys(window, "alt+f", "x")
    e2e.wait_gone(window)


def check_installed(at, before, version):
    """The scope's files, its Start-menu shortcut and its registry entries are there; returns the
    registry as installed."""
    e2e.check(installed_files(at) == PROGRAM_FILES, "installed: %s" % installed_files(at))
    e2e.check(os.path.isfile(at.shortcut), "no Start-menu shortcut")
    installed = registry(at)
    check_registry(at, installed, before, version)
    return installed


def uninstall(at, installed, before):
    """Runs the quiet uninstall command that the scope's entry names: nothing of the install is
    left, and the registry is as it was before installing."""
    command = value(installed[at.uninstall_key], "Uninstall\\Inkwisp", "QuietUninstallString")[1]
    program, arguments = re.match(r'^"([^"]+)"\s*(.*)$', command).groups()
    wine_wait(program, *arguments.split())
    e2e.check(not os.path.exists(at.program), "left behind: %s" % installed_files(at))
    e2e.check(not os.path.exists(at.shortcut), "the Start-menu shortcut is still there")
    after = registry(at)
    changed = [str(k) for key in at.keys for k in set(after[key]) ^ set(before[key])]
    e2e.check(after == before, "the registry is not as it was before installing: %s" % changed)


def sha256(path):
    return hashlib.sha256(read(path)).hexdigest()


def check_manifests(version, setups, archives):
    """The winget and Scoop manifests name what was built; returns the silent switches by scope."""
    folder = os.path.join(DIST, "winget")
    names = {"version": "Inkwisp.Inkwisp.yaml", "installer": "Inkwisp.Inkwisp.installer.yaml",
             "defaultLocale": "Inkwisp.Inkwisp.locale.ja-JP.yaml",
             "locale": "Inkwisp.Inkwisp.locale.en-US.yaml"}
    e2e.check(sorted(os.listdir(folder)) == sorted(names.values()),
              "dist/winget holds %s" % os.listdir(folder))
    manifests = {}
    for kind, name in names.items():
        with open(os.path.join(folder, name), encoding="utf-8") as f:
            manifest = yaml.safe_load(f)
        e2e.check(manifest["PackageIdentifier"] == "Inkwisp.Inkwisp" and
                  manifest["PackageVersion"] == version and manifest["ManifestType"] == kind and
                  manifest["ManifestVersion"] == "1.6.0", "%s: %s" % (name, manifest))
        manifests[kind] = manifest
    e2e.check(manifests["version"]["DefaultLocale"] == "ja-JP" and
              manifests["defaultLocale"]["PackageLocale"] == "ja-JP" and
              manifests["locale"]["PackageLocale"] == "en-US", "the locales are not ja-JP, en-US")
    for kind in ("defaultLocale", "locale"):
        e2e.check(all(manifests[kind].get(field) for field in
                      ("Publisher", "PackageName", "License", "ShortDescription")),
                  "%s lacks a field: %s" % (kind, manifests[kind]))

    installer = manifests["installer"]
    e2e.check(installer["InstallerType"] == "nullsoft" and installer["ProductCode"] == "Inkwisp",
              "installer type or product code: %s" % installer)
    e2e.check({"InstallerReturnCode": EXIT_IN_USE, "ReturnResponse": "packageInUse"} in
              installer["ExpectedReturnCodes"], "no packageInUse exit code")
    switches, listed = {}, []
    for entry in installer["Installers"]:
        setup = setups.get(entry["Architecture"], "")
        e2e.check(entry["InstallerSha256"] == sha256(setup).upper() and
                  re.match(r"^https://.+/%s$" % re.escape(os.path.basename(setup)),
                           entry["InstallerUrl"]), "installer entry: %s" % entry)
        silent = entry["InstallerSwitches"]["Silent"]
        e2e.check(entry["InstallerSwitches"]["SilentWithProgress"] == silent and
                  silent.split()[0] == "/S", "switches: %s" % entry["InstallerSwitches"])
        e2e.check(switches.setdefault(entry["Scope"], silent.split()) == silent.split(),
                  "the two installers' switches differ: %s" % entry["InstallerSwitches"])
        listed.append((entry["Architecture"], entry["Scope"]))
    e2e.check(sorted(listed) == [(a, s) for a in ("x64", "x86") for s in ("machine", "user")],
              "installers listed: %s" % sorted(listed))

    with open(os.path.join(DIST, "scoop", "inkwisp.json"), encoding="utf-8") as f:
        scoop = json.load(f)
    e2e.check(scoop["version"] == version and
              sorted(scoop["architecture"]) == ["32bit", "64bit"], "scoop manifest: %s" % scoop)
    for key, arch in (("32bit", "x86"), ("64bit", "x64")):
        archive, entry = archives[arch], scoop["architecture"][key]
        with zipfile.ZipFile(archive) as files:
            packed = files.namelist()
        e2e.check(entry["hash"] == sha256(archive) and
                  re.match(r"^https://.+/%s$" % re.escape(os.path.basename(archive)),
                           entry["url"]) and scoop["bin"].replace("\\", "/") in packed and
                  all(link[0].replace("\\", "/") in packed for link in scoop["shortcuts"]),
                  "scoop manifest, %s: %s" % (key, scoop))
    return switches


def machine_round_trip(at, setup, archive, version, switches):
    """Steps 1 to 6: the install for every user, its program, reinstalling, uninstalling."""
    # Step 1: a silent install in a fresh prefix, with the default scope (every user for an
    # administrator, which Wine's user is).
    os.makedirs(e2e.DESKTOP, exist_ok=True)
    fresh_prefix(at)
    e2e.reset()
    # One type with a default program of its own, as on Windows; it must keep it throughout.
    e2e.run("wine", "reg", "add", at.classes + ".bmp", "/ve", "/d", "Paint.Picture", "/f")
    before = registry(at)
    e2e.check(value(before[at.classes + ".bmp"], ".bmp", "(Default)") ==
              ("REG_SZ", "Paint.Picture"), "could not give .bmp a default program")
    e2e.check(before[at.app_key] == {} and before[at.uninstall_key] == {}, "Inkwisp was registered")
    wine_wait(setup, "/S")
    check_installed(at, before, version)
    if at.arch == "win64":
        check_registry_view(at)
    e2e.check(glob.glob(os.path.join(at.prefix, "drive_c", "users", "*", "Desktop",
                                     "Inkwisp.lnk")) == [], "a desktop shortcut nobody asked for")

    # Step 2: the zip holds exactly its files, and its program is the installed one.
    with zipfile.ZipFile(archive) as files:
        names = files.namelist()
        e2e.check(names == ["Inkwisp/inkwisp.exe", "Inkwisp/inkwisp.htm", "Inkwisp/LICENSE.txt",
                            "Inkwisp/README.txt"], "the zip holds %s" % names)
        e2e.check(files.read("Inkwisp/inkwisp.exe") == read(os.path.join(at.program,
                  "inkwisp.exe")), "the zip's inkwisp.exe is not the installed one")
        manual = read(os.path.join(ROOT, "res", "inkwisp.htm"))
        e2e.check(files.read("Inkwisp/inkwisp.htm") == manual == read(os.path.join(at.program,
                  "inkwisp.htm")), "the zip's or the installed manual is not the project's")

    # Step 3: "Open with" on an image whose path has blanks opens it as a memo.
    picture = os.path.join(e2e.HOME, "my pictures", "pic one.png")
    memo.write_png(picture, 300, 200, lambda x, y: (204, 0, 0))
    opener = os.path.join(ROOT, "build", DOWNLOADS[at.program_arch][2], "tests", "e2e",
                          "open_with.exe")
    start_from_shell(opener, "Applications\\inkwisp.exe", memo.windows_path(picture))
    window = e2e.wait_window("^pic one.png -Inkwisp$")
    e2e.screenshot("install-open-with")
    close(window)

    # Step 4: the Start-menu shortcut starts the installed program.
    start_from_shell("start", "/unix", at.shortcut)
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
        with open(os.path.join(at.program, name), "wb") as f:
            f.write(b"an older version")
    wine_wait(setup, *switches["machine"])
    e2e.check(installed_files(at) == PROGRAM_FILES, "after reinstalling: %s" % installed_files(at))
    with zipfile.ZipFile(archive) as files:
        e2e.check(files.read("Inkwisp/inkwisp.exe") == read(os.path.join(at.program,
                  "inkwisp.exe")), "reinstalling did not replace the program")
    e2e.check(all(read(path) == data for path, data in kept.items()),
              "reinstalling changed the user's settings, bak or memo")

    # Step 6: the quiet uninstall command leaves nothing of ours and the user's files alone.
    uninstall(at, check_installed(at, before, version), before)
    e2e.check(all(read(path) == data for path, data in kept.items()),
              "uninstalling touched the user's settings, bak or memo")
    if at.arch == "win64":
        shared_open_with(at, setup, switches)


def shared_open_with(at, setup, switches):
    """Step 7: on 64-bit Windows both programs' installs for every user share "Open with" (one
    Software\\Classes for both registry views; Wine keeps two, so the test writes the other
    install's part into this view). Uninstalling one leaves it to the other: kept while it names
    the other program, handed over when it named this one and the other is still installed."""
    other = Install(os.path.basename(at.prefix), at.arch, "machine", "x86")
    entry = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Inkwisp"
    for other_installed in (False, True):
        wine_wait(setup, *switches["machine"])
        if other_installed:
            e2e.run("wine", "reg", "add", entry, "/v", "InstallLocation", "/d", other.folder,
                    "/reg:32", "/f")
            os.makedirs(other.program, exist_ok=True)
            shutil.copy(os.path.join(at.program, "inkwisp.exe"), other.program)
        else:
            e2e.run("wine", "reg", "add", at.app_key + r"\shell\open\command", "/ve", "/d",
                    '"%s" "%%1"' % other.exe, "/f")
        wine_wait(os.path.join(at.program, "uninstall.exe"), "/S")
        after = registry(at)
        command = value(after[at.app_key], r"shell\open\command", "(Default)")
        listed = [t for t in TYPES if any(k[0].endswith(t + r"\OpenWithList\inkwisp.exe")
                                          for k in after[at.classes + t])]
        e2e.check(command == ("REG_SZ", '"%s" "%%1"' % other.exe) and listed == TYPES,
                  "with the other program installed (%s): open command %r, listed for %s"
                  % ("its entry" if other_installed else "its keys", command, listed))


def user_round_trip(at, setup, version, switches):
    """The install for the current user: nothing written where only an administrator may write,
    never over a running copy, and its uninstall."""
    fresh_prefix(at)
    e2e.reset()
    # Windows before 7 is refused before anything is written.
    e2e.run("wine", "reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/d", "vista", "/f")
    status = wine_status(setup, *switches["user"])
    e2e.check(status == EXIT_OLD_WINDOWS & 0xFF and not os.path.exists(at.program),
              "on Windows Vista: exit code %d, installed %s" % (status, installed_files(at)))
    e2e.run("wine", "reg", "delete", r"HKCU\Software\Wine", "/v", "Version", "/f")

    before, machine = registry(at), machine_state(at)
    wine_wait(setup, *switches["user"])
    installed = check_installed(at, before, version)
    e2e.check(not machine_changes(at, machine), "the install for the user wrote to HKLM or "
              "Program Files: %s" % machine_changes(at, machine))

    # A silent install over a running copy changes nothing and says why; once it is closed the
    # same install goes through.
    files = installed_bytes(at)
    start_from_shell(at.exe)
    window = e2e.wait_window("^無題 -Inkwisp$")
    with open(os.path.join(at.program, "inkwisp.htm"), "wb") as f:
        f.write(b"an older manual")
    files["inkwisp.htm"] = b"an older manual"
    status = wine_status(setup, *switches["user"], wait_all=False)
    e2e.check(status == EXIT_IN_USE, "installing over a running Inkwisp exited with %d" % status)
    # The uninstaller too; _?= runs it in place, so its exit code is its own.
    status = wine_status(os.path.join(at.program, "uninstall.exe"), "/S", "_?=" + at.folder,
                         wait_all=False)
    e2e.check(status == EXIT_IN_USE, "uninstalling a running Inkwisp exited with %d" % status)
    e2e.check(installed_bytes(at) == files and registry(at) == installed,
              "installing or uninstalling over a running Inkwisp changed the install")
    close(window)
    wine_wait(setup, *switches["user"])
    e2e.check(read(os.path.join(at.program, "inkwisp.htm")) ==
              read(os.path.join(ROOT, "res", "inkwisp.htm")), "the closed copy was not replaced")

    # Interactively, the scope page, and "Run Inkwisp" on the last page starting the program (as
    # an administrator, which Wine's user is, through Explorer). Without a scope switch, a later
    # silent install updates this one where it is.
    wine_wait(os.path.join(at.program, "uninstall.exe"), "/S")
    installer = subprocess.Popen(["wine", setup, "/CurrentUser"], stdin=subprocess.DEVNULL,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for page in ("scope", "folder", "components"):
        window = e2e.wait_window("^Inkwisp %s" % re.escape(version))
        e2e.screenshot("install-page-" + page)
        e2e.keys(window, "Return")
        time.sleep(1)
    finish = e2e.wait_window("^Inkwisp %s" % re.escape(version))
    time.sleep(2)
    e2e.keys(finish, "Return")
    e2e.wait_exit(installer)
    e2e.dismiss_notice()
    close(e2e.wait_window("^無題 -Inkwisp$"))
    e2e.check(installed_files(at) == PROGRAM_FILES, "installed: %s" % installed_files(at))
    wine_wait(setup, "/S")
    installed = check_installed(at, before, version)
    e2e.check(not [f for f in machine_state(at)[1] if "Inkwisp" in f],
              "the default scope did not follow the earlier install for the user")

    # Inkwisp itself may have let Wine list the printers in HKLM: compared from here on.
    machine = machine_state(at)
    uninstall(at, installed, before)
    e2e.check(not machine_changes(at, machine), "the user's uninstall wrote to HKLM or Program "
              "Files: %s" % machine_changes(at, machine))


def check_registry_view(at):
    """On 64-bit Windows each program's entry for every user is in its own registry view only:
    the 32-bit one for the x86 program, the 64-bit one for the x64 program."""
    native = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Inkwisp"
    wow = r"HKLM\Software\WOW6432Node\Microsoft\Windows\CurrentVersion\Uninstall\Inkwisp"
    seen = registry(at, [native, wow], "/reg:64")
    own, other = (wow, native) if at.program_arch == "x86" else (native, wow)
    e2e.check(seen[other] == {} and value(seen[own], "Uninstall\\Inkwisp", "InstallLocation") ==
              ("REG_SZ", at.folder), "64-bit view: %s" % seen)


def wow64_round_trip(at, setup, version, switches):
    """The install for every user on 64-bit Windows: the 32-bit program goes to Program Files
    (x86) and its entries to the 32-bit registry view."""
    fresh_prefix(at)
    e2e.reset()
    before = registry(at)
    wine_wait(setup, *switches["machine"])
    installed = check_installed(at, before, version)
    check_registry_view(at)
    uninstall(at, installed, before)


def build_dist(folder, **settings):
    """Runs make dist's script into another folder, with the given environment settings."""
    environment = dict(os.environ, INKWISP_DIST=folder, **settings)
    result = subprocess.run(["bash", os.path.join(ROOT, "scripts", "dist.sh")], env=environment,
                            stdin=subprocess.DEVNULL, capture_output=True, text=True)
    e2e.check(result.returncode == 0, "dist.sh failed: %s" % result.stderr[-2000:])
    return folder


def signature(path, certificate):
    result = subprocess.run(["osslsigncode", "verify", "-CAfile", certificate, "-in", path],
                            stdin=subprocess.DEVNULL, capture_output=True, text=True)
    return result.returncode == 0 and "Signature verification: ok" in result.stdout


def check_signing(installs, version):
    """With a certificate, each program's exe, uninstaller and installer are signed; without, the
    build is the one make dist made, byte for byte. Installs: the user's install of each program
    that this machine runs, by architecture."""
    work = os.path.join(WINE, "signing")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    key, certificate, bundle = (os.path.join(work, n) for n in ("key.pem", "cert.pem", "t.pfx"))
    e2e.run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
            "/CN=Inkwisp test", "-keyout", key, "-out", certificate)
    e2e.run("openssl", "pkcs12", "-export", "-inkey", key, "-in", certificate, "-out", bundle,
            "-passout", "pass:a password")
    signed = build_dist(os.path.join(work, "signed"), INKWISP_SIGN_PFX=bundle,
                        INKWISP_SIGN_PASSWORD="a password")
    for arch, at in installs.items():
        setup, archive = (os.path.join(signed, name % version) for name in DOWNLOADS[arch][:2])
        with zipfile.ZipFile(archive) as files:
            with open(os.path.join(work, "inkwisp.exe"), "wb") as f:
                f.write(files.read("Inkwisp/inkwisp.exe"))
        # The uninstaller is inside the installer: an install writes it out.
        fresh_prefix(at)
        wine_wait(setup, "/S", at.switch)
        for path in (os.path.join(work, "inkwisp.exe"), setup, os.path.join(at.program,
                     "uninstall.exe"), os.path.join(at.program, "inkwisp.exe")):
            e2e.check(signature(path, certificate), "no valid signature on %s (%s)" % (path, arch))

    unsigned = build_dist(os.path.join(work, "unsigned"))
    names = [name % version for setup, archive, _ in DOWNLOADS.values() for name in (setup, archive)]
    for name in names + ["SHA256SUMS"]:
        e2e.check(read(os.path.join(unsigned, name)) == read(os.path.join(DIST, name)),
                  "an unsigned build's %s differs from make dist's (is dist/ from the commit "
                  "checked out? make dist stamps the commit's time)" % name)
    for setup, _, _ in DOWNLOADS.values():
        e2e.check(not signature(os.path.join(DIST, setup % version), certificate),
                  "make dist signed %s without a certificate" % setup % version)


def test():
    setup = artefact("Inkwisp-*-x64-setup.exe")
    version = re.search(r"Inkwisp-(.+)-x64-setup\.exe$", setup).group(1)
    setups = {arch: artefact(names[0] % version) for arch, names in DOWNLOADS.items()}
    archives = {arch: artefact(names[1] % version) for arch, names in DOWNLOADS.items()}
    switches = check_manifests(version, setups, archives)
    users = {}
    if runs_32_bit_code():
        machine_round_trip(Install("install-prefix", "win32", "machine"), setups["x86"],
                           archives["x86"], version, switches)
        users["x86"] = Install("install-prefix", "win32", "user")
        user_round_trip(users["x86"], setups["x86"], version, switches)
        wow64_round_trip(Install("install-prefix64", "win64", "machine"), setups["x86"], version,
                         switches)
    machine_round_trip(Install("install-prefix64", "win64", "machine", "x64"), setups["x64"],
                       archives["x64"], version, switches)
    users["x64"] = Install("install-prefix64", "win64", "user", "x64")
    user_round_trip(users["x64"], setups["x64"], version, switches)
    check_signing(users, version)


if __name__ == "__main__":
    sys.exit(e2e.main(test))
