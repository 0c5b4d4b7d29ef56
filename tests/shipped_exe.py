"""The shipped inkwisp.exe of each architecture read from its file, without running it: its PE
header, its imports and its manifest, as Windows' loader would find them.
Usage: shipped_exe.py <x86 exe> <x64 exe>; prints what it found wrong and exits 1, else 0."""
import re
import sys
import xml.etree.ElementTree as ElementTree

import pefile

MACHINES = {"x86": (pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"], pefile.OPTIONAL_HEADER_MAGIC_PE),
            "x64": (pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"],
                    pefile.OPTIONAL_HEADER_MAGIC_PE_PLUS)}
# Known DLLs only: a DLL of any other name would be looked for beside the exe first.
SYSTEM_DLLS = {"comdlg32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll",
               "shell32.dll", "user32.dll"}
# Looked up at run time instead: Windows 7 would refuse to start the program.
NEWER_THAN_WINDOWS_7 = {b"GetPointerType", b"GetPointerPenInfo", b"GetPointerInfo",
                        b"SetDefaultDllDirectories", b"GetDpiForWindow", b"GetSystemMetricsForDpi",
                        b"AdjustWindowRectExForDpi", b"GetDpiForMonitor",
                        b"SetProcessDpiAwarenessContext", b"SetThreadDpiAwarenessContext"}
MANIFEST_HOLDS = [
    'name="Microsoft.Windows.Common-Controls"', 'version="6.0.0.0"',
    'publicKeyToken="6595b64144ccf1df"', 'type="win32"',
    '<supportedOS Id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"/>',  # Windows 7
    '<supportedOS Id="{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"/>',  # Windows 8
    '<supportedOS Id="{1f676c76-80e1-4239-95bb-83d0f6d0da78}"/>',  # Windows 8.1
    '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>',  # Windows 10, 11
    '<requestedExecutionLevel level="asInvoker" uiAccess="false"/>']
# Per-monitor DPI awareness, each in the namespace its Windows reads: dpiAwareness for Windows 10,
# dpiAware for Windows 8.1 (and for Windows 7, as system-aware). Name: (namespace, value).
DPI_SETTINGS = {"dpiAware": ("http://schemas.microsoft.com/SMI/2005/WindowsSettings", "true/pm"),
                "dpiAwareness": ("http://schemas.microsoft.com/SMI/2016/WindowsSettings",
                                 "PerMonitorV2, PerMonitor")}
WINDOWS_SETTINGS = "{urn:schemas-microsoft-com:asm.v3}application/" \
                   "{urn:schemas-microsoft-com:asm.v3}windowsSettings/"
DYNAMIC_BASE, NX_COMPATIBLE, TERMINAL_SERVER_AWARE, HIGH_ENTROPY_VA = 0x40, 0x100, 0x8000, 0x20


def manifest(exe):
    """Resource 1 of type RT_MANIFEST in English, as Windows reads it at start, without comments."""
    resources = getattr(exe, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in resources.entries if resources else []:
        if kind.id == pefile.RESOURCE_TYPE["RT_MANIFEST"]:
            for name in kind.directory.entries:
                for language in name.directory.entries:
                    if name.id == 1 and language.id == 0x409:
                        data = language.data.struct
                        text = exe.get_data(data.OffsetToData, data.Size).decode("utf-8")
                        return re.sub(r"<!--.*?-->", "", text, flags=re.S)
    return ""


def dpi_faults(text):
    """What the manifest's DPI settings lack: each must stand, in its namespace, in the
    windowsSettings of the application element, as Windows looks for it."""
    try:
        root = ElementTree.fromstring(text)
    except ElementTree.ParseError as error:
        return ["manifest is no XML: %s" % error]
    found = [(name, value, root.findtext("%s{%s}%s" % (WINDOWS_SETTINGS, namespace, name)))
             for name, (namespace, value) in DPI_SETTINGS.items()]
    return ["manifest's %s is %r, not %r" % (name, setting, value)
            for name, value, setting in found if setting != value]


def faults(arch, path):
    exe = pefile.PE(path)
    header, optional = exe.FILE_HEADER, exe.OPTIONAL_HEADER
    wanted = [DYNAMIC_BASE, NX_COMPATIBLE, TERMINAL_SERVER_AWARE]
    wanted += [HIGH_ENTROPY_VA] if arch == "x64" else []
    found = [
        ((header.Machine, optional.Magic) != MACHINES[arch], "not an %s image" % arch),
        (optional.Subsystem != pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"], "not GUI"),
        ((optional.MajorSubsystemVersion, optional.MinorSubsystemVersion) != (6, 1) or
         (optional.MajorOperatingSystemVersion, optional.MinorOperatingSystemVersion) != (6, 1),
         "subsystem or OS version is not 6.1"),
        # A movable image needs its relocations; no link time keeps builds reproducible.
        (exe.OPTIONAL_HEADER.DATA_DIRECTORY[5].Size == 0, "no relocations"),
        (header.TimeDateStamp != 0, "a link time stamp"),
    ]
    found += [(optional.DllCharacteristics & flag == 0, "DllCharacteristics lack 0x%x" % flag)
              for flag in wanted]
    imports = {entry.dll.decode().lower(): {f.name for f in entry.imports}
               for entry in exe.DIRECTORY_ENTRY_IMPORT}
    found += [(dll not in SYSTEM_DLLS, "imports %s" % dll) for dll in imports]
    found += [(bool(names & NEWER_THAN_WINDOWS_7), "%s: %s" % (dll, names & NEWER_THAN_WINDOWS_7))
              for dll, names in imports.items()]
    found.append((b"SetPropW" not in imports.get("user32.dll", ()), "no SetPropW from user32"))
    text = manifest(exe)
    found += [(expected not in text, "manifest lacks %s" % expected) for expected in MANIFEST_HOLDS]
    found.append(("highestAvailable" in text, "manifest says highestAvailable"))
    return [message for fault, message in found if fault] + dpi_faults(text)


def main(x86, x64):
    failed = False
    for arch, path in (("x86", x86), ("x64", x64)):
        try:
            problems = faults(arch, path)
        except (OSError, pefile.PEFormatError, AttributeError) as error:
            problems = [str(error)]
        print("shipped %s exe: %s" % (arch, "; ".join(problems) or "ok"))
        failed = failed or bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
