#include "settings/settings_codec.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Utf16(std::u16string_view text, bool mark = true) {
    Bytes bytes;
    if (mark) {
        bytes = {0xFF, 0xFE};
    }
    for (char16_t unit : text) {
        bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
        bytes.push_back(static_cast<unsigned char>(unit >> 8));
    }
    return bytes;
}

// A literal with its zero characters.
template <std::size_t N> std::u16string Text(const char16_t (&text)[N]) {
    return std::u16string(text, N - 1);
}

Bytes Raw(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

Bytes Utf8(std::string_view text) {
    Bytes bytes = {0xEF, 0xBB, 0xBF};
    bytes.insert(bytes.end(), text.begin(), text.end());
    return bytes;
}

std::string Describe(const std::optional<std::u16string>& text) {
    if (!text) {
        return "(absent)";
    }
    std::string out;
    for (char16_t unit : *text) {
        out += unit < 0x80 ? std::string(1, static_cast<char>(unit)) : "\\u" + std::to_string(unit);
    }
    return out;
}

struct ReadCase {
    const char* name;
    Bytes bytes;
    std::optional<std::u16string> saveFolder;
    std::optional<int> backgroundEnabled;
    std::optional<int> startupWidth;
    std::optional<PenColor> startupColor;
};

void ExpectRead(const ReadCase& c) {
    const PresentSettings read = DecodeSettingsFile(c.bytes);
    EXPECT_EQ(read.saveFolder, c.saveFolder) << c.name << ": folder " << Describe(read.saveFolder)
                                             << ", expected " << Describe(c.saveFolder);
    EXPECT_EQ(read.backgroundEnabled, c.backgroundEnabled) << c.name;
    EXPECT_EQ(read.startupWidth, c.startupWidth) << c.name;
    EXPECT_EQ(read.startupColor, c.startupColor) << c.name;
}

TEST(SettingsFile, WritesTheExampleByteForByte) {
    const Bytes written = EncodeSettingsFile({u"D:\\Notes", 1, 8, 0x0080FF});
    const Bytes expected = {0xFF, 0xFE, 'D', 0,   ':', 0,   '\\', 0,  'N', 0,   'o', 0,  't',
                            0,    'e',  0,   's', 0,   13,  0,    10, 0,   '1', 0,   13, 0,
                            10,   0,    '8', 0,   13,  0,   10,   0,  'F', 0,   'F', 0,  '8',
                            0,    '0',  0,   '0', 0,   '0', 0,    13, 0,   10,  0};
    EXPECT_EQ(written, expected);
}

TEST(SettingsFile, WritesSignedDecimalsAndTheFolderUnchanged) {
    EXPECT_EQ(EncodeSettingsFile({u"C:\\100%\\%s%d", -5, INT_MIN, 0xFFFFFF}),
              Utf16(u"C:\\100%\\%s%d\r\n-5\r\n-2147483648\r\nFFFFFF\r\n"));
    EXPECT_EQ(EncodeSettingsFile({u"", 0, 0, 0}), Utf16(u"\r\n0\r\n0\r\n000000\r\n"));
}

TEST(SettingsFile, EveryFieldReadsBackAsWritten) {
    const std::u16string longest(SETTINGS_LINE_LIMIT, u'x');
    const SettingsValues cases[] = {
        {u"D:\\Notes", 1, 8, 0x0080FF},
        {u"C:\\100%\\%s%ls", 0, 4, 0},
        {u"C:\\ユーザー\\メモ帳", 7, -5, 0xFFFFFF},
        {u"E:\\\xD83D\xDE00 smile", INT_MIN, INT_MAX, 0x123456}, // a surrogate pair
        {u"C:\\ends with CR\r", -1, 0, 0xC0C0FF},
        {longest, 1, 64, 0x1F},
    };
    for (const SettingsValues& values : cases) {
        const PresentSettings read = DecodeSettingsFile(EncodeSettingsFile(values));
        EXPECT_EQ(read.saveFolder, values.saveFolder) << Describe(values.saveFolder);
        EXPECT_EQ(read.backgroundEnabled, values.backgroundEnabled);
        EXPECT_EQ(read.startupWidth, values.startupWidth);
        EXPECT_EQ(read.startupColor, values.startupColor);
    }
}

TEST(SettingsFile, ReadsEachEncodingAndSkipsAbsentLines) {
    const ReadCase cases[] = {
        {"program's own", Utf16(u"D:\\Notes\r\n1\r\n8\r\nFF8000\r\n"), u"D:\\Notes", 1, 8,
         0x0080FF},
        {"ASCII with LF", Raw("D:\\Notes\n1\n8\nFF8000\n"), u"D:\\Notes", 1, 8, 0x0080FF},
        {"ASCII with CR LF", Raw("D:\\Notes\r\n1\r\n8\r\nFF8000\r\n"), u"D:\\Notes", 1, 8,
         0x0080FF},
        {"UTF-8 non-ASCII",
         Utf8("C:\\メモ\\\xF0\x9F\x98\x80\r\n0\r\n"),
         u"C:\\メモ\\\xD83D\xDE00",
         0,
         {},
         {}},
        {"bytes above 127 are Latin-1", Raw("C:\\caf\xE9\n"), u"C:\\caf\u00E9", {}, {}, {}},
        {"an incomplete UTF-8 mark is text",
         Raw("\xEF\xBB"
             "C\n2\n"),
         u"\u00EF\u00BBC",
         2,
         {},
         {}},
        {"FE FF is refused", Bytes{0xFE, 0xFF, 0, 'C', 0, '\n', 0, '1', 0, '\n'}, {}, {}, {}, {}},
        {"FE FF alone", Bytes{0xFE, 0xFF}, {}, {}, {}, {}},
        {"empty file", Bytes{}, {}, {}, {}, {}},
        {"only FF FE", Bytes{0xFF, 0xFE}, {}, {}, {}, {}},
        {"only the UTF-8 mark", Bytes{0xEF, 0xBB, 0xBF}, {}, {}, {}, {}},
        {"only line 1", Utf16(u"C:\\Memo\r\n"), u"C:\\Memo", {}, {}, {}},
        {"no final line end", Utf16(u"C:\\Memo"), u"C:\\Memo", {}, {}, {}},
        {"no final line end on line 4", Raw("C:\\\n1\n2\n00FF00"), u"C:\\", 1, 2, 0x00FF00},
        {"empty and TAB lines are absent", Raw("\n\n\t5\n808080\n"), {}, {}, {}, 0x808080},
        {"control character first",
         Raw("\x10"
             "C:\\\n\x11"
             "5\n"),
         {},
         0,
         {},
         {}},
        {"a zero character first", Utf16(Text(u"\0C:\\\r\n1\r\n")), {}, 1, {}, {}},
        {"a zero character cuts the line", Utf16(Text(u"C:\\a\0b\r\n")), u"C:\\a", {}, {}, {}},
        {"a lone CR is a character", Raw("C:\\a\rb\n1\r"), u"C:\\a\rb", 1, {}, {}},
        {"CR CR LF keeps one CR", Raw("C:\\a\r\r\n3\n"), u"C:\\a\r", 3, {}, {}},
        {"Ctrl+Z ends the text", Raw("C:\\a\n1\x1A\n8\nFF8000\n"), u"C:\\a", 1, {}, {}},
        {"Ctrl+Z in UTF-16", Utf16(u"C:\\a\r\n\x1A\r\n8\r\n"), u"C:\\a", {}, {}, {}},
        {"lines after the fourth", Raw("a\n1\n2\n000000\nb\n"), u"a", 1, 2, 0},
        {"an odd last byte", Bytes{0xFF, 0xFE, 'C', 0, '\n', 0, '7', 0, 0x0A}, u"C", 7, {}, {}},
        {"malformed UTF-8",
         Utf8("C\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80\xE3\x81\n5"),
         u"C" + std::u16string(11, u'\uFFFD'),
         5,
         {},
         {}},
    };
    for (const ReadCase& c : cases) {
        ExpectRead(c);
    }
}

TEST(SettingsFile, ReadsTheFullestFolderAndRefusesLongerLines) {
    const std::string full(SETTINGS_LINE_LIMIT, 'f');
    const std::string longer(SETTINGS_LINE_LIMIT + 1, 'g');
    const std::string huge(100000, 'h');
    const ReadCase cases[] = {
        {"255 characters and LF",
         Raw(full + "\n1\n"),
         std::u16string(full.begin(), full.end()),
         1,
         {},
         {}},
        {"255 characters at the end",
         Raw(full),
         std::u16string(full.begin(), full.end()),
         {},
         {},
         {}},
        // A cut line could name another folder; the next line is still the next setting.
        {"256 characters", Raw(longer + "\n1\n2\nFF0000\n"), {}, 1, 2, 0x0000FF},
        {"a long width line", Raw("C:\\\n1\n" + huge + "\n0000FF\n"), u"C:\\", 1, {}, 0xFF0000},
        {"a long line without end", Raw("C:\\\n" + huge), u"C:\\", {}, {}, {}},
    };
    for (const ReadCase& c : cases) {
        ExpectRead(c);
    }
}

TEST(SettingsFile, ReadsDecimalsLikeTheCLibraryButClamped) {
    struct Case {
        const char16_t* text;
        int value;
    } cases[] = {
        {u"8", 8},
        {u"  -7\n", -7},
        {u"+12abc", 12},
        {u"007", 7},
        {u"-0", 0},
        {u"abc", 0},
        {u"- 7", 0},
        {u"+", 0},
        {u"2147483647", INT_MAX},
        {u"2147483648", INT_MAX},
        {u"99999999999999999999999", INT_MAX},
        {u"-2147483648", INT_MIN},
        {u"-2147483649", INT_MIN},
        {u"-99999999999999999999999", INT_MIN},
        {u"\x0B\x0C\r 3", 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseDecimal(c.text), c.value) << Describe(std::u16string(c.text));
    }
    // As lines of a file: a width without digits sets 0, values outside the range clamp.
    ExpectRead({"width without digits", Raw("C:\\\n1\nwide\n"), u"C:\\", 1, 0, {}});
    ExpectRead(
        {"clamped", Raw("C:\\\n99999999999\n-99999999999\n"), u"C:\\", INT_MAX, INT_MIN, {}});
}

TEST(SettingsFile, ColourLinesNeedSixCharacters) {
    const ReadCase cases[] = {
        {"lower case", Raw("a\n1\n2\nff0000\n"), u"a", 1, 2, 0x00001F},
        {"more than six", Raw("a\n1\n2\nFF8000zz\n"), u"a", 1, 2, 0x0080FF},
        {"five and LF", Raw("a\n1\n2\nFFFFF\n"), u"a", 1, 2, {}},
        {"five at the end", Raw("a\n1\n2\nFFFFF"), u"a", 1, 2, {}},
        {"cut by a zero", Utf16(Text(u"a\r\n1\r\n2\r\nFF\0FFF\r\n")), u"a", 1, 2, {}},
    };
    for (const ReadCase& c : cases) {
        ExpectRead(c);
    }
}

TEST(ColorHex, ParsesUpperCaseDigitsAndWrapsOthers) {
    struct Case {
        const char16_t* text;
        PenColor color;
    } cases[] = {
        {u"FF8000", 0x0080FF},
        {u"000000", 0x000000},
        {u"FFFFFF", 0xFFFFFF},
        {u"123456", 0x563412},
        {u"C0C0FF", 0xFFC0C0},
        {u"ff0000", 0x00001F}, // f is 47: (16 × 47 + 47) mod 256 = 31
        {u"G00000", 0x000000}, // G is 16: 256 mod 256
        {u" 00000", 0x000000}, // space is -16: -256 mod 256
        {u"!F0000", 0x00001F}, // ! is -15: -240 + 15 = -225, mod 256 = 31
        {u"FF8000 and more", 0x0080FF},
        {u"\uFFFF00000", 0x000080}, // 65480 × 16 = 1047680, mod 256 = 128
        {u"FF", 0x0000FF},          // missing digits count 0
        {u"", 0x000000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseColorHex(c.text), c.color) << Describe(std::u16string(c.text));
    }
}

TEST(ColorHex, FormatsRedFirstInSixUpperCaseDigits) {
    struct Case {
        PenColor color;
        const char16_t* text;
    } cases[] = {
        {0x0080FF, u"FF8000"},   {0x000000, u"000000"}, {0xFFFFFF, u"FFFFFF"},
        {0x563412, u"123456"},   {0x00001F, u"1F0000"}, {0x0A0B0C, u"0C0B0A"},
        {0xFF0080FF, u"FF8000"}, // a top byte is no part of the colour
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatColorHex(c.color), c.text) << std::hex << c.color;
        EXPECT_EQ(ParseColorHex(FormatColorHex(c.color)), c.color & 0xFFFFFF)
            << std::hex << c.color;
    }
}

TEST(SettingsFolder, IsNamedAfterTheExecutablesFolder) {
    struct Case {
        const char16_t* executable;
        const char16_t* name;
    } cases[] = {
        {u"D:\\Tools\\Notes\\app.exe", u"Notes"},
        {u"C:\\Program Files\\Inkwisp\\inkwisp.exe", u"Inkwisp"},
        {u"C:\\100%\\%s\\app.exe", u"%s"},
        {u"C:\\ツール\\メモ\\app.exe", u"メモ"},
        {u"\\\\server\\share\\app.exe", u"share"},
        {u"\\\\server\\share\\deep\\app.exe", u"deep"},
        {u"D:\\a\\\\app.exe", u""}, // two adjacent backslashes
        {u"app.exe", u""},
        {u"\\app.exe", u""}, // position 0 is never looked at
        {u"", u""},
        // A drive root would give "D:", which no folder can be named: the fixed name instead.
        {u"D:\\app.exe", u"Inkwisp"},
        {u"\\\\?\\D:\\app.exe", u"Inkwisp"},
        {u"\\\\?\\D:\\Tools\\app.exe", u"Tools"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SettingsFolderName(c.executable), c.name)
            << Describe(std::u16string(c.executable));
    }
}

TEST(SettingsFolder, JoinsTheApplicationDataFolderAndKeepsRoomForBak) {
    const std::u16string appData = u"C:\\Users\\me\\AppData\\Roaming";
    EXPECT_EQ(ComposeSettingsFolder(appData, u"D:\\Tools\\Notes\\app.exe"), appData + u"\\Notes");
    EXPECT_EQ(ComposeSettingsFolder(appData, u"D:\\app.exe"), appData + u"\\Inkwisp");

    const std::u16string fits(SETTINGS_FOLDER_LIMIT - appData.size() - 1, u'n');
    EXPECT_EQ(ComposeSettingsFolder(appData, u"D:\\" + fits + u"\\app.exe"),
              appData + u"\\" + fits);
    EXPECT_EQ(ComposeSettingsFolder(appData, u"D:\\" + fits + u"n\\app.exe"),
              appData + u"\\Inkwisp");
    EXPECT_EQ(ComposeSettingsFolder(std::u16string(SETTINGS_FOLDER_LIMIT, u'a'), u"D:\\x\\a.exe"),
              u"");
}

} // namespace
