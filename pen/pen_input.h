// The pen as Windows 8 and later report it: which end touches, and the pen service's feedback.
#pragma once

#include <windows.h>

#include <tpcshrd.h>

// The pointer messages of Windows 8, which the SDK declares only for programs that need it.
#ifndef WM_POINTERUPDATE
#define WM_POINTERUPDATE 0x0245
#define WM_POINTERDOWN 0x0246
#define WM_POINTERUP 0x0247
#define WM_POINTERCAPTURECHANGED 0x024C
#endif

// Press-and-hold (its ring and right-click), pen-tap and barrel-button feedback and flicks are
// off over the main window; two-finger gestures are not the pen service's and stay as they are.
constexpr DWORD SYSTEM_PEN_FEEDBACK_OFF = TABLET_DISABLE_PRESSANDHOLD |
                                          TABLET_DISABLE_PENTAPFEEDBACK |
                                          TABLET_DISABLE_PENBARRELFEEDBACK | TABLET_DISABLE_FLICKS;
// The window property through which the pen service asks a window for that.
constexpr wchar_t PEN_SERVICE_PROPERTY[] = L"MicrosoftTabletPenServiceProperty";

struct tagPOINTER_PEN_INFO;
using GetPointerTypeFunction = BOOL(WINAPI*)(UINT32 pointerId, DWORD* pointerType);
using GetPointerPenInfoFunction = BOOL(WINAPI*)(UINT32 pointerId, tagPOINTER_PEN_INFO* penInfo);

// Looked up when the window is created, never imported, so that Windows 7 still starts. Null on
// Windows 7, and GetPointerPenInfo under Wine: a pen then draws as the mouse does.
extern GetPointerTypeFunction g_getPointerType;
extern GetPointerPenInfoFunction g_getPointerPenInfo;

// At the window's creation: looks the pointer functions up and turns the pen feedback off.
void StartPenInput(HWND window);
// Before the window is gone: removes the property again.
void StopPenInput(HWND window);

// Whether the pointer is a pen touching with its eraser end; false wherever that cannot be known.
bool IsEraserEndTouching(UINT32 pointerId);
