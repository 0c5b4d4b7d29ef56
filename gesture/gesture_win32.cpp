#include "gesture/gesture.h"

#include "records/app_window.h"

static_assert(sizeof(GESTURECONFIG) == 12, "SetGestureConfig is given 12-byte records");

void ConfigureGestures() {
    // Pan with the gutter and inertia, but without GC_PAN or the single-finger pan bits.
    GESTURECONFIG table[5] = {
        {GID_ZOOM, GC_ZOOM, 0},
        {GID_PAN, GC_PAN_WITH_GUTTER | GC_PAN_WITH_INERTIA, 0},
        {GID_ROTATE, GC_ROTATE, 0},
        {GID_TWOFINGERTAP, GC_TWOFINGERTAP, 0},
        {GID_PRESSANDTAP, GC_PRESSANDTAP, 0},
    };
    SetGestureConfig(g_app.hwnd, 0, 5, table, sizeof(GESTURECONFIG));
}

namespace {

GestureKind KindOf(DWORD id) {
    switch (id) {
    case GID_ZOOM: return GestureKind::Zoom;
    case GID_PAN: return GestureKind::Pan;
    case GID_ROTATE: return GestureKind::Rotate;
    case GID_TWOFINGERTAP: return GestureKind::TwoFingerTap;
    case GID_PRESSANDTAP: return GestureKind::PressAndTap;
    }
    return GestureKind::Other; // GID_BEGIN, GID_END and anything newer
}

// Only the whole values GF_BEGIN and GF_END begin and end a gesture; inertia and any other mix of
// flags is a message between.
GesturePhase PhaseOf(DWORD flags) {
    return flags == GF_BEGIN ? GesturePhase::Begin
           : flags == GF_END ? GesturePhase::End
                             : GesturePhase::Update;
}

} // namespace

GestureMessage ReadGesture(HGESTUREINFO handle) {
    // A failed read leaves the record zero: identifier 0 is a gesture of no kind.
    GESTUREINFO info = {};
    info.cbSize = sizeof(info);
    GetGestureInfo(handle, &info);
    POINT position = {info.ptsLocation.x, info.ptsLocation.y};
    ScreenToClient(g_app.hwnd, &position);
    return {KindOf(info.dwID), PhaseOf(info.dwFlags), {position.x, position.y}, info.ullArguments};
}
