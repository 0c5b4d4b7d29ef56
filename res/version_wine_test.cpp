// The shipped inkwisp.exe read back: its version resource the way Explorer's Properties show it,
// and its manifest as Windows takes it at start.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring ProgramPath() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    folder.erase(folder.find_last_of(L'\\'));
    return folder.substr(0, folder.find_last_of(L'\\')) + L"\\Inkwisp\\inkwisp.exe";
}

} // namespace

// The header, the imports and the manifest's text are read from the file by tests/shipped_exe.py.
TEST(ExeManifest, WindowsMakesAnActivationContextOfIt) {
    // Windows reads it into an activation context when the program starts; so does this.
    const std::wstring exe = ProgramPath();
    ACTCTXW context = {};
    context.cbSize = sizeof(context);
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = exe.c_str();
    context.lpResourceName = MAKEINTRESOURCEW(1);
    HANDLE activation = CreateActCtxW(&context);
    EXPECT_NE(activation, INVALID_HANDLE_VALUE) << GetLastError();
    if (activation != INVALID_HANDLE_VALUE) {
        ReleaseActCtx(activation);
    }
}

TEST(VersionResource, NamesTheProgramAndItsVersionInJapaneseAndEnglish) {
    const std::wstring exe = ProgramPath();
    const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), nullptr);
    ASSERT_GT(size, 0u) << "no version resource in inkwisp.exe";
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, &block[0]));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(&block[0], L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(1, 2));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(1, 2));
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);

    const struct {
        const wchar_t* name;
        const wchar_t* text;
    } expected[] = {{L"ProductName", L"Inkwisp"},
                    {L"FileVersion", L"2.01"},
                    {L"ProductVersion", L"2.01"},
                    {L"OriginalFilename", L"inkwisp.exe"},
                    {L"CompanyName", L"The Inkwisp developers"},
                    {L"LegalCopyright", L"Copyright (C) 2026 The Inkwisp developers"}};
    for (const wchar_t* language : {L"041104B0", L"040904B0"}) {
        for (const auto& entry : expected) {
            const std::wstring key =
                std::wstring(L"\\StringFileInfo\\") + language + L"\\" + entry.name;
            wchar_t* text = nullptr;
            ASSERT_TRUE(
                VerQueryValueW(&block[0], key.c_str(), reinterpret_cast<void**>(&text), &length))
                << key.c_str();
            EXPECT_STREQ(text, entry.text) << key.c_str();
        }
    }
}
