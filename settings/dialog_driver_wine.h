// Drives the program's modal dialogs from a wine test: DialogBoxParamW blocks, so the steps run
// from a timer inside the dialog's own message loop, once the dialog they wait for is shown.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

using DialogMatch = std::function<bool(HWND)>;
using DialogStep = std::function<void(HWND)>;

DialogMatch WithCaption(const std::wstring& caption);
DialogMatch OwnedBy(HWND owner);

// Queues a step for the next shown dialog that matches; steps run in the order queued. A step
// may open a nested dialog, whose steps then run inside that one's loop.
void WhenDialogShows(DialogMatch match, DialogStep step);
// Runs `open` (which shows the dialogs) with the queued steps; a dialog still open after the
// steps have had their time is cancelled and the test fails, so that no test waits forever.
void RunDialogs(const std::function<void()>& open);

// A click of the left button released at a client point of a window.
void ClickAt(HWND window, int x, int y);
COLORREF ReadWindowPixel(HWND window, int x, int y);
SIZE ClientSize(HWND window);

// An extended dialog template as compiled into the program's Japanese resources.
struct DialogItemTemplate {
    DWORD style;
    short x, y, cx, cy;
    int id;
    WORD classAtom; // 0x80 button, 0x81 edit, 0x82 static, also when given by name
    std::wstring text;
};
struct DialogTemplate {
    bool found;
    WORD version, signature;
    DWORD exStyle, style;
    short x, y, cx, cy;
    WORD menu, windowClass;
    std::wstring caption;
    WORD points, weight;
    BYTE italic, charset;
    std::wstring font;
    std::vector<DialogItemTemplate> items;
};
DialogTemplate ReadDialogTemplate(HINSTANCE instance, int id);
