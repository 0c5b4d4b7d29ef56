#include "records/durable_file.h"

#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <new>

namespace {

// "~Inkwisp-<process id>-<thread id>.tmp": one at a time per writing thread, and the process id
// tells whether the writer still runs.
constexpr wchar_t TEMPORARY_PREFIX[] = L"~Inkwisp-";
constexpr std::size_t TEMPORARY_PREFIX_LENGTH = sizeof(TEMPORARY_PREFIX) / sizeof(wchar_t) - 1;
constexpr wchar_t LONG_PATH_PREFIX[] = L"\\\\?\\";
constexpr wchar_t DEVICE_PATH_PREFIX[] = L"\\\\.\\";

std::wstring TemporaryName() {
    wchar_t name[40];
    std::swprintf(name, 40, L"%ls%lu-%lu.tmp", TEMPORARY_PREFIX, GetCurrentProcessId(),
                  GetCurrentThreadId());
    return name;
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.compare(0, std::wcslen(prefix), prefix) == 0;
}

// The folder's \\?\ form, which no MAX_PATH limits; the folder as named when it has none.
std::wstring LongFormOf(const std::wstring& folder) {
    const DWORD length = GetFullPathNameW(folder.c_str(), 0, nullptr, nullptr);
    if (length == 0 || StartsWith(folder, LONG_PATH_PREFIX) ||
        StartsWith(folder, DEVICE_PATH_PREFIX)) {
        return folder;
    }
    std::wstring full(length, L'\0');
    const DWORD written = GetFullPathNameW(folder.c_str(), length, &full[0], nullptr);
    if (written == 0 || written >= length) {
        return folder;
    }
    full.resize(written);
    // A share's \\server\share becomes \\?\UNC\server\share.
    return StartsWith(full, L"\\\\") ? LONG_PATH_PREFIX + std::wstring(L"UNC") + full.substr(1)
                                     : LONG_PATH_PREFIX + full;
}

// Where the temporary file goes. Its name may be longer than the file's own, so in a folder
// deep enough a path that fits MAX_PATH would have a temporary path that does not: there the
// folder is named in its \\?\ form. The file's own path is used as it is given.
std::wstring TemporaryFolderFor(const std::wstring& folder, const std::wstring& name) {
    return folder.size() + 1 + name.size() < MAX_PATH ? folder : LongFormOf(folder);
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

// A copy of a file's bytes, streamed by the system, flushed; it keeps none of the source's
// attributes (a read-only source would make a copy that nothing may replace).
bool CopyFlushedFile(const std::wstring& source, const std::wstring& path) {
    if (CopyFileW(source.c_str(), path.c_str(), FALSE) == 0 ||
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL) == 0) {
        return false;
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool flushed = FlushFileBuffers(file) != 0;
    CloseHandle(file);
    return flushed;
}

// A folder at the name is never replaced, nor a read-only file: Windows' rename refuses both, and
// they are refused here before anything is written, also under Wine, whose rename replaces a
// read-only file.
bool MayReplace(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ||
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0;
}

// A hidden or system file stays so when it is replaced.
void CarryAttributes(const std::wstring& from, const std::wstring& to) {
    constexpr DWORD CARRIED =
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD attributes = GetFileAttributesW(from.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & CARRIED) != 0) {
        SetFileAttributesW(to.c_str(), attributes & (CARRIED | FILE_ATTRIBUTE_ARCHIVE));
    }
}

// One rename, which replaces the old file where there is one: the name holds the old file until
// the new one takes its place in the same step (a rename within one folder, atomic on NTFS, and
// rename(2) under Wine). ReplaceFileW is not used: it may remove the old file and then fail to
// move ours in (ERROR_UNABLE_TO_MOVE_REPLACEMENT), Wine's moves the old file aside first, and
// moves a folder aside as if it were a file.
bool RenameIntoPlace(const std::wstring& temporary, const std::wstring& path,
                     ExistingFile existing) {
    DWORD flags = MOVEFILE_WRITE_THROUGH;
    if (existing == ExistingFile::Replace) {
        CarryAttributes(path, temporary);
        flags |= MOVEFILE_REPLACE_EXISTING;
    }
    return MoveFileExW(temporary.c_str(), path.c_str(), flags) != 0;
}

} // namespace

PreparedReplacement::PreparedReplacement(const std::wstring& path,
                                         const std::vector<unsigned char>& bytes,
                                         ExistingFile existing)
    : PreparedReplacement(path, existing, [&bytes](const std::wstring& temporary) {
          return WriteFlushedFile(temporary, bytes);
      }) {}

PreparedReplacement::PreparedReplacement(const std::wstring& path, ExistingFile existing,
                                         const std::function<bool(const std::wstring&)>& write)
    : path_(path), existing_(existing) {
    const std::size_t separator = path.rfind(L'\\');
    if (separator == std::wstring::npos || !MayReplace(path)) {
        return;
    }
    const std::wstring name = TemporaryName();
    const std::wstring folder = TemporaryFolderFor(path.substr(0, separator), name);
    RemoveStrayTemporaryFiles(folder);
    temporary_ = folder + L"\\" + name;
    written_ = write(temporary_);
}

// A rename that failed, or never came, changed nothing: the name holds what it held before, and
// the temporary file, whole or torn, is no one's but ours.
PreparedReplacement::~PreparedReplacement() {
    if (!temporary_.empty()) {
        DeleteFileW(temporary_.c_str());
    }
}

bool PreparedReplacement::PutInPlace() {
    if (!written_ || !RenameIntoPlace(temporary_, path_, existing_)) {
        return false;
    }
    temporary_.clear();
    return true;
}

bool ReplaceFileDurably(const std::wstring& path, const std::vector<unsigned char>& bytes,
                        ExistingFile existing) {
    return PreparedReplacement(path, bytes, existing).PutInPlace();
}

bool CopyFileDurably(const std::wstring& source, const std::wstring& path) {
    return PreparedReplacement(path, ExistingFile::Replace,
                               [&source](const std::wstring& temporary) {
                                   return CopyFlushedFile(source, temporary);
                               })
        .PutInPlace();
}

std::vector<unsigned char> ReadWholeFile(const std::wstring& path, std::uint64_t limit) {
    std::vector<unsigned char> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    LARGE_INTEGER size = {};
    DWORD read = 0;
    bool whole = false;
    try {
        if (GetFileSizeEx(file, &size) != 0 && static_cast<std::uint64_t>(size.QuadPart) <= limit &&
            size.QuadPart <= MAXDWORD) {
            bytes.resize(static_cast<std::size_t>(size.QuadPart));
            whole = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read,
                             nullptr) != 0 &&
                    read == bytes.size();
        }
    } catch (const std::bad_alloc&) {
        whole = false;
    }
    CloseHandle(file);
    if (!whole) {
        bytes.clear();
    }
    return bytes;
}
