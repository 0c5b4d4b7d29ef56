// The names that untitled memos get from the clock. Platform-free.
#pragma once

#include <cstddef>
#include <functional>

struct ClockTime {
    int month;
    int day;
    int hour;
    int minute;
    int second;
};

// Room for the longest clock name with its number and extension, "12月31日23時59分59_9999.png".
constexpr std::size_t CLOCK_NAME_CAPACITY = 32;
// How far the numbering goes before a save gives up finding a free name.
constexpr int LAST_NAME_NUMBER = 9999;

// "MM月DD日HH時MM分SS": month, day, hour, minute and second, two digits each, no year.
void FormatClockName(const ClockTime& time, wchar_t* text, std::size_t capacity);

// The first of "<base>.png", "<base>_2.png", "<base>_3.png", ... that `exists` says is free,
// so that a save never replaces a memo saved at the same date and second in another year.
// False when every number up to LAST_NAME_NUMBER is taken or the name does not fit.
bool ChooseFreeName(const wchar_t* base, const std::function<bool(const wchar_t*)>& exists,
                    wchar_t* name, std::size_t capacity);
