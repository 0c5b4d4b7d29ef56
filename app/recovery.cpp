#include "app/recovery.h"

#include <string>

#include "app/document.h"
#include "view/view_math.h"
#include "memo/recovered_snapshots.h"
#include "memo/snapshot.h"
#include "records/app_window.h"
#include "records/document_state.h"

namespace {

// When the canvas last changed, and whether the settle timer runs: a stroke changes the canvas at
// every segment, and setting a window timer is far dearer than noting the time.
DWORD g_lastCanvasChange;
bool g_settling;

// The snapshot is taken once nothing has changed for a while.
void ScheduleSnapshot() {
    g_lastCanvasChange = GetTickCount();
    if (!g_settling && IsSnapshotClaimed()) {
        g_settling = SetTimer(g_app.hwnd, SNAPSHOT_TIMER, SNAPSHOT_SETTLE_MS, nullptr) != 0;
    }
}

// Snapshots a modified memo once the canvas has settled; during a stroke it waits for the pen to
// lift.
void OnSnapshotTimer() {
    const DWORD quiet = GetTickCount() - g_lastCanvasChange;
    if (quiet < SNAPSHOT_SETTLE_MS) {
        SetTimer(g_app.hwnd, SNAPSHOT_TIMER, SNAPSHOT_SETTLE_MS - quiet, nullptr);
        return;
    }
    // A worker still writing the last one, or no memory for the copies: the next tick tries again.
    if (StrokeInProgress(g_view) || (g_document.modified != 0 && !TakeSnapshot())) {
        SetTimer(g_app.hwnd, SNAPSHOT_TIMER, SNAPSHOT_SETTLE_MS, nullptr);
        return;
    }
    KillTimer(g_app.hwnd, SNAPSHOT_TIMER);
    g_settling = false;
}

} // namespace

void RecoverAtStart() {
    // Every change of what a save would write refreshes the snapshot once it settles.
    ListenToCanvas(ScheduleSnapshot);
    ClaimSnapshot();
    const std::wstring memo = RecoverSnapshots();
    if (!memo.empty()) {
        OpenImageAsMemo(memo.c_str(), SaveQuestion::None);
    }
}

void KeepInkInSnapshot() {
    WaitForSnapshot();
    if (TakeSnapshot()) {
        WaitForSnapshot();
    }
}

void StopSnapshots() {
    KillTimer(g_app.hwnd, SNAPSHOT_TIMER);
    g_settling = false;
    ReleaseSnapshot();
}

LRESULT OnTimer(WPARAM timer) {
    if (timer == SNAPSHOT_TIMER) {
        OnSnapshotTimer();
    }
    return 0;
}
