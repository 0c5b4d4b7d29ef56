// The names of a recovery snapshot's files in the settings folder, and the note beside the
// snapshot of the folder its memo belongs in. Platform-free.
#pragma once

#include <string>
#include <vector>

// One instance's files share the base "Recovery-<id>": the picture, the note of the memo's
// folder, a temporary file of each while it is written, and the lock held while the owner runs.
enum class SnapshotFile { Image, ImageTemp, Place, PlaceTemp, Lock };

// An id unique among running instances and over time: the process id and the start time, in
// upper-case hexadecimal.
std::wstring FormatInstanceId(unsigned long processId, unsigned long long startTime);
std::wstring SnapshotFileName(const std::wstring& id, SnapshotFile file);
// The instance id that a snapshot file's name carries; empty for the name of any other file.
std::wstring SnapshotIdOf(const std::wstring& fileName);

// The memo's folder as UTF-16LE text without terminator.
std::vector<unsigned char> EncodeSnapshotPlace(const std::wstring& folder);
// The folder back; empty when the bytes cannot be one (odd length, a zero character, longer
// than a memo's folder may be).
std::wstring DecodeSnapshotPlace(const std::vector<unsigned char>& bytes);
