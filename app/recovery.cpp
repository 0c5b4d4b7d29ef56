#include "app/recovery.h"

#include <string>

#include "app/document.h"
#include "memo/snapshot.h"
#include "pen/pen_input.h"

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

void NoteSettlingMessage(UINT message) {
    switch (message) {
    case WM_GESTURE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_POINTERDOWN:
    case WM_POINTERUP:
    case WM_COMMAND:
    case WM_DROPFILES: ScheduleSnapshot(); break;
    }
}

LRESULT OnTimer(WPARAM timer) {
    if (timer == SNAPSHOT_TIMER) {
        OnSnapshotTimer();
    }
    return 0;
}
