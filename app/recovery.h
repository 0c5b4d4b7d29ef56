// The recovery snapshot seen from the main window: what dead instances left is given back at
// creation, and the window's timer takes the snapshot.
#pragma once

#include <windows.h>

// In WM_CREATE: claims this instance's snapshot, turns the snapshots of instances that died into
// memos and shows the newest of them as the memo, as if it had been opened.
void RecoverAtStart();
// A snapshot of the ink as it is now, written before this returns: the session is ending and the
// memo could not be saved.
void KeepInkInSnapshot();
LRESULT OnTimer(WPARAM timer);
