// Gestures on the real main window. Wine has no touch input, so this executable's imports of the
// touch calls are swapped: the window is created as on a multi-touch PC, and every WM_GESTURE
// carries a handle whose record is packed here as the platform packs it.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/layer_replacement.h"
#include "view/view.h"
#include "gesture/gesture.h"
#include "gesture/gesture_step.h"
#include "pen/pen_state.h"
#include "records/app_window.h"
#include "records/document_state.h"
#include "records/settings.h"
#include "res/resource.h"
#include "scoped_import.h"
#include "wine_app.h"

namespace {

struct ConfigCall {
    HWND window;
    DWORD reserved;
    UINT count;
    UINT size;
    std::vector<GESTURECONFIG> records;
};

// One handle per message: its packed record, how it was used, and the records as they stood
// when it was closed (closing is the handler's last call, so nothing may change after it).
struct FakeHandle {
    GESTUREINFO info;
    bool readable;
    int reads;
    int closes;
    int readsAfterClose;
    ViewState viewAtClose;
    GestureState gestureAtClose;
    PenColor penAtClose;
};

using GetSystemMetricsFunction = int(WINAPI*)(int);
GetSystemMetricsFunction g_realGetSystemMetrics;
std::vector<ConfigCall> g_configCalls;
std::deque<FakeHandle> g_handles;
bool g_swapped;
std::vector<std::wstring> g_creationNotices;

int WINAPI ReportMultiTouchDigitizer(int index) {
    return index == SM_DIGITIZER ? NID_READY | NID_MULTI_INPUT : g_realGetSystemMetrics(index);
}

BOOL WINAPI RecordGestureConfig(HWND window, DWORD reserved, UINT count, PGESTURECONFIG records,
                                UINT size) {
    g_configCalls.push_back({window, reserved, count, size, {records, records + count}});
    return TRUE;
}

FakeHandle* FindHandle(HGESTUREINFO handle) {
    const auto index = reinterpret_cast<UINT_PTR>(handle) - 1;
    return index < g_handles.size() ? &g_handles[index] : nullptr;
}

BOOL WINAPI ReadPackedRecord(HGESTUREINFO handle, PGESTUREINFO info) {
    FakeHandle* fake = FindHandle(handle);
    if (fake == nullptr || info->cbSize != sizeof(GESTUREINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    fake->readsAfterClose += fake->closes;
    if (!fake->readable) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    ++fake->reads;
    *info = fake->info;
    return TRUE;
}

BOOL WINAPI CloseRecord(HGESTUREINFO handle) {
    FakeHandle* fake = FindHandle(handle);
    if (fake == nullptr) {
        return FALSE;
    }
    ++fake->closes;
    fake->viewAtClose = g_view;
    fake->gestureAtClose = g_gesture;
    fake->penAtClose = g_pen.color;
    return TRUE;
}

// Creates the window with the touch calls swapped, before any test runs.
class MultiTouchPc : public testing::Environment {
  public:
    void SetUp() override {
        g_realGetSystemMetrics = reinterpret_cast<GetSystemMetricsFunction>(ReplaceImport(
            "user32.dll", "GetSystemMetrics", reinterpret_cast<void*>(&ReportMultiTouchDigitizer)));
        const void* replaced[] = {
            ReplaceImport("user32.dll", "SetGestureConfig",
                          reinterpret_cast<void*>(&RecordGestureConfig)),
            ReplaceImport("user32.dll", "GetGestureInfo",
                          reinterpret_cast<void*>(&ReadPackedRecord)),
            ReplaceImport("user32.dll", "CloseGestureInfoHandle",
                          reinterpret_cast<void*>(&CloseRecord)),
        };
        g_swapped = g_realGetSystemMetrics != nullptr && replaced[0] != nullptr &&
                    replaced[1] != nullptr && replaced[2] != nullptr;
        StartTestWindow(800, 600);
        g_creationNotices = TakeMessageBoxTexts();
    }
};

const testing::Environment* const g_multiTouchPc =
    testing::AddGlobalTestEnvironment(new MultiTouchPc);

// Packs a message as the platform does (screen position, the window as target) under a new
// handle, sends it to the window and checks that the handler read it once and closed it once,
// last. A record that is not readable fails to read as it does on a PC without touch.
void SendGesture(DWORD id, DWORD flags, int x, int y, ULONGLONG argument = 0,
                 bool readable = true) {
    POINT screen = {x, y};
    ClientToScreen(g_app.hwnd, &screen);
    FakeHandle fake = {};
    fake.info.cbSize = sizeof(GESTUREINFO);
    fake.info.dwFlags = flags;
    fake.info.dwID = id;
    fake.info.hwndTarget = g_app.hwnd;
    fake.info.ptsLocation = {static_cast<SHORT>(screen.x), static_cast<SHORT>(screen.y)};
    fake.info.dwInstanceID = 1;
    fake.info.dwSequenceID = static_cast<DWORD>(g_handles.size() + 1);
    fake.info.ullArguments = argument;
    fake.readable = readable;
    g_handles.push_back(fake);
    const auto handle = static_cast<LPARAM>(g_handles.size());
    EXPECT_EQ(SendToMainWindow(WM_GESTURE, id, handle), 0);
    const FakeHandle& used = g_handles.back();
    EXPECT_EQ(used.reads, readable ? 1 : 0) << "gesture " << id;
    EXPECT_EQ(used.closes, 1) << "gesture " << id;
    EXPECT_EQ(used.readsAfterClose, 0) << "gesture " << id;
    EXPECT_EQ(used.viewAtClose.zoom, g_view.zoom) << "gesture " << id;
    EXPECT_EQ(used.viewAtClose.originX, g_view.originX) << "gesture " << id;
    EXPECT_EQ(used.viewAtClose.originY, g_view.originY) << "gesture " << id;
    EXPECT_EQ(used.gestureAtClose.lastArgument, g_gesture.lastArgument) << "gesture " << id;
    EXPECT_EQ(used.penAtClose, g_pen.color) << "gesture " << id;
}

class GestureWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        // Away from the screen's origin, so that a missed screen-to-client step shows. The window
        // manager places a new window once it is shown: move it until the move holds.
        const HWND window = StartTestWindow(800, 600);
        POINT clientOrigin = {0, 0};
        for (int tries = 0; tries < 50 && (clientOrigin.x < 100 || clientOrigin.y < 50); ++tries) {
            SetWindowPos(window, nullptr, 170, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            Sleep(20);
            PumpMessages();
            clientOrigin = {0, 0};
            ClientToScreen(window, &clientOrigin);
        }
        ASSERT_GT(clientOrigin.x, 100);
        ASSERT_GT(clientOrigin.y, 50);
        ResetInkLayer();
        ResetBackgroundLayer();
        g_settings.backgroundEnabled = 0;
        g_pen.color = BLACK;
        g_pen.width = 4;
        g_view = {1.0, 0, 0, NO_POINT};
        g_gesture = {{0, 0}, {0, 0}, 0};
        g_document.modified = 0;
        PaintView(PaintForm::Immediate);
    }
};

TEST_F(GestureWindowTest, PinchZoomKeepsTheAnchoredInkUnderThePinchStart) {
    FillBitmapRect(g_canvas.ink, 300, 200, 306, 206, BLACK);
    EXPECT_EQ(ReadClientPixel(307, 207), WHITE);
    SendGesture(GID_ZOOM, GF_BEGIN, 303, 203, 100);
    SendGesture(GID_ZOOM, 0, 500, 400, 150);
    SendGesture(GID_ZOOM, 0, 520, 420, 200);
    SendGesture(GID_ZOOM, GF_END, 520, 420, 200);
    EXPECT_EQ(g_view.zoom, 2.0);
    EXPECT_EQ(ReadClientPixel(303, 203), BLACK);
    // The six-pixel square is now twelve client pixels wide.
    EXPECT_EQ(ReadClientPixel(307, 207), BLACK);
    EXPECT_EQ(ReadClientPixel(312, 203), WHITE);
    EXPECT_EQ(g_document.modified, 0);
}

TEST_F(GestureWindowTest, PanMovesTheInkWithTheFingers) {
    FillBitmapRect(g_canvas.ink, 600, 600, 610, 610, BLACK);
    g_view.originX = 500;
    g_view.originY = 500;
    PaintView(PaintForm::Immediate);
    EXPECT_EQ(ReadClientPixel(105, 105), BLACK);
    SendGesture(GID_PAN, GF_BEGIN, 200, 200);
    SendGesture(GID_PAN, 0, 230, 215);
    SendGesture(GID_PAN, GF_INERTIA, 250, 230);
    SendGesture(GID_PAN, GF_END, 290, 290);
    EXPECT_EQ(ReadClientPixel(155, 135), BLACK);
    EXPECT_EQ(ReadClientPixel(105, 105), WHITE);
    EXPECT_EQ(g_view.originX, 450);
    EXPECT_EQ(g_view.originY, 470);
    // The canvas's top-left corner stops a pan that would take it further.
    SendGesture(GID_PAN, GF_BEGIN, 100, 100);
    SendGesture(GID_PAN, 0, 560, 580);
    EXPECT_EQ(g_view.originX + g_view.originY, 0);
}

TEST_F(GestureWindowTest, PanRepaintEndsTheStrokeInProgress) {
    SendToMainWindow(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(50, 60));
    SendGesture(GID_PAN, GF_BEGIN, 400, 400);
    SendGesture(GID_PAN, 0, 400, 400);
    SendToMainWindow(WM_MOUSEMOVE, MK_LBUTTON, PackPoint(90, 60));
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 70, 60), WHITE);
    EXPECT_EQ(g_document.modified, 0);
}

TEST_F(GestureWindowTest, RotateEndTurnsInkAndBackground) {
    struct Case {
        std::uint64_t endArgument;
        int inkX, inkY;               // client point of the turned ink bar
        int backgroundX, backgroundY; // client point of the turned background bar
    } cases[] = {
        {32768, 400, 189, 510, 299}, // +0.005 degrees: counter-clockwise
        {30000, 400, 410, 290, 299}, // -30 degrees: clockwise
    };
    for (const Case& c : cases) {
        ResetInkLayer();
        ResetBackgroundLayer();
        // The view shows the canvas centre at client (400, 300); the ink bar lies right of the
        // centre, the background bar below it.
        FillBitmapRect(g_canvas.ink, 1124, 1014, 1144, 1034, BLACK);
        FillBitmapRect(g_canvas.background, 1014, 1124, 1034, 1144, RED);
        g_settings.backgroundEnabled = 1;
        g_view = {1.0, 624, 724, NO_POINT};
        PaintView(PaintForm::Immediate);
        ASSERT_EQ(ReadClientPixel(510, 300), BLACK);
        ASSERT_EQ(ReadClientPixel(400, 410), RED);

        SendGesture(GID_ROTATE, GF_BEGIN, 400, 300, 32768);
        SendGesture(GID_ROTATE, GF_END, 400, 300, c.endArgument);
        EXPECT_EQ(g_gesture.lastArgument, 0u);
        EXPECT_EQ(g_document.modified, 1);
        PumpMessages(); // the queued paint shows the turned layers
        EXPECT_EQ(ReadClientPixel(c.inkX, c.inkY), BLACK) << c.endArgument;
        EXPECT_EQ(ReadClientPixel(c.backgroundX, c.backgroundY), RED) << c.endArgument;
        EXPECT_EQ(ReadClientPixel(510, 300), c.backgroundX == 510 ? RED : WHITE);
    }
}

TEST_F(GestureWindowTest, RotateUpdateShowsThePreviewWithoutTouchingTheLayers) {
    FillBitmapRect(g_canvas.ink, 1124, 1014, 1144, 1034, BLACK);
    g_view = {1.0, 624, 724, NO_POINT};
    PaintView(PaintForm::Immediate);
    SendGesture(GID_ROTATE, GF_BEGIN, 400, 300, 32768);
    SendGesture(GID_ROTATE, 0, 400, 300, 40960); // about +90 degrees
    EXPECT_EQ(ReadClientPixel(400, 189), BLACK);
    EXPECT_EQ(ReadClientPixel(510, 300), WHITE);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 1134, 1024), BLACK);
    EXPECT_EQ(g_gesture.lastArgument, 40960u);
    // The end turns the layers first: its preview, before the paint, shows the turned ink.
    SendGesture(GID_ROTATE, GF_END, 400, 300, 32768);
    EXPECT_EQ(ReadClientPixel(400, 189), BLACK);
    EXPECT_EQ(ReadClientPixel(510, 300), WHITE);
}

TEST_F(GestureWindowTest, TwoFingerTapReturnsToZoomOne) {
    FillBitmapRect(g_canvas.ink, 300, 200, 306, 206, BLACK);
    g_view.zoom = 2.0;
    g_view.originX = 150;
    g_view.originY = 100;
    PaintView(PaintForm::Immediate);
    EXPECT_EQ(ReadClientPixel(309, 208), BLACK);
    SendGesture(GID_TWOFINGERTAP, GF_BEGIN, 10, 10);
    EXPECT_EQ(g_view.zoom, 1.0);
    EXPECT_EQ(g_view.originX, 150);
    EXPECT_EQ(ReadClientPixel(152, 102), BLACK);
    EXPECT_EQ(ReadClientPixel(309, 208), WHITE);
}

TEST_F(GestureWindowTest, PressAndTapTogglesTheEraserMenuText) {
    ASSERT_EQ(EraserMenuText(), L"消しゴム(&E)");
    SendGesture(GID_PRESSANDTAP, GF_BEGIN, 10, 10);
    EXPECT_EQ(EraserMenuText(), L"元のペン(&E)");
    EXPECT_EQ(g_pen.color, ERASER_COLOR);
    SendGesture(GID_PRESSANDTAP, 0, 10, 10);
    SendGesture(GID_PRESSANDTAP, GF_END, 10, 10);
    EXPECT_EQ(EraserMenuText(), L"元のペン(&E)");
    SendGesture(GID_PRESSANDTAP, GF_BEGIN, 10, 10);
    EXPECT_EQ(EraserMenuText(), L"消しゴム(&E)");
    EXPECT_EQ(g_pen.color, BLACK);
}

TEST_F(GestureWindowTest, AGestureMessageThatCannotBeReadChangesNothing) {
    // The record cannot be read, as on a PC without touch: the message counts as identifier 0.
    g_view = {1.5, 100, 100, NO_POINT};
    g_gesture = {{1, 2}, {3, 4}, 5};
    SendGesture(GID_ZOOM, GF_BEGIN, 10, 10, 200, false);
    EXPECT_EQ(g_view.zoom, 1.5);
    EXPECT_EQ(g_view.originX, 100);
    EXPECT_EQ(g_gesture.lastArgument, 5u);
    EXPECT_EQ(g_gesture.anchor.x, 1);
}

TEST(GestureConfiguration, AMultiTouchPcGetsTheFiveGesturesAndNoNotice) {
    ASSERT_TRUE(g_swapped);
    EXPECT_TRUE(g_creationNotices.empty());
    ASSERT_EQ(g_configCalls.size(), 1u);
    const ConfigCall& call = g_configCalls[0];
    EXPECT_EQ(call.window, g_app.hwnd);
    EXPECT_EQ(call.reserved, 0u);
    EXPECT_EQ(call.size, 12u);
    ASSERT_EQ(call.count, 5u);
    const DWORD expected[5][3] = {
        {3, 0x01, 0}, {4, 0x18, 0}, {5, 0x01, 0}, {6, 0x01, 0}, {7, 0x01, 0}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(call.records[i].dwID, expected[i][0]) << i;
        EXPECT_EQ(call.records[i].dwWant, expected[i][1]) << i;
        EXPECT_EQ(call.records[i].dwBlock, expected[i][2]) << i;
    }
}

// One touch session on the real window, message by message: each row is a packed record (the
// position in client pixels, sent in screen pixels) and what the view shows once it is handled.
// A black square lies 100 to 119 canvas pixels right of the canvas centre.
TEST_F(GestureWindowTest, EveryGestureRunsThroughTheWindowAndClosesItsHandle) {
    const struct Row {
        DWORD id, flags;
        int x, y;
        ULONGLONG argument;
        double zoom;
        int originX, originY;
        bool eraser;
        int pixelX, pixelY;
        COLORREF pixel;
    } rows[] = {
        {GID_ZOOM, GF_BEGIN, 510, 300, 100, 1.0, 624, 724, false, 510, 300, BLACK},
        {GID_ZOOM, 0, 700, 500, 200, 2.0, 879, 874, false, 526, 318,
         BLACK}, // kept under (510, 300)
        {GID_ZOOM, GF_END, 700, 500, 200, 2.0, 879, 874, false, 526, 318, BLACK},
        {GID_PAN, GF_BEGIN, 400, 300, 0, 2.0, 879, 874, false, 526, 318, BLACK},
        {GID_PAN, 0, 420, 330, 0, 2.0, 869, 859, false, 546, 346, BLACK},
        {GID_PAN, GF_INERTIA, 423, 331, 0, 2.0, 867, 858, false, 550, 346,
         BLACK}, // carried: 1.5, 0.5
        {GID_PAN, GF_END, 600, 500, 0, 2.0, 867, 858, false, 550, 346, BLACK},
        {GID_TWOFINGERTAP, GF_BEGIN | GF_END, 10, 10, 120, 1.0, 867, 858, false, 274, 173, BLACK},
        {GID_PRESSANDTAP, GF_BEGIN, 300, 300, 0x200010, 1.0, 867, 858, true, 274, 173, BLACK},
        {GID_PRESSANDTAP, GF_END, 300, 300, 0, 1.0, 867, 858, true, 274, 173, BLACK},
        {GID_BEGIN, GF_BEGIN, 300, 300, 0, 1.0, 867, 858, true, 274, 173, BLACK},
        {GID_END, GF_END, 300, 300, 0, 1.0, 867, 858, true, 274, 173, BLACK},
        // The canvas centre is at client (157, 166).
        {GID_ROTATE, GF_BEGIN, 157, 166, 32768, 1.0, 867, 858, true, 274, 173, BLACK},
        {GID_ROTATE, 0, 157, 166, 40960, 1.0, 867, 858, true, 156, 55, BLACK},       // +90: preview
        {GID_ROTATE, 0, 157, 166, 50000, 1.0, 867, 858, true, 156, 55, BLACK},       // +189: none
        {GID_ROTATE, GF_END, 157, 166, 30000, 1.0, 867, 858, true, 156, 275, BLACK}, // turned
    };
    FillBitmapRect(g_canvas.ink, 1124, 1014, 1144, 1034, BLACK);
    g_view = {1.0, 624, 724, NO_POINT};
    PaintView(PaintForm::Immediate);
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "gesture " << row.id << " flags " << row.flags
                                        << " argument " << row.argument);
        SendGesture(row.id, row.flags, row.x, row.y, row.argument);
        PumpMessages();
        EXPECT_EQ(g_view.zoom, row.zoom);
        EXPECT_EQ(g_view.originX, row.originX);
        EXPECT_EQ(g_view.originY, row.originY);
        EXPECT_EQ(g_pen.color == ERASER_COLOR, row.eraser);
        EXPECT_EQ(ReadClientPixel(row.pixelX, row.pixelY), row.pixel);
    }
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 1024, 1134), BLACK);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 1134, 1024), WHITE);
}

} // namespace
