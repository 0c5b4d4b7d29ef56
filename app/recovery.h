// The recovery snapshot seen from the main window: what dead instances left is given back at
// creation, and the window's timer takes the snapshot once the writing has settled.
#pragma once

#include <windows.h>

// The main window's timer that refreshes the snapshot once the writing has settled.
constexpr UINT_PTR SNAPSHOT_TIMER = 16;
constexpr UINT SNAPSHOT_SETTLE_MS = 2000;

// In WM_CREATE: listens to every change of the canvas, claims this instance's snapshot, turns the
// snapshots of instances that died into memos and shows the newest of them as the memo, as if it
// had been opened.
void RecoverAtStart();
// A snapshot of the ink as it is now, written before this returns: the session is ending and the
// memo could not be saved.
void KeepInkInSnapshot();
// In WM_DESTROY: no more ticks, and the snapshot released (ReleaseSnapshot).
void StopSnapshots();
LRESULT OnTimer(WPARAM timer);
