#pragma once

// Starts a blank, untitled memo: both layers white, the save folder as the memo's folder.
void NewCanvas();
// Adopts a file just loaded onto the ink layer as the memo: its folder, its name with the
// extension png. False, changing nothing, for a path that cannot name a memo (SplitMemoPath).
bool SetCurrentFile(const wchar_t* path);
void UpdateWindowTitle();
