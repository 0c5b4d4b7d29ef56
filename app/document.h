#pragma once

// Starts a blank, untitled memo: both layers white, the save folder as the memo's folder.
void NewCanvas();
// Adopts a file just loaded onto the ink layer as the memo.
void SetCurrentFile(const wchar_t* path);
void UpdateWindowTitle();
