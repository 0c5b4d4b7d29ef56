// POINTER_PEN_INFO is declared for Windows 8 builds only; the functions that fill it are looked
// up at run time, so the program itself still needs no more than Windows 7.
#undef WINVER
#define WINVER 0x0602
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0602

#include "pen/pen_input.h"

#include "records/user32_entry.h"

GetPointerTypeFunction g_getPointerType;
GetPointerPenInfoFunction g_getPointerPenInfo;

void StartPenInput(HWND window) {
    g_getPointerType = User32Entry<GetPointerTypeFunction>("GetPointerType");
    g_getPointerPenInfo = User32Entry<GetPointerPenInfoFunction>("GetPointerPenInfo");
    SetPropW(window, PEN_SERVICE_PROPERTY,
             reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(SYSTEM_PEN_FEEDBACK_OFF)));
}

void StopPenInput(HWND window) {
    RemovePropW(window, PEN_SERVICE_PROPERTY);
}

bool IsEraserEndTouching(UINT32 pointerId) {
    if (g_getPointerType == nullptr || g_getPointerPenInfo == nullptr) {
        return false;
    }
    POINTER_INPUT_TYPE type = PT_POINTER;
    if (!g_getPointerType(pointerId, &type) || type != PT_PEN) {
        return false;
    }
    // The pen turned over, or its eraser button held; the barrel button is no eraser.
    POINTER_PEN_INFO info = {};
    return g_getPointerPenInfo(pointerId, &info) &&
           (info.penFlags & (PEN_FLAG_INVERTED | PEN_FLAG_ERASER)) != 0;
}
