#include "records/durable_file.h"

#include <windows.h>

#include <cstdlib>
#include <cwchar>

namespace {

// "~Inkwisp-<process id>-<thread id>.tmp": one at a time per writing thread, and the process id
// tells whether the writer still runs.
constexpr wchar_t TEMPORARY_PREFIX[] = L"~Inkwisp-";
constexpr std::size_t TEMPORARY_PREFIX_LENGTH = sizeof(TEMPORARY_PREFIX) / sizeof(wchar_t) - 1;

std::wstring TemporaryPathIn(const std::wstring& folder) {
    wchar_t name[40];
    std::swprintf(name, 40, L"%ls%lu-%lu.tmp", TEMPORARY_PREFIX, GetCurrentProcessId(),
                  GetCurrentThreadId());
    return folder + L"\\" + name;
}

// A process that cannot be looked at is taken to run.
bool IsProcessRunning(DWORD id) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (process == nullptr) {
        return GetLastError() != ERROR_INVALID_PARAMETER;
    }
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

// A death between writing and renaming strands a temporary file. Another instance may be writing
// its own in the same folder right now: only those of ended processes go.
void RemoveStrayTemporaryFiles(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\" + TEMPORARY_PREFIX + L"*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        wchar_t* end = nullptr;
        const unsigned long writer =
            std::wcstoul(found.cFileName + TEMPORARY_PREFIX_LENGTH, &end, 10);
        if (*end == L'-' && !IsProcessRunning(writer)) {
            DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        }
    } while (FindNextFileW(search, &found) != 0);
    FindClose(search);
}

bool WriteFlushedFile(const std::wstring& path, const std::vector<unsigned char>& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool whole =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
        written == bytes.size() && FlushFileBuffers(file) != 0;
    CloseHandle(file);
    return whole;
}

// The move never replaces a file. It puts a new file in place, and also ours where ReplaceFileW
// removed the old file but then failed to rename ours, as it may.
bool PutInPlace(const std::wstring& temporary, const std::wstring& path, ExistingFile existing) {
    if (existing == ExistingFile::Replace &&
        GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
        ReplaceFileW(path.c_str(), temporary.c_str(), nullptr, 0, nullptr, nullptr) != 0) {
        return true;
    }
    return MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

} // namespace

bool ReplaceFileDurably(const std::wstring& path, const std::vector<unsigned char>& bytes,
                        ExistingFile existing) {
    const std::size_t separator = path.rfind(L'\\');
    if (separator == std::wstring::npos) {
        return false;
    }
    const std::wstring folder = path.substr(0, separator);
    RemoveStrayTemporaryFiles(folder);
    const std::wstring temporary = TemporaryPathIn(folder);
    if (WriteFlushedFile(temporary, bytes) && PutInPlace(temporary, path, existing)) {
        return true;
    }
    DeleteFileW(temporary.c_str());
    return false;
}
