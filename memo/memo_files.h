// Opening images onto the layers, choosing them, saving the memo, and the save question.
#pragma once

#include <windows.h>

#include "canvas/canvas.h"
#include "records/basics.h"

// 1 on success, the layer new with a fresh history; else 0, the layer and its history as they
// were. An ink file that cannot become the memo (no folder, a folder too long to hold) is refused
// undrawn. The document is left alone: the caller adopts a loaded ink file as the memo.
int LoadImageIntoLayer(const wchar_t* path, Layer layer);
// The open-file dialog into a buffer of PATH_BUFFER_CAPACITY characters; 1 when a file was chosen.
int ChooseImageFile(wchar_t* buffer);
// Puts the composite in place of the memo's file (ReplaceFileDurably). 1 when it was written,
// which alone clears `modified`.
int SaveCompositePng();
// Names an untitled memo from the clock, saves and retitles. 1 when the file was written; a memo
// that could not be saved stays untitled.
int SaveCurrentMemo();
// The Save command: SaveCurrentMemo, and when the memo could not be written, one message box that
// says so and names the file. 1 when it was written.
int SaveMemoOrReport();
// The save question: IDYES, IDNO or IDCANCEL, nothing saved.
int AskSaveQuestion();
// IDYES, IDNO or IDCANCEL; IDYES also when nothing had to be asked. IDCANCEL as well when the
// user chose to save and the save failed, after the box that says so, so that the caller keeps
// the ink.
int ConfirmSaveChanges();
