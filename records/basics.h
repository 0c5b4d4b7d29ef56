// The sizes and the small helpers that every room uses. Platform-free.
#pragma once

#include <cstddef>

// The side in pixels of every canvas bitmap.
constexpr int CANVAS_SIZE = 2048;

// The application title and the window class name, from the string table.
constexpr std::size_t CAPTION_CAPACITY = 100;
// A path from a file dialog or a drop (MAX_PATH).
constexpr std::size_t PATH_BUFFER_CAPACITY = 260;
// The longest path Windows can name.
constexpr std::size_t LONGEST_PATH = 32768;

// Truncates toward zero into the int range; NaN gives 0, so no conversion is ever undefined.
int TruncToInt(double value);

// Copies `source` into `target` of `capacity` characters, cutting what does not fit.
void CopyText(wchar_t* target, std::size_t capacity, const wchar_t* source);
