// Drives every dialog a wine test meets. DialogBoxParamW and its kin block, so a test either
// queues steps that run from a timer inside the dialog's own message loop once it is shown
// (clicking, reading pixels, opening nested dialogs), or keeps a standing answer that is given
// to each matching dialog as it activates (message boxes, the common dialogs).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

using DialogMatch = std::function<bool(HWND)>;
using DialogStep = std::function<void(HWND)>;

DialogMatch WithCaption(const std::wstring& caption);
DialogMatch OwnedBy(HWND owner);
// The program's message boxes carry its caption; its dialogs ("Pen", "Settings") do not.
DialogMatch IsMessageBox();
DialogMatch Not(DialogMatch match);

// Queues a step for the next shown dialog that matches; steps run in the order queued. A step
// may open a nested dialog, whose steps then run inside that one's loop.
void WhenDialogShows(DialogMatch match, DialogStep step);
// Runs `open` (which shows the dialogs) with the queued steps; a dialog still open after the
// steps have had their time is cancelled and the test fails, so that no test waits forever.
void RunDialogs(const std::function<void()>& open);

// A standing answer: from now on, every dialog of this thread that matches is handed to `answer`
// as it activates, after the answers added before it. It runs before the dialog's loop does, so
// it only reads, sets texts and posts its input. Returns an id to remove it by.
int AddDialogAnswer(DialogMatch match, DialogStep answer);
void RemoveDialogAnswer(int id);

// A standing answer for the lifetime of the holder.
struct DialogAnswer {
    DialogAnswer(DialogMatch match, DialogStep answer)
        : id_(AddDialogAnswer(std::move(match), std::move(answer))) {}
    DialogAnswer(const DialogAnswer&) = delete;
    DialogAnswer& operator=(const DialogAnswer&) = delete;
    ~DialogAnswer() { RemoveDialogAnswer(id_); }
    int id_;
};

// A click of the left button released at a client point of a window.
void ClickAt(HWND window, int x, int y);
COLORREF ReadWindowPixel(HWND window, int x, int y);
// How many pixels right of (x, y) show `color` without a break: how far a stroke's edge reaches.
int CountColorToTheRight(HWND window, int x, int y, COLORREF color);
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
// The frame every dialog of the program shares: an extended, fixed, modal template at the
// origin, 288 by 224 units, in 9-point MS UI Gothic with the Japanese character set.
void ExpectProgramDialogFrame(const DialogTemplate& dialog, const std::wstring& caption);
