#pragma once

#include <windows.h>

constexpr int PATH_BUFFER_CAPACITY = MAX_PATH;

// layer 0 is the ink layer, any other value the background layer. 1 on success, else 0.
int LoadImageIntoLayer(const wchar_t* path, int layer);
// The open-file dialog into a buffer of PATH_BUFFER_CAPACITY characters; 1 when a file was chosen.
int ChooseImageFile(wchar_t* buffer);
void SaveCompositePng();
void SaveCurrentMemo();
// IDYES, IDNO or IDCANCEL; IDYES also when nothing had to be asked.
int ConfirmSaveChanges();
