#include "app/recovery.h"

#include <string>

#include "app/document.h"
#include "canvas/view_math.h"
#include "memo/recovered_snapshots.h"
#include "memo/snapshot.h"
#include "records/app_window.h"
#include "records/document_state.h"

namespace {

// Restarts the settle timer: the snapshot is taken when nothing has happened for a while.
void ScheduleSnapshot() {
    if (IsSnapshotClaimed()) {
        SetTimer(g_app.hwnd, SNAPSHOT_TIMER, SNAPSHOT_SETTLE_MS, nullptr);
    }
}

// Snapshots a modified memo; during a stroke it waits for the pen to lift.
void OnSnapshotTimer() {
    if (!IsNoPoint(g_view.lastPoint)) {
        return;
    }
    // A worker still writing the last one, or no memory for the copies: the next tick tries again.
    if (g_document.modified != 0 && !TakeSnapshot()) {
        return;
    }
    KillTimer(g_app.hwnd, SNAPSHOT_TIMER);
}

} // namespace

void RecoverAtStart() {
    // Every change of what a save would write refreshes the snapshot once it settles.
    ListenToCanvas(ScheduleSnapshot);
    ClaimSnapshot();
    const std::wstring memo = RecoverSnapshots();
    if (!memo.empty()) {
        OpenImageAsMemo(memo.c_str());
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
    ReleaseSnapshot();
}

LRESULT OnTimer(WPARAM timer) {
    if (timer == SNAPSHOT_TIMER) {
        OnSnapshotTimer();
    }
    return 0;
}
