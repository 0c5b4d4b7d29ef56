#include "app/command_line.h"

std::wstring CommandLinePath(const wchar_t* commandLine) {
    std::wstring path = commandLine;
    if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"') {
        path = path.substr(1, path.size() - 2);
    }
    return path;
}
