#include "memo/memo_files.h"

int LoadImageIntoLayer(const wchar_t*, int) { return 0; }

int ChooseImageFile(wchar_t* buffer) {
    buffer[0] = L'\0';
    return 0;
}

void SaveCompositePng() {}

void SaveCurrentMemo() {}

int ConfirmSaveChanges() { return IDYES; }
