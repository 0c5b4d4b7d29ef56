#include "pen/eraser.h"

#include <windows.h>

#include "pen/pen_state.h"
#include "records/app_window.h"
#include "res/resource.h"

void UpdateEraserMenuItem() {
    RememberPen(g_pen);
    const wchar_t* text = IsEraser(g_pen) ? L"元のペン(&E)" : L"消しゴム(&E)";
    ModifyMenuW(GetMenu(g_app.hwnd), IDM_ERASER, MF_BYCOMMAND | MF_STRING, IDM_ERASER, text);
    DrawMenuBar(g_app.hwnd);
}

void ToggleEraser() {
    SwitchEraser(g_pen);
    UpdateEraserMenuItem();
}
