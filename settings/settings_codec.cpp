#include "settings/settings_codec.h"

#include <climits>
#include <cstdint>
#include <cstdio>

namespace {

constexpr char16_t LINE_FEED = 0x0A;
constexpr char16_t CARRIAGE_RETURN = 0x0D;
constexpr char16_t END_OF_TEXT = 0x1A; // Ctrl+Z: nothing after it is read
constexpr char16_t REPLACEMENT = 0xFFFD;
constexpr int SETTINGS_LINE_COUNT = 4;

bool StartsWith(const std::vector<unsigned char>& bytes,
                std::initializer_list<unsigned char> mark) {
    if (bytes.size() < mark.size()) {
        return false;
    }
    std::size_t i = 0;
    for (unsigned char byte : mark) {
        if (bytes[i++] != byte) {
            return false;
        }
    }
    return true;
}

void AppendCodePoint(std::u16string& text, std::uint32_t point) {
    if (point < 0x10000) {
        text.push_back(static_cast<char16_t>(point));
    } else {
        point -= 0x10000;
        text.push_back(static_cast<char16_t>(0xD800 + (point >> 10)));
        text.push_back(static_cast<char16_t>(0xDC00 + (point & 0x3FF)));
    }
}

// The length of the sequence a lead byte starts and the bits it carries; 0 for no lead byte.
int Utf8SequenceLength(unsigned char lead, std::uint32_t& bits) {
    if (lead >= 0xC2 && lead <= 0xDF) {
        bits = lead & 0x1F;
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        bits = lead & 0x0F;
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        bits = lead & 0x07;
        return 4;
    }
    return 0;
}

// A malformed sequence gives one replacement character for its first byte and goes on after it.
std::u16string DecodeUtf8(const std::vector<unsigned char>& bytes, std::size_t start) {
    static const std::uint32_t lowest[] = {0, 0, 0x80, 0x800, 0x10000};
    std::u16string text;
    std::size_t i = start;
    while (i < bytes.size()) {
        if (bytes[i] < 0x80) {
            text.push_back(bytes[i++]);
            continue;
        }
        std::uint32_t point = 0;
        const int length = Utf8SequenceLength(bytes[i], point);
        int taken = 1;
        while (taken < length && i + taken < bytes.size() && (bytes[i + taken] & 0xC0) == 0x80) {
            point = (point << 6) | (bytes[i + taken] & 0x3F);
            ++taken;
        }
        if (length > 0 && taken == length && point >= lowest[length] && point <= 0x10FFFF &&
            (point < 0xD800 || point > 0xDFFF)) {
            AppendCodePoint(text, point);
            i += taken;
        } else {
            text.push_back(REPLACEMENT);
            ++i;
        }
    }
    return text;
}

// An odd last byte is half a character and is dropped.
std::u16string DecodeUtf16Le(const std::vector<unsigned char>& bytes, std::size_t start) {
    std::u16string text;
    for (std::size_t i = start; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    return text;
}

std::u16string DecodeBytes(const std::vector<unsigned char>& bytes) {
    return std::u16string(bytes.begin(), bytes.end());
}

// CR LF reads as LF; the text ends at Ctrl+Z.
std::u16string FoldText(const std::u16string& raw) {
    std::u16string text;
    for (std::size_t i = 0; i < raw.size() && raw[i] != END_OF_TEXT; ++i) {
        if (raw[i] == CARRIAGE_RETURN && i + 1 < raw.size() && raw[i + 1] == LINE_FEED) {
            continue;
        }
        text.push_back(raw[i]);
    }
    return text;
}

// The lines as C strings would hold them: the line end removed, cut at a zero character. A line
// too long for any setting is given as absent, so that it cannot pass for a shorter one.
std::vector<std::optional<std::u16string>> SplitLines(const std::u16string& text) {
    std::vector<std::optional<std::u16string>> lines;
    std::size_t start = 0;
    while (start < text.size() && lines.size() < SETTINGS_LINE_COUNT) {
        std::size_t end = text.find(LINE_FEED, start);
        if (end == std::u16string::npos) {
            end = text.size();
        }
        std::u16string line = text.substr(start, end - start);
        start = end + 1;
        if (line.size() > SETTINGS_LINE_LIMIT || line.empty() || line[0] <= 0x10) {
            lines.emplace_back();
            continue;
        }
        line.resize(std::char_traits<char16_t>::length(line.c_str()));
        lines.emplace_back(std::move(line));
    }
    lines.resize(SETTINGS_LINE_COUNT);
    return lines;
}

int DigitValue(char16_t unit) {
    return unit <= 64 ? unit - 48 : unit - 55;
}

void AppendUtf16Le(std::vector<unsigned char>& bytes, std::u16string_view text) {
    for (char16_t unit : text) {
        bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
        bytes.push_back(static_cast<unsigned char>(unit >> 8));
    }
}

std::u16string FormatDecimal(int value) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", value);
    return std::u16string(digits, digits + std::char_traits<char>::length(digits));
}

} // namespace

PresentSettings DecodeSettingsFile(const std::vector<unsigned char>& bytes) {
    PresentSettings settings;
    std::u16string raw;
    if (StartsWith(bytes, {0xFE, 0xFF})) {
        return settings;
    } else if (StartsWith(bytes, {0xEF, 0xBB, 0xBF})) {
        raw = DecodeUtf8(bytes, 3);
    } else if (StartsWith(bytes, {0xFF, 0xFE})) {
        raw = DecodeUtf16Le(bytes, 2);
    } else {
        raw = DecodeBytes(bytes);
    }
    const std::vector<std::optional<std::u16string>> lines = SplitLines(FoldText(raw));
    if (lines[0]) {
        settings.saveFolder = *lines[0];
    }
    if (lines[1]) {
        settings.backgroundEnabled = ParseDecimal(*lines[1]);
    }
    if (lines[2]) {
        settings.startupWidth = ParseDecimal(*lines[2]);
    }
    // A colour needs all six digits; a shorter line is no colour at all.
    if (lines[3] && lines[3]->size() >= 6) {
        settings.startupColor = ParseColorHex(*lines[3]);
    }
    return settings;
}

std::vector<unsigned char> EncodeSettingsFile(const SettingsValues& values) {
    const std::u16string lineEnd = {CARRIAGE_RETURN, LINE_FEED};
    std::vector<unsigned char> bytes = {0xFF, 0xFE};
    for (const std::u16string& line :
         {values.saveFolder, FormatDecimal(values.backgroundEnabled),
          FormatDecimal(values.startupWidth), FormatColorHex(values.startupColor)}) {
        AppendUtf16Le(bytes, line);
        AppendUtf16Le(bytes, lineEnd);
    }
    return bytes;
}

PenColor ParseColorHex(std::u16string_view text) {
    int digits[6] = {};
    for (std::size_t i = 0; i < 6 && i < text.size(); ++i) {
        digits[i] = DigitValue(text[i]);
    }
    // Two's-complement wrapping makes a negative sum come out as the mathematical mod 256.
    auto channel = [&](int high) {
        return static_cast<PenColor>(16 * digits[high] + digits[high + 1]) & 0xFF;
    };
    return channel(0) | channel(2) << 8 | channel(4) << 16;
}

std::u16string FormatColorHex(PenColor color) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%06X", static_cast<unsigned>(color & 0xFFFFFF));
    // Written as BBGGRR, since red is the low byte; the file holds RRGGBB.
    return {static_cast<char16_t>(digits[4]), static_cast<char16_t>(digits[5]),
            static_cast<char16_t>(digits[2]), static_cast<char16_t>(digits[3]),
            static_cast<char16_t>(digits[0]), static_cast<char16_t>(digits[1])};
}

int ParseDecimal(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= 0x09 && text[i] <= 0x0D))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > limit) {
            value = limit;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

std::u16string SettingsFolderName(std::u16string_view executablePath) {
    // The last and the second-to-last backslash; position 0 is never looked at.
    std::size_t found[2] = {};
    int count = 0;
    for (std::size_t i = executablePath.size(); i-- > 1 && count < 2;) {
        if (executablePath[i] == u'\\') {
            found[count++] = i;
        }
    }
    std::u16string name;
    if (count == 2) {
        name = executablePath.substr(found[1] + 1, found[0] - found[1] - 1);
    } else if (count == 1) {
        name = executablePath.substr(0, found[0]);
    }
    // A colon names a drive, never a folder: such a folder could not be made.
    if (name.find(u':') != std::u16string::npos) {
        return SETTINGS_FALLBACK_FOLDER_NAME;
    }
    return name;
}

std::u16string ComposeSettingsFolder(std::u16string_view appData,
                                     std::u16string_view executablePath) {
    for (const std::u16string& name :
         {SettingsFolderName(executablePath), std::u16string(SETTINGS_FALLBACK_FOLDER_NAME)}) {
        std::u16string folder(appData);
        folder += u'\\';
        folder += name;
        if (folder.size() <= SETTINGS_FOLDER_LIMIT) {
            return folder;
        }
    }
    return std::u16string();
}
