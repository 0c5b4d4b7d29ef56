#include "memo/memo_naming.h"

#include <cwchar>

void FormatClockName(const ClockTime& time, wchar_t* text, std::size_t capacity) {
    std::swprintf(text, capacity, L"%02d月%02d日%02d時%02d分%02d", time.month, time.day, time.hour,
                  time.minute, time.second);
}

bool ChooseFreeName(const wchar_t* base, const std::function<bool(const wchar_t*)>& exists,
                    wchar_t* name, std::size_t capacity) {
    for (int number = 1; number <= LAST_NAME_NUMBER; ++number) {
        const int written = number == 1
                                ? std::swprintf(name, capacity, L"%ls.png", base)
                                : std::swprintf(name, capacity, L"%ls_%d.png", base, number);
        if (written < 0) {
            name[0] = L'\0';
            return false;
        }
        if (!exists(name)) {
            return true;
        }
    }
    name[0] = L'\0';
    return false;
}
