// libFuzzer target: the settings reader on any bytes. Beyond running clean under the sanitizers,
// what it reads must be what a setting can hold, and must read back the same once written.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "settings/settings_codec.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool IsUpperHex(char16_t unit) {
    return (unit >= u'0' && unit <= u'9') || (unit >= u'A' && unit <= u'F');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<unsigned char> bytes(data, data + size);
    const PresentSettings read = DecodeSettingsFile(bytes);
    if (read.saveFolder) {
        const std::u16string& folder = *read.saveFolder;
        Require(!folder.empty() && folder.size() <= SETTINGS_LINE_LIMIT && folder[0] > 0x10);
        Require(folder.find(u'\n') == std::u16string::npos);
        Require(folder.find(u'\0') == std::u16string::npos);
    }
    if (read.startupColor) {
        Require(*read.startupColor <= 0xFFFFFF);
        const std::u16string text = FormatColorHex(*read.startupColor);
        Require(text.size() == 6);
        for (char16_t unit : text) {
            Require(IsUpperHex(unit));
        }
        Require(ParseColorHex(text) == *read.startupColor);
    }

    const SettingsValues values = {read.saveFolder.value_or(u"C:\\"),
                                   read.backgroundEnabled.value_or(0),
                                   read.startupWidth.value_or(4), read.startupColor.value_or(0)};
    const PresentSettings again = DecodeSettingsFile(EncodeSettingsFile(values));
    Require(again.saveFolder == values.saveFolder);
    Require(again.backgroundEnabled == values.backgroundEnabled);
    Require(again.startupWidth == values.startupWidth);
    Require(again.startupColor == values.startupColor);
    return 0;
}
