#include "records/document_state.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The title's two forms as the string table holds them.
constexpr wchar_t UNTITLED_FORMAT[] = L"無題 -%ls";
constexpr wchar_t NAMED_FORMAT[] = L"%ls -%ls";

std::wstring Title(const wchar_t* name, const wchar_t* caption) {
    wchar_t title[TITLE_CAPACITY];
    FormatWindowTitle(UNTITLED_FORMAT, NAMED_FORMAT, name, caption, title, TITLE_CAPACITY);
    return title;
}

TEST(WindowTitle, HasAnUntitledAndANamedForm) {
    EXPECT_EQ(Title(L"", L"Inkwisp"), L"無題 -Inkwisp");
    EXPECT_EQ(Title(L"03月03日07時05分09.png", L"Inkwisp"), L"03月03日07時05分09.png -Inkwisp");
    // Percent signs in a name are text, not formats.
    EXPECT_EQ(Title(L"100%s.png", L"Inkwisp"), L"100%s.png -Inkwisp");
}

TEST(WindowTitle, IsCutToItsBufferAndAlwaysTerminated) {
    wchar_t title[8];
    FormatWindowTitle(UNTITLED_FORMAT, NAMED_FORMAT, L"a-long-name.png", L"Inkwisp", title, 8);
    EXPECT_LT(std::wstring(title).size(), 8u);
}

TEST(CopyText, CutsWhatDoesNotFit) {
    wchar_t target[4];
    CopyText(target, 4, L"abcdef");
    EXPECT_EQ(std::wstring(target), L"abc");
    CopyText(target, 4, L"ab");
    EXPECT_EQ(std::wstring(target), L"ab");
}

struct SplitCase {
    const wchar_t* path;
    const wchar_t* folder;
    const wchar_t* name;
};

TEST(SplitMemoPath, GivesTheFilesFolderAndItsNameAsPng) {
    const SplitCase cases[] = {
        {L"D:\\memos\\note.jpg", L"D:\\memos", L"note.png"},
        {L"D:\\memos\\scan.", L"D:\\memos", L"scan.png"},
        {L"C:\\photos\\photo.jpeg", L"C:\\photos", L"photo.png"},
        {L"C:\\a.PNG", L"C:", L"a.png"},
        {L"C:\\x\\archive.tar.gz", L"C:\\x", L"archive.tar.png"},
        {L"\\\\server\\share\\メモ.bmp", L"\\\\server\\share", L"メモ.png"},
        // A full stop in a folder name is no extension: the memo stays in the file's folder.
        {L"D:\\old.memos\\scan", L"D:\\old.memos", L"scan.png"},
        {L"D:\\memos\\README", L"D:\\memos", L"README.png"},
    };
    for (const SplitCase& c : cases) {
        wchar_t folder[FOLDER_CAPACITY];
        wchar_t name[NAME_CAPACITY];
        ASSERT_TRUE(SplitMemoPath(c.path, folder, name)) << testing::PrintToString(c.path);
        EXPECT_EQ(std::wstring(folder), c.folder);
        EXPECT_EQ(std::wstring(name), c.name);
    }
}

TEST(SplitMemoPath, RefusesPathsThatNameNoMemoAndWritesNothing) {
    const std::wstring longFolder = L"C:\\" + std::wstring(FOLDER_CAPACITY - 3, L'f');
    const std::wstring longName(NAME_CAPACITY - 4, L'n');
    const std::wstring refused[] = {
        L"note.png",                  // no folder
        L"C:note.png",                // relative to a drive's current folder
        L"",                          // nothing at all
        L"D:\\memos\\",               // a folder, no file
        longFolder + L"\\a.png",      // folder of FOLDER_CAPACITY characters
        L"C:\\" + longName + L".jpg", // name one character too long once it is .png
    };
    for (const std::wstring& path : refused) {
        wchar_t folder[FOLDER_CAPACITY] = L"kept";
        wchar_t name[NAME_CAPACITY] = L"kept.png";
        EXPECT_FALSE(SplitMemoPath(path.c_str(), folder, name)) << path.size();
        EXPECT_EQ(std::wstring(folder), L"kept");
        EXPECT_EQ(std::wstring(name), L"kept.png");
    }
}

TEST(SplitMemoPath, HoldsTheLongestFolderAndName) {
    const std::wstring folder255 = L"C:\\" + std::wstring(FOLDER_CAPACITY - 4, L'f');
    const std::wstring base = std::wstring(NAME_CAPACITY - 5, L'n');
    wchar_t folder[FOLDER_CAPACITY];
    wchar_t name[NAME_CAPACITY];
    ASSERT_TRUE(SplitMemoPath((folder255 + L"\\" + base + L".jpg").c_str(), folder, name));
    EXPECT_EQ(std::wstring(folder), folder255);
    EXPECT_EQ(std::wstring(name), base + L".png");
    EXPECT_EQ(std::wstring(name).size(), NAME_CAPACITY - 1);
}

} // namespace
