#include "app/recovery.h"

#include <string>

#include "app/document.h"
#include "memo/snapshot.h"

namespace {

// WM_POINTERDOWN and WM_POINTERUP: Windows 8 sends them, and the headers for Windows 7 lack them.
constexpr UINT POINTER_DOWN = 0x0246;
constexpr UINT POINTER_UP = 0x0247;

} // namespace

void RecoverAtStart() {
    ClaimSnapshot();
    const std::wstring memo = RecoverSnapshots();
    if (!memo.empty()) {
        OpenImageAsMemo(memo.c_str());
    }
}

void NoteSettlingMessage(UINT message) {
    switch (message) {
    case WM_GESTURE:
        // A turn that ends turns the background too.
        MarkBackgroundChanged();
        ScheduleSnapshot();
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case POINTER_DOWN:
    case POINTER_UP:
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
