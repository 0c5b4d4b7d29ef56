// Opening images onto the layers, choosing them, saving the memo, and the save question.
#pragma once

#include <windows.h>

#include "canvas/canvas.h"
#include "records/basics.h"
#include "records/scoped_gdi.h"

// A file's image drawn as a layer, not yet in its place (ReplaceLayer), so that a file that
// cannot be opened changes nothing; null for such a file. An ink file that cannot become the memo
// (no folder, a folder too long to hold) is refused undrawn.
ScopedGdiObject<HBITMAP> MakeFilePicture(const wchar_t* path, Layer layer);
// MakeFilePicture put in the layer's place: 1 on success, the layer new with a fresh history; else
// 0, the layer and its history as they were. The document is left alone: the caller adopts a
// loaded ink file as the memo.
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
// says so and names the file (ReportFileFailure). 1 when it was written.
int SaveMemoOrReport();
// The box that says what could not be done with a file (a text of the string table) and names it
// on the next line.
void ReportFileFailure(UINT text, const wchar_t* path);
// The save question: IDYES, IDNO or IDCANCEL, nothing saved.
int AskSaveQuestion();
// IDYES, IDNO or IDCANCEL; IDYES also when nothing had to be asked. IDCANCEL as well when the
// user chose to save and the save failed, after the box that says so, so that the caller keeps
// the ink.
int ConfirmSaveChanges();
