// Resource identifiers, shared by the resource script and the code.
#pragma once

#define IDS_APP_TITLE 100
#define IDS_WINDOW_CLASS 109
// The Save command could not write the memo; the file's path follows on the next line.
#define IDS_SAVE_FAILED 140
// The window title's two forms: untitled (the caption follows), named (the name, the caption).
#define IDS_UNTITLED_TITLE 141
#define IDS_NAMED_TITLE 142
#define IDS_NO_MULTI_TOUCH 143
#define IDS_SAVE_QUESTION 144
// The eraser's menu item names the pen it switches to.
#define IDS_ERASER 145
#define IDS_ORIGINAL_PEN 146
// The open dialog's filter, its parts separated by '|' where the dialog wants a NUL.
#define IDS_OPEN_FILTER 147
#define IDS_OPEN_TITLE 148
#define IDS_CHOOSE_FOLDER 149
#define IDS_VERSION_BOX 150
// An image to open (Open, a drop, the command line) could not be opened; its path follows.
#define IDS_OPEN_FAILED 151

#define IDD_PEN 102
#define IDD_SETTINGS 103
#define IDM_ABOUT 104
#define IDM_EXIT 105
#define IDI_APP 107
#define IDR_MAINMENU 109
// The keyboard shortcuts, which the message loop loads.
#define IDR_ACCELERATORS 109
#define IDM_NEW 110
#define IDM_OPEN 111
#define IDM_SAVE 112
#define IDM_PRINT 113
#define IDM_PEN 114
#define IDM_SETTINGS 115
#define IDM_MANUAL 116
#define IDM_ERASER 117
// Commands that only keys send: no menu item carries them.
#define IDM_UNDO 130
#define IDM_REDO 131
#define IDM_COPY 132
#define IDM_PASTE 133

#define IDC_SAVE_FOLDER 120
#define IDC_BACKGROUND 121
#define IDC_BROWSE 122
#define IDC_LOAD_BACKGROUND 123
#define IDC_CHANGE_PEN 124

#define IDB_PALETTE 2000
