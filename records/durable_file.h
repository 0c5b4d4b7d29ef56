// The one writer of every file the program replaces: a memo, the recovery snapshot, the settings.
#pragma once

#include <string>
#include <vector>

// Whether ReplaceFileDurably may put its file over one of the same name.
enum class ExistingFile { Replace, Keep };

// Puts `bytes` at `path` so that a death at any instant leaves the old file or the new one, never
// a torn or empty one: they go to a temporary file of ours beside it, are flushed, and that file
// is then renamed into place (over an existing file with ReplaceFileW, which keeps its attributes
// and security). With Keep, a file of that name is never replaced: the call fails. True when the
// new file is in place. Temporary files that ended processes left in the folder are removed first.
bool ReplaceFileDurably(const std::wstring& path, const std::vector<unsigned char>& bytes,
                        ExistingFile existing = ExistingFile::Replace);
