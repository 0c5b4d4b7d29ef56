// The names of a recovery snapshot's files in the settings folder, and the folder its memo
// belongs in, carried inside the snapshot's picture. Platform-free.
#pragma once

#include <string>
#include <vector>

// One instance's files share the base "Recovery-<id>": the picture and the lock held while the
// owner runs. Earlier versions kept the memo's folder in a note beside the picture and wrote
// temporary files of both under these names too; recovery still clears those away.
enum class SnapshotFile { Image, ImageTemp, Place, PlaceTemp, Lock };

// An id unique among running instances and over time: the process id and the start time, in
// upper-case hexadecimal.
std::wstring FormatInstanceId(unsigned long processId, unsigned long long startTime);
std::wstring SnapshotFileName(const std::wstring& id, SnapshotFile file);
// The file's full path in `folder`.
std::wstring SnapshotPath(const std::wstring& folder, const std::wstring& id, SnapshotFile file);
// The instance id that a snapshot file's name carries; empty for the name of any other file.
std::wstring SnapshotIdOf(const std::wstring& fileName);

// The memo's folder as UTF-16LE text without terminator.
std::vector<unsigned char> EncodeSnapshotPlace(const std::wstring& folder);
// The folder back; empty when the bytes cannot be one (odd length, a zero character, longer
// than a memo's folder may be).
std::wstring DecodeSnapshotPlace(const std::vector<unsigned char>& bytes);

// The folder travels in a private chunk of the snapshot's PNG, put before its IEND chunk, so that
// picture and folder are renamed into place as one file and never mismatch. False when `png`
// does not end in IEND.
bool AddSnapshotPlace(std::vector<unsigned char>& png, const std::wstring& folder);
// The folder that the chunk holds, empty without one; `png` is left without the chunk, as the
// memo recovered from it is written.
std::wstring TakeSnapshotPlace(std::vector<unsigned char>& png);
