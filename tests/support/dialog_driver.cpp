#include "dialog_driver.h"

#include <gtest/gtest.h>

#include "records/app_window.h"

#include <cstring>
#include <cwchar>
#include <deque>
#include <vector>

namespace {

struct PendingStep {
    DialogMatch match;
    DialogStep step;
};

struct StandingAnswer {
    int id;
    DialogMatch match;
    DialogStep answer;
};

constexpr UINT POLL_MS = 20;
constexpr UINT WATCHDOG_MS = 20000;

std::deque<PendingStep> g_steps;
bool g_timedOut;
HHOOK g_hook;
std::vector<StandingAnswer> g_answers;
int g_lastAnswerId;

bool IsDialog(HWND window) {
    wchar_t className[16];
    GetClassNameW(window, className, 16);
    return std::wcscmp(className, L"#32770") == 0;
}

LRESULT CALLBACK AnswerActivatedDialog(int code, WPARAM wParam, LPARAM lParam) {
    HWND dialog = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && IsDialog(dialog)) {
        const std::vector<StandingAnswer> answers = g_answers;
        for (const StandingAnswer& standing : answers) {
            if (standing.match(dialog)) {
                standing.answer(dialog);
            }
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

BOOL CALLBACK CollectShownDialog(HWND window, LPARAM found) {
    if (IsDialog(window) && IsWindowVisible(window)) {
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    }
    return TRUE;
}

std::vector<HWND> ShownDialogs() {
    std::vector<HWND> dialogs;
    EnumThreadWindows(GetCurrentThreadId(), CollectShownDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

void CALLBACK PollDialogs(HWND, UINT, UINT_PTR, DWORD) {
    if (g_steps.empty()) {
        return;
    }
    for (HWND dialog : ShownDialogs()) {
        if (g_steps.front().match(dialog)) {
            const DialogStep step = g_steps.front().step;
            g_steps.pop_front();
            UpdateWindow(dialog);
            step(dialog);
            return;
        }
    }
}

void CALLBACK CancelDialogs(HWND, UINT, UINT_PTR, DWORD) {
    g_timedOut = true;
    g_steps.clear();
    for (HWND dialog : ShownDialogs()) {
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

struct TemplateReader {
    const BYTE* at;

    template <typename T> T Take() {
        T value;
        std::memcpy(&value, at, sizeof value);
        at += sizeof value;
        return value;
    }
    std::wstring Text() {
        std::wstring text;
        for (WORD unit = Take<WORD>(); unit != 0; unit = Take<WORD>()) {
            text.push_back(static_cast<wchar_t>(unit));
        }
        return text;
    }
    // A class given by atom (FFFF then the atom) or by name; a system control's name gives its
    // atom, as the dialog manager treats both alike.
    WORD Ordinal() {
        if (Take<WORD>() == 0xFFFF) {
            return Take<WORD>();
        }
        at -= 2;
        const std::wstring name = Text();
        const wchar_t* names[] = {L"Button", L"Edit", L"Static"};
        for (WORD atom = 0; atom < 3; ++atom) {
            if (_wcsicmp(name.c_str(), names[atom]) == 0) {
                return 0x80 + atom;
            }
        }
        return 0;
    }
    void AlignToDword(const BYTE* start) {
        while ((at - start) % 4 != 0) {
            ++at;
        }
    }
};

} // namespace

DialogMatch WithCaption(const std::wstring& caption) {
    return [caption](HWND dialog) {
        wchar_t text[100] = L"";
        GetWindowTextW(dialog, text, 100);
        return caption == text;
    };
}

DialogMatch OwnedBy(HWND owner) {
    return [owner](HWND dialog) { return GetWindow(dialog, GW_OWNER) == owner; };
}

DialogMatch IsMessageBox() {
    return [](HWND dialog) { return WithCaption(g_app.caption)(dialog); };
}

DialogMatch Not(DialogMatch match) {
    return [match](HWND dialog) { return !match(dialog); };
}

int AddDialogAnswer(DialogMatch match, DialogStep answer) {
    if (g_hook == nullptr) {
        g_hook = SetWindowsHookExW(WH_CBT, AnswerActivatedDialog, nullptr, GetCurrentThreadId());
    }
    g_answers.push_back({++g_lastAnswerId, std::move(match), std::move(answer)});
    return g_lastAnswerId;
}

void RemoveDialogAnswer(int id) {
    for (auto standing = g_answers.begin(); standing != g_answers.end(); ++standing) {
        if (standing->id == id) {
            g_answers.erase(standing);
            return;
        }
    }
}

void WhenDialogShows(DialogMatch match, DialogStep step) {
    g_steps.push_back({std::move(match), std::move(step)});
}

void RunDialogs(const std::function<void()>& open) {
    g_timedOut = false;
    const UINT_PTR poll = SetTimer(nullptr, 0, POLL_MS, PollDialogs);
    const UINT_PTR watchdog = SetTimer(nullptr, 0, WATCHDOG_MS, CancelDialogs);
    open();
    KillTimer(nullptr, poll);
    KillTimer(nullptr, watchdog);
    EXPECT_FALSE(g_timedOut) << "a dialog was still open and had to be cancelled";
    EXPECT_TRUE(g_steps.empty()) << g_steps.size() << " steps found no dialog";
    g_steps.clear();
}

void ClickAt(HWND window, int x, int y) {
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

COLORREF ReadWindowPixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

int CountColorToTheRight(HWND window, int x, int y, COLORREF color) {
    int count = 0;
    while (ReadWindowPixel(window, x + count + 1, y) == color) {
        ++count;
    }
    return count;
}

SIZE ClientSize(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

DialogTemplate ReadDialogTemplate(HINSTANCE instance, int id) {
    DialogTemplate dialog = {};
    HRSRC resource = FindResourceExW(instance, RT_DIALOG, MAKEINTRESOURCEW(id),
                                     MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    if (resource == nullptr) {
        return dialog;
    }
    const BYTE* start = static_cast<const BYTE*>(LockResource(LoadResource(instance, resource)));
    TemplateReader read = {start};
    dialog.found = true;
    dialog.version = read.Take<WORD>();
    dialog.signature = read.Take<WORD>();
    read.Take<DWORD>(); // help id
    dialog.exStyle = read.Take<DWORD>();
    dialog.style = read.Take<DWORD>();
    const WORD count = read.Take<WORD>();
    dialog.x = read.Take<short>();
    dialog.y = read.Take<short>();
    dialog.cx = read.Take<short>();
    dialog.cy = read.Take<short>();
    dialog.menu = read.Ordinal();
    dialog.windowClass = read.Ordinal();
    dialog.caption = read.Text();
    dialog.points = read.Take<WORD>();
    dialog.weight = read.Take<WORD>();
    dialog.italic = read.Take<BYTE>();
    dialog.charset = read.Take<BYTE>();
    dialog.font = read.Text();
    for (WORD i = 0; i < count; ++i) {
        read.AlignToDword(start);
        DialogItemTemplate item;
        read.Take<DWORD>(); // help id
        read.Take<DWORD>(); // extended style
        item.style = read.Take<DWORD>();
        item.x = read.Take<short>();
        item.y = read.Take<short>();
        item.cx = read.Take<short>();
        item.cy = read.Take<short>();
        item.id = read.Take<int>();
        item.classAtom = read.Ordinal();
        item.text = read.Text();
        read.at += read.Take<WORD>(); // creation data
        dialog.items.push_back(item);
    }
    return dialog;
}

void ExpectProgramDialogFrame(const DialogTemplate& dialog, const std::wstring& caption) {
    EXPECT_EQ(dialog.signature, 0xFFFF); // extended
    EXPECT_EQ(dialog.exStyle, 0u);
    EXPECT_EQ(dialog.style, 0x80C800C8u);
    EXPECT_EQ(dialog.x, 0);
    EXPECT_EQ(dialog.y, 0);
    EXPECT_EQ(dialog.cx, 288);
    EXPECT_EQ(dialog.cy, 224);
    EXPECT_EQ(dialog.caption, caption);
    EXPECT_EQ(dialog.points, 9);
    EXPECT_EQ(dialog.weight, 0);
    EXPECT_EQ(dialog.italic, 0);
    EXPECT_EQ(dialog.charset, 1);
    EXPECT_EQ(dialog.font, L"MS UI Gothic");
}
