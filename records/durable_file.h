// The one writer of every file the program replaces: a memo, the recovery snapshot, the settings,
// the background's copy.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Whether ReplaceFileDurably may put its file over one of the same name.
enum class ExistingFile { Replace, Keep };

// Puts `bytes` at `path` so that the name holds the old file or the new one at every instant,
// never a torn one and never none: they go to a temporary file of ours beside it, are flushed,
// and that file is then renamed over the old one in one step. A folder or a read-only file at
// `path` is never moved, replaced or removed: the call fails and writes nothing. With Keep, a file
// of that name is never replaced: the call fails. True when the new file is in place. Temporary
// files that ended processes left in the folder are removed first.
bool ReplaceFileDurably(const std::wstring& path, const std::vector<unsigned char>& bytes,
                        ExistingFile existing = ExistingFile::Replace);

// Puts a copy of the file at `source` at `path` as ReplaceFileDurably puts bytes there. The bytes
// go from file to file: a large file is never held in memory.
bool CopyFileDurably(const std::wstring& source, const std::wstring& path);

// ReplaceFileDurably in its two steps, for a writer that may decide only at the last moment,
// under a lock of its own, whether its file still takes the name: making it writes and flushes
// the temporary file (the slow part), PutInPlace renames it (one step). A temporary file that
// did not take the name goes with the holder.
class PreparedReplacement {
  public:
    PreparedReplacement(const std::wstring& path, const std::vector<unsigned char>& bytes,
                        ExistingFile existing = ExistingFile::Replace);
    ~PreparedReplacement();
    PreparedReplacement(const PreparedReplacement&) = delete;
    PreparedReplacement& operator=(const PreparedReplacement&) = delete;
    // True when the new file is in place; false when it could not be written or renamed.
    bool PutInPlace();

  private:
    // `write` makes the temporary file at the path it is given, whole and flushed, or says that
    // it could not.
    PreparedReplacement(const std::wstring& path, ExistingFile existing,
                        const std::function<bool(const std::wstring&)>& write);
    friend bool CopyFileDurably(const std::wstring& source, const std::wstring& path);

    std::wstring path_;
    // Empty when there is no temporary file of ours: none was begun, or it is in place.
    std::wstring temporary_;
    ExistingFile existing_;
    // Whole and flushed.
    bool written_ = false;
};

// The whole file, or nothing when it cannot be read, is larger than `limit` bytes or finds no
// memory.
std::vector<unsigned char> ReadWholeFile(const std::wstring& path, std::uint64_t limit);
