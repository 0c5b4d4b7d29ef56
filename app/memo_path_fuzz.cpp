// libFuzzer target: the path handling of a file named on the command line, dropped or chosen.
// Any text, as the 16-bit units Windows hands over, goes through the command-line path and the
// split into the memo's folder and name; the buffers are exactly as large as the program's, so
// the sanitizers catch any write past them, and what comes out must be a piece of what went in.
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "records/document_state.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const wchar_t unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (unit == L'\0') {
            break;
        }
        text.push_back(unit);
    }
    const std::wstring path = CommandLinePath(text.c_str());
    Require(path == text || L'"' + path + L'"' == text);

    std::vector<wchar_t> folder(FOLDER_CAPACITY, L'?');
    std::vector<wchar_t> name(NAME_CAPACITY, L'?');
    if (!SplitMemoPath(path.c_str(), folder.data(), name.data())) {
        Require(folder[0] == L'?' && name[0] == L'?');
        return 0;
    }
    const std::wstring folderText = folder.data();
    const std::wstring nameText = name.data();
    Require(folderText.size() < FOLDER_CAPACITY && nameText.size() < NAME_CAPACITY);
    Require(path.compare(0, folderText.size() + 1, folderText + L'\\') == 0);
    Require(nameText.size() >= 4 && nameText.compare(nameText.size() - 4, 4, L".png") == 0);
    Require(nameText.find(L'\\') == std::wstring::npos);
    // The name is the file's own name up to its last full stop, then ".png".
    const std::wstring fileName = path.substr(folderText.size() + 1);
    const std::wstring base = nameText.substr(0, nameText.size() - 4);
    Require(fileName.compare(0, base.size(), base) == 0);
    Require(base.size() == fileName.size() || fileName[base.size()] == L'.');
    Require(fileName.find(L'.', base.size() + 1) == std::wstring::npos);
    return 0;
}
