#include "app/app.h"

#include <cwchar>
#include <exception>
#include <optional>
#include <string>

#include <shellapi.h>
#include <shlobj.h>

#include "app/command_line.h"
#include "app/document.h"
#include "app/pointer_input.h"
#include "app/recovery.h"
#include "canvas/canvas.h"
#include "canvas/layer_replacement.h"
#include "control/controller.h"
#include "control/stroke_input.h"
#include "gesture/gesture.h"
#include "imaging/imaging.h"
#include "imaging/system_library.h"
#include "memo/clipboard.h"
#include "memo/memo_files.h"
#include "memo/print.h"
#include "pen/eraser.h"
#include "pen/pen_dialog.h"
#include "pen/pen_input.h"
#include "records/document_state.h"
#include "records/settings.h"
#include "records/window_dpi.h"
#include "res/resource.h"
#include "settings/settings_dialog.h"
#include "settings/settings_store.h"
#include "view/view.h"
#include "view/view_input.h"

namespace {

constexpr int MULTI_TOUCH_READY = NID_READY | NID_MULTI_INPUT;

void ShowVersionBox() {
    MessageBoxW(g_app.hwnd, LoadText(IDS_VERSION_BOX).c_str(), g_app.caption, MB_OK);
}

void CheckMultiTouch(HWND window) {
    if ((GetSystemMetrics(SM_DIGITIZER) & MULTI_TOUCH_READY) == MULTI_TOUCH_READY) {
        ConfigureGestures();
    } else {
        MessageBoxW(window, LoadText(IDS_NO_MULTI_TOUCH).c_str(), g_app.caption, MB_OK);
    }
}

LRESULT OnCreate(HWND window) {
    g_app.hwnd = window;
    g_view.scale = ScaleOfDpi(WindowDpi(window));
    ReadDesktopFolder(g_settings.saveFolder);
    ComputeSettingsFolder();
    ComputeBackgroundImagePath();
    g_settings.backgroundEnabled = 0;
    ResetBackgroundLayer();
    LoadSettings();
    DragAcceptFiles(window, TRUE);
    StartPenInput(window);
    NewCanvasWithBackground();
    EndStroke();
    RecoverAtStart();
    CheckMultiTouch(window);
    return 0;
}

// The close box, Alt+F4 and the task bar: a modified memo is saved without a question. Only when
// that save fails is the user asked, so that the ink never goes silently with the window.
LRESULT OnClose(HWND window) {
    while (g_document.modified != 0 && SaveCurrentMemo() == 0) {
        const int answer = AskSaveQuestion();
        if (answer == IDCANCEL) {
            return 0;
        }
        if (answer == IDNO) {
            g_document.modified = 0;
        }
    }
    DestroyWindow(window);
    return 0;
}

// Windows ends the process after this message without destroying the window: save as closing
// does, silently. When that fails, the ink goes to the snapshot before the message returns.
LRESULT OnEndSession(WPARAM ending) {
    if (ending != FALSE && g_document.modified != 0 && SaveCurrentMemo() == 0) {
        KeepInkInSnapshot();
    }
    return 0;
}

LRESULT OnDestroy() {
    if (g_document.modified != 0) {
        SaveCurrentMemo();
    }
    StopSnapshots();
    ReleaseView();
    ReleaseCanvas();
    PostQuitMessage(0);
    return 0;
}

// While the middle button drags the view, the pointer moves it and writes nothing.
void OnMouseMove(WPARAM buttons, LPARAM point) {
    if (const std::optional<ViewState> dragged = ViewAfterDragMove(point)) {
        MoveView(*dragged);
    } else {
        OnStrokeMove(buttons, point);
    }
}

void OnViewKey(WPARAM key) {
    if (const std::optional<ViewState> target = ViewAfterKey(key)) {
        MoveView(*target);
    }
}

void OnScrollBar(int bar, WPARAM request) {
    if (const std::optional<ViewState> target = ViewAfterScrollBar(bar, request)) {
        MoveView(*target);
    }
}

LRESULT OnPaint() {
    EndStroke();
    PaintView(PaintForm::PaintCycle);
    return 0;
}

void OnNew() {
    if (!EndStrokeAndAskToSave()) {
        return;
    }
    NewCanvasWithBackground();
}

void OnOpen() {
    if (!EndStrokeAndAskToSave()) {
        return;
    }
    wchar_t path[PATH_BUFFER_CAPACITY];
    if (ChooseImageFile(path) != 1) {
        return;
    }
    OpenImageAsMemo(path, SaveQuestion::None);
}

LRESULT OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case IDM_ABOUT: ShowVersionBox(); return 0;
    case IDM_EXIT:
        g_document.modified = 0;
        DestroyWindow(window);
        return 0;
    case IDM_NEW: OnNew(); return 0;
    case IDM_OPEN: OnOpen(); return 0;
    case IDM_SAVE: SaveMemoOrReport(); return 0;
    case IDM_PRINT: PrintCanvas(); return 0;
    case IDM_PEN: ShowPenDialog(window); return 0;
    case IDM_SETTINGS:
        DialogBoxParamW(g_app.hinstance, MAKEINTRESOURCEW(IDD_SETTINGS), window, SettingsDlgProc,
                        0);
        return 0;
    case IDM_MANUAL: OpenManual(); return 0;
    case IDM_ERASER: ToggleEraser(); return 0;
    case IDM_COPY: CopyMemoToClipboard(); return 0;
    case IDM_PASTE: PasteImageAsMemo(); return 0;
    case IDM_UNDO: UndoStep(); return 0;
    case IDM_REDO: RedoStep(); return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The first file only. Its name is read whole, however long: a name cut to a buffer would name
// another file, and the box for a file that cannot be opened names it.
LRESULT OnDropFiles(HDROP drop) {
    std::wstring path(DragQueryFileW(drop, 0, nullptr, 0) + 1, L'\0');
    path.resize(DragQueryFileW(drop, 0, &path[0], static_cast<UINT>(path.size())));
    DragFinish(drop);
    if (!path.empty()) {
        OpenImageAsMemo(path.c_str(), SaveQuestion::AfterDecoding);
    }
    return 0;
}

LRESULT HandleMainMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_CLOSE: return OnClose(window);
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION: return OnEndSession(wParam);
    case WM_DESTROY: return OnDestroy();
    case WM_PAINT: return OnPaint();
    case WM_TIMER: return OnTimer(wParam);
    case WM_COMMAND: return OnCommand(window, message, wParam, lParam);
    case WM_GESTURE: HandleGesture(reinterpret_cast<HGESTUREINFO>(lParam)); return 0;
    case WM_DPICHANGED:
        ChangeWindowDpi(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_LBUTTONDOWN: OnStrokeStart(lParam); return 0;
    case WM_MOUSEMOVE: OnMouseMove(wParam, lParam); return 0;
    case WM_LBUTTONUP: OnStrokeButtonUp(lParam); return 0;
    case WM_MBUTTONDOWN: StartViewDrag(lParam); return 0;
    case WM_MBUTTONUP: EndViewDrag(); return 0;
    case WM_CAPTURECHANGED: OnViewDragLost(); return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL: MoveView(ViewAfterWheel(message, wParam, lParam)); return 0;
    case WM_KEYDOWN: OnViewKey(wParam); return 0;
    case WM_HSCROLL: OnScrollBar(SB_HORZ, wParam); return 0;
    case WM_VSCROLL: OnScrollBar(SB_VERT, wParam); return 0;
    case WM_RBUTTONUP: ShowPenDialog(window); return 0;
    case WM_DROPFILES: return OnDropFiles(reinterpret_cast<HDROP>(wParam));
    // Pointer messages go on to default handling, which makes the mouse messages that draw.
    case WM_POINTERDOWN: OnPointerDown(wParam); break;
    case WM_POINTERUPDATE: OnPointerUpdate(wParam); break;
    case WM_POINTERUP:
    case WM_POINTERCAPTURECHANGED: OnPointerUp(); break;
    case WM_TABLET_QUERYSYSTEMGESTURESTATUS: return SYSTEM_PEN_FEEDBACK_OFF;
    case WM_NCDESTROY: StopPenInput(window); break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // An exception cannot pass back through the system's code to the message loop. Only memory
    // that runs out throws here: that message's work is dropped and the window goes on, unless it
    // was being created.
    try {
        return HandleMainMessage(window, message, wParam, lParam);
    } catch (const std::exception&) {
        return message == WM_CREATE ? -1 : 0;
    }
}

void RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEW(IDR_MAINMENU);
    windowClass.lpszClassName = g_app.className;
    windowClass.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
    RegisterClassExW(&windowClass);
}

void StartApplication(HINSTANCE instance) {
    RestrictDllSearch();
    // Themed controls load msimg32 by name when they first draw a button; with the system's copy
    // already loaded, a msimg32 planted beside the exe is never looked for.
    LoadSystemLibrary(L"msimg32.dll");
    // The folder browser of the Settings dialog is a COM object on this thread.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    g_app.gdiplusToken = StartImaging();
    LoadStringW(instance, IDS_APP_TITLE, g_app.caption, CAPTION_CAPACITY);
    LoadStringW(instance, IDS_WINDOW_CLASS, g_app.className, CAPTION_CAPACITY);
    LoadStringW(instance, IDS_UNTITLED_TITLE, g_app.untitledTitleFormat, CAPTION_CAPACITY);
    LoadStringW(instance, IDS_NAMED_TITLE, g_app.namedTitleFormat, CAPTION_CAPACITY);
    RegisterMainWindowClass(instance);
    g_app.hinstance = instance;
}

HWND CreateMainWindow() {
    // The scroll bars stay when the whole canvas shows, disabled, so the client keeps its size.
    return CreateWindowExW(0, g_app.className, g_app.caption,
                           WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL, CW_USEDEFAULT, 0,
                           CW_USEDEFAULT, 0, nullptr, nullptr, g_app.hinstance, nullptr);
}

void OpenCommandLineImage(const wchar_t* commandLine) {
    std::wstring path = CommandLinePath(commandLine);
    // Nothing, or a pair of quotes around nothing, names no file.
    if (path.empty()) {
        return;
    }
    // A name typed relative to the current folder becomes a full path, which the memo needs.
    const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length != 0) {
        std::wstring full(length, L'\0');
        if (GetFullPathNameW(path.c_str(), length, &full[0], nullptr) < length) {
            path = full.c_str();
        }
    }
    OpenImageAsMemo(path.c_str(), SaveQuestion::None);
}

int RunMessageLoop() {
    HACCEL accelerators = LoadAcceleratorsW(g_app.hinstance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorW(message.hwnd, accelerators, &message) == 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

void StopApplication() {
    StopImaging(g_app.gdiplusToken);
    CoUninitialize();
}

void OpenManual() {
    std::wstring path = ExecutablePath();
    if (path.size() < 3) {
        return;
    }
    path.replace(path.size() - 3, 3, L"htm");
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.hwnd = g_app.hwnd;
    info.lpVerb = L"open";
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExW(&info);
}
