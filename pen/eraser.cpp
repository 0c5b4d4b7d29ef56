#include "pen/eraser.h"

#include <windows.h>

#include <string>

#include "pen/pen_state.h"
#include "records/app_window.h"
#include "res/resource.h"

void UpdateEraserMenuItem() {
    RememberPen(g_pen);
    const std::wstring text = LoadText(IsEraser(g_pen) ? IDS_ORIGINAL_PEN : IDS_ERASER);
    ModifyMenuW(GetMenu(g_app.hwnd), IDM_ERASER, MF_BYCOMMAND | MF_STRING, IDM_ERASER,
                text.c_str());
    DrawMenuBar(g_app.hwnd);
}

void ToggleEraser() {
    SwitchEraser(g_pen);
    UpdateEraserMenuItem();
}
