#include "app/recovery.h"

#include <string>

#include "app/document.h"
#include "memo/snapshot.h"

void RecoverAtStart() {
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

LRESULT OnTimer(WPARAM timer) {
    if (timer == SNAPSHOT_TIMER) {
        OnSnapshotTimer();
    }
    return 0;
}
