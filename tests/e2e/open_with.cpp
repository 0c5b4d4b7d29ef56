// Opens a file the way Explorer's "Open with" does: the shell reads the command registered for an
// application class (HKCR\Applications\<exe>) and puts the file's path in place of %1.
#include <windows.h>

#include <shellapi.h>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        return 2;
    }
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_CLASSNAME;
    info.lpClass = argv[1];
    info.lpVerb = L"open";
    info.lpFile = argv[2];
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) ? 0 : 1;
}
