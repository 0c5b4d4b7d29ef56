// The pen's eraser end on the real main window. Wine sends no pointer messages and has no
// GetPointerPenInfo, so the test answers the pointer look-up itself and stands in for default
// handling as Windows does it: a pointer message that reaches DefWindowProcW queues the mouse
// message it becomes, which the window then draws with.
#undef WINVER
#define WINVER 0x0602
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0602

#include <gtest/gtest.h>

#include <vector>

#include "canvas/canvas.h"
#include "canvas/layer_replacement.h"
#include "view/view.h"
#include "view/view_math.h"
#include "pen/eraser_end.h"
#include "pen/pen_input.h"
#include "pen/pen_state.h"
#include "records/app_window.h"
#include "records/document_state.h"
#include "scoped_import.h"
#include "view_pictures.h"
#include "wine_app.h"

namespace {

enum Pointer : UINT32 { PEN_TIP = 1, PEN_TURNED_OVER, PEN_ERASER_BUTTON, FINGER };

constexpr WORD IN_RANGE = POINTER_MESSAGE_FLAG_INRANGE;
constexpr WORD TOUCHING =
    IN_RANGE | POINTER_MESSAGE_FLAG_INCONTACT | POINTER_MESSAGE_FLAG_FIRSTBUTTON;

int g_penInfoReads;

BOOL WINAPI AnswerPointerType(UINT32 id, POINTER_INPUT_TYPE* type) {
    if (id < PEN_TIP || id > FINGER) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *type = id == FINGER ? PT_TOUCH : PT_PEN;
    return TRUE;
}

BOOL WINAPI AnswerPenInfo(UINT32 id, POINTER_PEN_INFO* info) {
    ++g_penInfoReads;
    if (id < PEN_TIP || id > PEN_ERASER_BUTTON) {
        SetLastError(ERROR_DATATYPE_MISMATCH);
        return FALSE;
    }
    *info = {};
    info->pointerInfo.pointerType = PT_PEN;
    info->pointerInfo.pointerId = id;
    info->penFlags = id == PEN_TURNED_OVER     ? PEN_FLAG_INVERTED
                     : id == PEN_ERASER_BUTTON ? PEN_FLAG_ERASER
                                               : PEN_FLAG_NONE;
    return TRUE;
}

using DefWindowProcFunction = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
DefWindowProcFunction g_realDefWindowProc;
GetPointerTypeFunction g_lookedUpPointerType;
GetPointerPenInfoFunction g_lookedUpPenInfo;
bool g_promote = true;
std::vector<UINT> g_passedOn;

LRESULT WINAPI PromoteToMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_POINTERUPDATE && message <= WM_POINTERUP) {
        g_passedOn.push_back(message);
        POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ScreenToClient(window, &point);
        const UINT mouse = message == WM_POINTERDOWN ? WM_LBUTTONDOWN
                           : message == WM_POINTERUP ? WM_LBUTTONUP
                                                     : WM_MOUSEMOVE;
        if (g_promote) {
            PostMessageW(window, mouse, IS_POINTER_INCONTACT_WPARAM(wParam) ? MK_LBUTTON : 0,
                         MAKELPARAM(point.x, point.y));
        }
    }
    return g_realDefWindowProc(window, message, wParam, lParam);
}

// Creates the window with default handling stood in for, and keeps what it looked up.
class PenTablet : public testing::Environment {
  public:
    void SetUp() override {
        g_realDefWindowProc = reinterpret_cast<DefWindowProcFunction>(ReplaceImport(
            "user32.dll", "DefWindowProcW", reinterpret_cast<void*>(&PromoteToMouse)));
        StartTestWindow(400, 300);
        TakeMessageBoxTexts();
        g_lookedUpPointerType = g_getPointerType;
        g_lookedUpPenInfo = g_getPointerPenInfo;
    }
};

const testing::Environment* const g_penTablet = testing::AddGlobalTestEnvironment(new PenTablet);

// A pointer message at a client point, as the platform sends it (screen point), followed by the
// mouse message that default handling queued for it.
void SendPointer(UINT message, UINT32 id, WORD flags, int x, int y) {
    POINT screen = {x, y};
    ClientToScreen(g_app.hwnd, &screen);
    SendToMainWindow(message, MAKEWPARAM(id, flags), MAKELPARAM(screen.x, screen.y));
    PumpMessages();
}

// Touches at (40, 100) and moves to (120, 100), not yet lifted.
void StartStroke(UINT32 id) {
    SendPointer(WM_POINTERDOWN, id, TOUCHING, 40, 100);
    SendPointer(WM_POINTERUPDATE, id, TOUCHING, 80, 100);
    SendPointer(WM_POINTERUPDATE, id, TOUCHING, 120, 100);
}

// Lifts at (160, 100): the last segment, from (120, 100), is drawn by the button-up message.
void LiftStroke(UINT32 id) {
    SendPointer(WM_POINTERUP, id, IN_RANGE, 160, 100);
}

class PointerInputTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(g_realDefWindowProc, nullptr);
        StartTestWindow(400, 300);
        PumpMessages(); // a pending paint would end the strokes below
        ResetInkLayer();
        g_pen = {RED, 4, RGB(0, 0, 200), 16, BLACK, 4};
        g_eraserEnd = {};
        g_view = {1.0, 0, 0, NO_POINT};
        g_document.modified = 0;
        g_getPointerType = AnswerPointerType;
        g_getPointerPenInfo = AnswerPenInfo;
        g_promote = true;
    }

    void ExpectPenAsBefore() {
        EXPECT_EQ(g_pen.color, RED);
        EXPECT_EQ(g_pen.width, 4);
        EXPECT_EQ(g_pen.savedColor, RGB(0, 0, 200));
        EXPECT_EQ(g_pen.savedWidth, 16);
        EXPECT_EQ(EraserMenuText(), L"消しゴム(&E)");
    }
};

TEST_F(PointerInputTest, EachEndOfThePenAndAFingerWriteThroughTheWindow) {
    const struct {
        const char* guards;
        UINT32 id;
        GetPointerTypeFunction type;
        GetPointerPenInfoFunction penInfo;
        COLORREF line;     // along the stroke, on black ink
        COLORREF beside10; // 10 pixels beside it; 25 pixels beside stays black
        int penInfoReads;
    } rows[] = {
        {"the pen turned over erases", PEN_TURNED_OVER, AnswerPointerType, AnswerPenInfo, WHITE,
         WHITE, 1},
        {"the eraser button erases", PEN_ERASER_BUTTON, AnswerPointerType, AnswerPenInfo, WHITE,
         WHITE, 1},
        // After the eraser end: it draws with the pen only if the pen came back.
        {"the pen tip draws with the pen", PEN_TIP, AnswerPointerType, AnswerPenInfo, RED, BLACK,
         1},
        {"a finger draws, not asked for pen flags", FINGER, AnswerPointerType, AnswerPenInfo, RED,
         BLACK, 0},
        {"Windows 7: the eraser end draws", PEN_TURNED_OVER, nullptr, nullptr, RED, BLACK, 0},
        {"Wine 8: the eraser end draws", PEN_TURNED_OVER, AnswerPointerType, nullptr, RED, BLACK,
         0},
    };
    const std::vector<UINT> passedOn = {WM_POINTERDOWN, WM_POINTERUPDATE, WM_POINTERUPDATE,
                                        WM_POINTERUP};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.guards);
        FillBitmap(g_canvas.ink, BLACK);
        PaintView(PaintForm::Immediate);
        g_getPointerType = row.type;
        g_getPointerPenInfo = row.penInfo;
        g_passedOn.clear();
        g_penInfoReads = 0;
        g_document.modified = 0;
        StartStroke(row.id);
        EXPECT_EQ(g_pen.color, row.line == WHITE ? ERASER_COLOR : RED);
        EXPECT_EQ(g_pen.width, row.line == WHITE ? ERASER_WIDTH : 4);
        EXPECT_EQ(EraserMenuText(), L"消しゴム(&E)");
        LiftStroke(row.id);
        for (int x : {60, 140}) { // the stroke's first and last segments
            EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, x, 100), row.line) << x;
            EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, x, 110), row.beside10) << x;
            EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, x, 75), BLACK) << x;
        }
        ExpectPenAsBefore();
        POINT first = {};
        EXPECT_EQ(CountPixelsUnlikeWholeRepaint(first), 0) << first.x << "," << first.y;
        EXPECT_EQ(g_document.modified, 1);
        EXPECT_EQ(g_passedOn, passedOn);
        EXPECT_EQ(g_penInfoReads, row.penInfoReads);
    }
}

TEST_F(PointerInputTest, ThePenReturnsHoweverTheStrokeEnds) {
    enum Ending { BUTTON_UP_FIRST, POINTER_UP_LOST, BOTH_LOST, CAPTURE_TAKEN };
    for (Ending ending : {BUTTON_UP_FIRST, POINTER_UP_LOST, BOTH_LOST, CAPTURE_TAKEN}) {
        SCOPED_TRACE(ending);
        FillBitmap(g_canvas.ink, BLACK);
        StartStroke(PEN_TURNED_OVER);
        switch (ending) {
        case BUTTON_UP_FIRST:
            SendToMainWindow(WM_LBUTTONUP, 0, PackPoint(160, 100));
            g_promote = false;
            LiftStroke(PEN_TURNED_OVER);
            break;
        case POINTER_UP_LOST: SendToMainWindow(WM_LBUTTONUP, 0, PackPoint(160, 100)); break;
        case BOTH_LOST:
            // Hovering again: its first mouse move ends the stroke without drawing, the next
            // pointer message returns the pen.
            SendPointer(WM_POINTERUPDATE, PEN_TURNED_OVER, IN_RANGE, 160, 100);
            EXPECT_EQ(g_pen.color, ERASER_COLOR);
            SendPointer(WM_POINTERUPDATE, PEN_TURNED_OVER, IN_RANGE, 160, 100);
            break;
        case CAPTURE_TAKEN:
            SendToMainWindow(WM_POINTERCAPTURECHANGED, PEN_TURNED_OVER, 0);
            SendToMainWindow(WM_LBUTTONUP, 0, PackPoint(160, 100));
            break;
        }
        g_promote = true;
        EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 60, 100), WHITE);
        EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 140, 100), ending == BOTH_LOST ? BLACK : WHITE);
        ExpectPenAsBefore();
    }
}

TEST_F(PointerInputTest, ANewContactEndsAnEraserStrokeWhoseEndWasLost) {
    FillBitmap(g_canvas.ink, BLACK);
    g_promote = false;
    SendPointer(WM_POINTERDOWN, PEN_TURNED_OVER, TOUCHING, 40, 100);
    g_promote = true;
    SendPointer(WM_POINTERDOWN, PEN_TIP, TOUCHING, 40, 200);
    EXPECT_EQ(g_pen.color, RED);
    SendPointer(WM_POINTERUPDATE, PEN_TIP, TOUCHING, 120, 200);
    SendPointer(WM_POINTERUP, PEN_TIP, IN_RANGE, 120, 200);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 80, 200), RED);
    ExpectPenAsBefore();
}

TEST_F(PointerInputTest, ThePenServiceKeepsItsFeedbackOffTheWindow) {
    // Press-and-hold 0x1, pen tap 0x8, barrel button 0x10, flicks 0x10000; nothing else.
    constexpr DWORD FEEDBACK_OFF = 0x00010019;
    const auto property =
        reinterpret_cast<ULONG_PTR>(GetPropW(g_app.hwnd, L"MicrosoftTabletPenServiceProperty"));
    EXPECT_EQ(property, FEEDBACK_OFF);
    POINT screen = {100, 100};
    ClientToScreen(g_app.hwnd, &screen);
    const LRESULT answer =
        SendToMainWindow(0x02CC, 0, MAKELPARAM(screen.x, screen.y)); // the pen service's question
    EXPECT_EQ(static_cast<DWORD>(answer), FEEDBACK_OFF);
}

TEST_F(PointerInputTest, TheLookUpFindsWhatThisWindowsHas) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    EXPECT_EQ(reinterpret_cast<void*>(g_lookedUpPointerType),
              reinterpret_cast<void*>(GetProcAddress(user32, "GetPointerType")));
    EXPECT_EQ(reinterpret_cast<void*>(g_lookedUpPenInfo),
              reinterpret_cast<void*>(GetProcAddress(user32, "GetPointerPenInfo")));
    // Wine 8 has GetPointerType but not GetPointerPenInfo: no eraser end, as on Windows 7.
    EXPECT_NE(g_lookedUpPointerType, nullptr);
}

} // namespace
