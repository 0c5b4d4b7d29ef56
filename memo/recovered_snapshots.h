// The recovery snapshots given back at start: what instances that died left in the settings
// folder becomes memos again. This instance's own snapshot is memo/snapshot.h's.
#pragma once

#include <string>

// Every snapshot whose owner no longer runs becomes a clock-named memo in the memo's folder, or
// the save folder when that fails, never over an existing file; the snapshot goes once the memo
// is written. The path of the newest memo given back, or empty.
std::wstring RecoverSnapshots();
