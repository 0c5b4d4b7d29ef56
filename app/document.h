// The memo as a whole: a blank one, or an opened or pasted image adopted as the memo.
#pragma once

// Starts a blank, untitled memo: both layers white, the save folder as the memo's folder.
void NewCanvas();
// NewCanvas, then the stored background when it is switched on.
void NewCanvasWithBackground();
// Adopts a file just loaded onto the ink layer as the memo: its folder, its name with the
// extension png. False, changing nothing, for a path that cannot name a memo (SplitMemoPath).
bool SetCurrentFile(const wchar_t* path);
// Opens an image as the memo, the image alone on the ink layer, and returns 1; a file that cannot
// be opened starts a blank memo instead, and gives 0.
int OpenImageAsMemo(const wchar_t* path);
// Before a command replaces the memo (New, Open, a drop, a paste): ends the stroke in progress, so
// that its moves do not go on over the new memo, and asks the save question, saving on Yes. False
// when the memo must stay: the user cancelled, or chose to save and the save failed.
bool EndStrokeAndAskToSave();
// Opens the clipboard's picture as Open opens a file, after the save question, as an untitled,
// modified memo in the save folder, and returns 1. The picture is decoded and drawn first:
// without one that can be opened nothing happens, nor is anything asked, and it gives 0.
int PasteImageAsMemo();
