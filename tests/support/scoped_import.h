// Swapping a platform call for a test's own: the wine tests link the program's code statically,
// so every call it makes goes through this executable's import table, where it can be redirected.
#pragma once

// Points this executable's import of `function` from `dll` at `replacement`; returns what it
// pointed at before, or null when there is no such import.
void* ReplaceImport(const char* dll, const char* function, void* replacement);

// Swaps one import of this executable for the lifetime of the holder.
struct ScopedImport {
    ScopedImport(const char* dll, const char* function, void* replacement)
        : dll_(dll), function_(function), previous_(ReplaceImport(dll, function, replacement)) {}
    ScopedImport(const ScopedImport&) = delete;
    ScopedImport& operator=(const ScopedImport&) = delete;
    ~ScopedImport() {
        if (previous_ != nullptr) {
            ReplaceImport(dll_, function_, previous_);
        }
    }
    const char* dll_;
    const char* function_;
    void* previous_;
};
