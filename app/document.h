// The memo as a whole: a blank one, or an opened or pasted image adopted as the memo.
#pragma once

// Starts a blank, untitled memo: both layers white, the save folder as the memo's folder.
void NewCanvas();
// NewCanvas, then the stored background when it is switched on.
void NewCanvasWithBackground();
// Adopts a file just loaded onto the ink layer as the memo: its folder, its name with the
// extension png. False, changing nothing, for a path that cannot name a memo (SplitMemoPath).
bool SetCurrentFile(const wchar_t* path);
// When the question about unsaved changes comes for a picture opened as the memo: never (Open asks
// before its dialog; at start-up nothing is unsaved), or once it is known to open, so that
// nothing is asked for a picture that cannot be (a drop, a paste).
enum class SaveQuestion { None, AfterDecoding };
// Opens an image as the memo, the image alone on the ink layer, and returns 1. A file that cannot
// be opened changes nothing (the memo, its name, its history, its recovery copy and the
// background stay): a box says so and names it, and it gives 0, as a cancelled question does.
int OpenImageAsMemo(const wchar_t* path, SaveQuestion question);
// Before a command replaces the memo (New, Open, a drop, a paste): ends the stroke in progress, so
// that its moves do not go on over the new memo, and asks the save question, saving on Yes. False
// when the memo must stay: the user cancelled, or chose to save and the save failed.
bool EndStrokeAndAskToSave();
// Opens the clipboard's picture as Open opens a file, after the save question, as an untitled,
// modified memo in the save folder, and returns 1. The picture is decoded and drawn first:
// without one that can be opened nothing happens, nor is anything asked, and it gives 0.
int PasteImageAsMemo();
