// The recovery snapshot: while the memo has unsaved changes, a copy of what closing would save
// is kept in the settings folder, so that a process that dies loses at most the last seconds of
// writing. The window's thread only copies the layers; a worker composes and encodes. When to
// take one is the main window's affair; memo/recovered_snapshots.h gives them back at start.
#pragma once

#include <string>

// Takes this instance's lock in the settings folder, held until ReleaseSnapshot or the death of
// the process; without it the instance keeps no snapshot.
void ClaimSnapshot();
bool IsSnapshotClaimed();
// Whether `id` names this instance's snapshot, also after ReleaseSnapshot: recovery leaves it be.
bool IsOwnSnapshot(const std::wstring& id);
// Copies the layers on this thread and starts the worker; false when it could not (a worker
// still busy, no lock, no memory).
bool TakeSnapshot();
void WaitForSnapshot();
// The changes are gone (saved, replaced or discarded), and so is the snapshot, also one that the
// worker is writing now.
void RemoveSnapshot();
// The window's end: waits for the worker, removes the snapshot unless the memo still has unsaved
// changes (a save that failed), and gives up the lock.
void ReleaseSnapshot();
