// The image path on the program's command line. Platform-free.
#pragma once

#include <string>

// The command line as a path: the whole text, never split at blanks, with one enclosing pair of
// quotation marks removed (the shell quotes a path with blanks: "Open with", a file dropped on
// the program's icon). A relative path stays relative; the caller resolves it.
std::wstring CommandLinePath(const wchar_t* commandLine);
