// The shipped inkwisp.exe read back: its version resource the way Explorer's Properties show it,
// its PE header and imports as the loader reads them, and its manifest.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::wstring ProgramPath() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    folder.erase(folder.find_last_of(L'\\'));
    return folder.substr(0, folder.find_last_of(L'\\')) + L"\\Inkwisp\\inkwisp.exe";
}

// The exe mapped as the loader lays it out, neither run nor bound to its imports.
class ExeImage {
  public:
    explicit ExeImage(const std::wstring& path)
        : module_(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {
        const auto* dos = At<IMAGE_DOS_HEADER>(0);
        if (dos != nullptr && dos->e_magic == IMAGE_DOS_SIGNATURE) {
            headers_ = At<IMAGE_NT_HEADERS32>(static_cast<DWORD>(dos->e_lfanew));
        }
        if (headers_ != nullptr && headers_->Signature != IMAGE_NT_SIGNATURE) {
            headers_ = nullptr;
        }
    }
    ~ExeImage() {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }
    ExeImage(const ExeImage&) = delete;
    ExeImage& operator=(const ExeImage&) = delete;

    const IMAGE_NT_HEADERS32* Headers() const { return headers_; }

    // Each imported DLL with the names of the functions taken from it.
    std::vector<std::pair<std::string, std::vector<std::string>>> Imports() const {
        std::vector<std::pair<std::string, std::vector<std::string>>> imports;
        const IMAGE_DATA_DIRECTORY& directory =
            headers_->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (const auto* module = At<IMAGE_IMPORT_DESCRIPTOR>(directory.VirtualAddress);
             module->Name != 0; ++module) {
            std::vector<std::string> functions;
            for (const auto* entry =
                     At<DWORD>(module->OriginalFirstThunk != 0 ? module->OriginalFirstThunk
                                                               : module->FirstThunk);
                 *entry != 0; ++entry) {
                if ((*entry & IMAGE_ORDINAL_FLAG32) == 0) {
                    functions.emplace_back(At<IMAGE_IMPORT_BY_NAME>(*entry)->Name);
                }
            }
            imports.emplace_back(At<char>(module->Name), functions);
        }
        return imports;
    }

  private:
    // The handle of an image mapped as a resource carries flags in its low bits.
    template <typename Record> const Record* At(DWORD rva) const {
        const auto base = reinterpret_cast<ULONG_PTR>(module_) & ~static_cast<ULONG_PTR>(3);
        return base == 0 ? nullptr : reinterpret_cast<const Record*>(base + rva);
    }

    HMODULE module_;
    const IMAGE_NT_HEADERS32* headers_ = nullptr;
};

// The manifest as Windows reads it at start (resource 1, English), without its comments.
std::string ReadManifest(const std::wstring& exe) {
    HMODULE image = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (image == nullptr) {
        return "";
    }
    std::string text;
    HRSRC resource = FindResourceExW(image, RT_MANIFEST, MAKEINTRESOURCEW(1),
                                     MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (resource != nullptr) {
        const auto* data = static_cast<const char*>(LockResource(LoadResource(image, resource)));
        text.assign(data, SizeofResource(image, resource));
    }
    FreeLibrary(image);
    for (size_t start; (start = text.find("<!--")) != std::string::npos;) {
        const size_t end = text.find("-->", start);
        text.erase(start, end == std::string::npos ? std::string::npos : end + 3 - start);
    }
    return text;
}

} // namespace

TEST(ExeHeader, NeedsWindows7AndAsksForAslrDepAndTerminalServerAwareness) {
    const ExeImage exe(ProgramPath());
    ASSERT_NE(exe.Headers(), nullptr) << "inkwisp.exe is not a PE image";
    const IMAGE_OPTIONAL_HEADER32& optional = exe.Headers()->OptionalHeader;
    EXPECT_EQ(optional.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
    EXPECT_EQ(optional.MajorSubsystemVersion, 6);
    EXPECT_EQ(optional.MinorSubsystemVersion, 1);
    EXPECT_EQ(optional.MajorOperatingSystemVersion, 6);
    EXPECT_EQ(optional.MinorOperatingSystemVersion, 1);
    EXPECT_EQ(optional.DllCharacteristics & 0x0040, 0x0040) << "dynamic base";
    EXPECT_EQ(optional.DllCharacteristics & 0x0100, 0x0100) << "NX compatible";
    EXPECT_EQ(optional.DllCharacteristics & 0x8000, 0x8000) << "terminal-server aware";
    // A movable image needs its relocations; and no link time, so that builds are reproducible.
    EXPECT_GT(optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC].Size, 0u);
    EXPECT_EQ(exe.Headers()->FileHeader.TimeDateStamp, 0u);
}

TEST(ExeHeader, ImportsSystemLibrariesAndNothingNewerThanWindows7) {
    const ExeImage exe(ProgramPath());
    ASSERT_NE(exe.Headers(), nullptr);
    const auto imports = exe.Imports();
    ASSERT_FALSE(imports.empty());
    const char* system[] = {"comdlg32.dll", "gdi32.dll",   "kernel32.dll", "msvcrt.dll",
                            "ole32.dll",    "shell32.dll", "user32.dll"};
    for (const auto& module : imports) {
        EXPECT_TRUE(std::any_of(std::begin(system), std::end(system), [&](const char* name) {
            return _stricmp(name, module.first.c_str()) == 0;
        })) << module.first;
        // Looked up at run time instead: Windows 7 would refuse to start the program.
        for (const char* newer : {"GetPointerType", "GetPointerPenInfo", "GetPointerInfo",
                                  "SetDefaultDllDirectories"}) {
            EXPECT_EQ(std::count(module.second.begin(), module.second.end(), newer), 0)
                << module.first << " " << newer;
        }
    }
    const auto user32 = std::find_if(imports.begin(), imports.end(), [](const auto& module) {
        return _stricmp(module.first.c_str(), "user32.dll") == 0;
    });
    ASSERT_NE(user32, imports.end());
    EXPECT_EQ(std::count(user32->second.begin(), user32->second.end(), "SetPropW"), 1);
}

TEST(ExeManifest, ThemedControlsTheFourWindowsVersionsAsInvokerAndNoDpiAwareness) {
    const std::string manifest = ReadManifest(ProgramPath());
    ASSERT_FALSE(manifest.empty()) << "no manifest in inkwisp.exe";
    for (const char* expected :
         {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
          "publicKeyToken=\"6595b64144ccf1df\"", "type=\"win32\"",
          "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>", // Windows 7
          "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>", // Windows 8
          "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>", // Windows 8.1
          "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>", // Windows 10, 11
          "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"}) {
        EXPECT_NE(manifest.find(expected), std::string::npos) << expected;
    }
    EXPECT_EQ(manifest.find("dpiAware"), std::string::npos);
    EXPECT_EQ(manifest.find("highestAvailable"), std::string::npos);

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
