// The recovery snapshot: while the memo has unsaved changes, a copy of what closing would save
// is kept in the settings folder, so that a process that dies loses at most the last seconds of
// writing. The window's thread only copies the layers; a worker composes and encodes.
#pragma once

#include <windows.h>

#include <string>

// The main window's timer that refreshes the snapshot once the writing has settled.
constexpr UINT_PTR SNAPSHOT_TIMER = 16;
constexpr UINT SNAPSHOT_SETTLE_MS = 2000;

// Takes this instance's lock in the settings folder, held until ReleaseSnapshot or the death of
// the process; without it the instance keeps no snapshot.
void ClaimSnapshot();
// Restarts the settle timer: the snapshot is taken when nothing has happened for a while.
void ScheduleSnapshot();
// The settle timer: snapshots a modified memo; during a stroke it waits for the pen to lift, and
// a snapshot that cannot be taken yet (a worker still writing, no memory) waits for the next tick.
void OnSnapshotTimer();
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
// Every snapshot whose owner no longer runs becomes a clock-named memo in the memo's folder, or
// the save folder when that fails, never over an existing file; the snapshot goes once the memo
// is written. The path of the newest memo given back, or empty.
std::wstring RecoverSnapshots();
