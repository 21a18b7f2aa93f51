#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>

#include "res/resource.h"
#include "tests/resources/ExecutableImage.h"
#include "tests/support/Files.h"

namespace {

// What vsl.exe may weigh beyond its resources: code, data, import tables,
// headers and relocations together.
const size_t kOverheadBudget = 64 * 1024;

// DLLs that every Windows system carries: the program needs nothing installed beside it.
const char* const kSystemDlls[] = {"ADVAPI32.dll", "GDI32.dll",   "KERNEL32.dll",
                                   "msvcrt.dll",   "SHELL32.dll", "USER32.dll"};

bool SameDllName(const std::string& a, const std::string& b) {
    return _stricmp(a.c_str(), b.c_str()) == 0;
}

bool IsSystemDll(const std::string& name) {
    return std::any_of(std::begin(kSystemDlls), std::end(kSystemDlls),
                       [&](const char* dll) { return SameDllName(dll, name); });
}

bool Imports(const ExecutableImage& image, const std::string& dll) {
    return std::any_of(image.importedDlls.begin(), image.importedDlls.end(),
                       [&](const std::string& name) { return SameDllName(name, dll); });
}

std::vector<uint8_t> LauncherFile() {
    return ReadFileBytes(BuiltProgram("vsl.exe"));
}

std::vector<uint8_t> OwnFile() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? ReadFileBytes(path) : std::vector<uint8_t>();
}

TEST(LauncherImage, WeighsNoMoreThanTheBudgetBeyondItsResources) {
    std::optional<ExecutableImage> image = ReadExecutableImage(LauncherFile());
    ASSERT_TRUE(image.has_value());
    ASSERT_GT(image->resourceBytes, 0u);
    ASSERT_LE(image->resourceBytes, image->fileBytes);

    size_t overhead = image->fileBytes - image->resourceBytes;
    EXPECT_LE(overhead, kOverheadBudget) << "vsl.exe has " << image->fileBytes << " bytes, of which "
                                         << image->resourceBytes << " are resources";
}

TEST(LauncherImage, ImportsOnlyTheSystemsOwnDlls) {
    std::optional<ExecutableImage> image = ReadExecutableImage(LauncherFile());
    ASSERT_TRUE(image.has_value());
    // Every program's start-up needs KERNEL32: without it the table was not read.
    EXPECT_TRUE(Imports(*image, "KERNEL32.dll"));
    for (const std::string& dll : image->importedDlls) {
        EXPECT_TRUE(IsSystemDll(dll)) << "vsl.exe imports " << dll;
    }
}

TEST(LauncherImage, KeepsAddressRandomisationAndNonExecutableData) {
    std::optional<ExecutableImage> image = ReadExecutableImage(LauncherFile());
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->machine, IMAGE_FILE_MACHINE_I386);

    const struct {
        WORD flag;
        const char* name;
    } kSafetyFlags[] = {
        {IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE, "DYNAMIC_BASE"},
        {IMAGE_DLLCHARACTERISTICS_NX_COMPAT, "NX_COMPAT"},
    };
    for (const auto& safety : kSafetyFlags) {
        EXPECT_TRUE(image->dllCharacteristics & safety.flag) << safety.name << " is not set";
    }
    // The loader can move the image only when it carries its relocations.
    EXPECT_FALSE(image->fileCharacteristics & IMAGE_FILE_RELOCS_STRIPPED);
    EXPECT_GT(image->relocationBytes, 0u);
}

// The reader against this test program itself, whose file the loader has read too.
TEST(ExecutableImageReader, ListsTheDllsThisProgramHasLoaded) {
    std::optional<ExecutableImage> image = ReadExecutableImage(OwnFile());
    ASSERT_TRUE(image.has_value());
    EXPECT_TRUE(Imports(*image, "KERNEL32.dll"));
    for (const std::string& dll : image->importedDlls) {
        EXPECT_NE(GetModuleHandleA(dll.c_str()), nullptr) << dll << " is not loaded";
    }
}

TEST(ExecutableImageReader, CountsTheTitlePictureAmongTheResources) {
    std::optional<ExecutableImage> image = ReadExecutableImage(OwnFile());
    ASSERT_TRUE(image.has_value());
    HRSRC picture = FindResourceA(nullptr, MAKEINTRESOURCEA(IDB_SPLASH), RT_BITMAP);
    ASSERT_NE(picture, nullptr);
    EXPECT_GE(image->resourceBytes, SizeofResource(nullptr, picture));
}

uint32_t HeadersAt(const std::vector<uint8_t>& file) {
    LONG at = 0;
    std::memcpy(&at, file.data() + offsetof(IMAGE_DOS_HEADER, e_lfanew), sizeof at);
    return static_cast<uint32_t>(at);
}

template <typename T>
void Overwrite(std::vector<uint8_t>& file, size_t offset, T value) {
    std::memcpy(file.data() + offset, &value, sizeof value);
}

const size_t kImportDirectory = offsetof(IMAGE_NT_HEADERS32, OptionalHeader.DataDirectory) +
                                IMAGE_DIRECTORY_ENTRY_IMPORT * sizeof(IMAGE_DATA_DIRECTORY);

TEST(ExecutableImageReader, RefusesCutOrForeignFiles) {
    const std::vector<uint8_t> original = OwnFile();
    ASSERT_TRUE(ReadExecutableImage(original).has_value());

    const struct {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> spoil;
    } kSpoiled[] = {
        {"empty", [](auto& file) { file.clear(); }},
        {"DOS header only", [](auto& file) { file.resize(sizeof(IMAGE_DOS_HEADER)); }},
        {"cut inside the headers",
         [](auto& file) { file.resize(HeadersAt(file) + sizeof(IMAGE_FILE_HEADER)); }},
        {"cut inside the section table",
         [](auto& file) { file.resize(HeadersAt(file) + sizeof(IMAGE_NT_HEADERS32) + 8); }},
        {"no MZ", [](auto& file) { file[0] = 'X'; }},
        {"no PE signature", [](auto& file) { file[HeadersAt(file)] = 'X'; }},
        {"headers beyond the end",
         [](auto& file) { Overwrite<LONG>(file, offsetof(IMAGE_DOS_HEADER, e_lfanew), 0x7ffffff0); }},
        {"64-bit optional header",
         [](auto& file) {
             Overwrite<WORD>(file, HeadersAt(file) + offsetof(IMAGE_NT_HEADERS32, OptionalHeader.Magic),
                             IMAGE_NT_OPTIONAL_HDR64_MAGIC);
         }},
        {"import table in no section",
         [](auto& file) { Overwrite<DWORD>(file, HeadersAt(file) + kImportDirectory, 0x7fff0000); }},
    };
    for (const auto& spoiled : kSpoiled) {
        std::vector<uint8_t> file = original;
        spoiled.spoil(file);
        EXPECT_FALSE(ReadExecutableImage(file).has_value()) << spoiled.name;
    }
}

}  // namespace

namespace {

// The manifest as Windows reads it from vsl.exe: the program runs as the
// user who starts it (a link never asks for elevation), on the Windows
// versions it names without compatibility shims, aware of the screen's DPI,
// with the current controls' look.
TEST(LauncherImage, ManifestTellsWindowsHowToRunIt) {
    HMODULE image = LoadLibraryExA(BuiltProgram("vsl.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    HRSRC found = FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, nullptr) << "no manifest";
    const char* data = static_cast<const char*>(LockResource(LoadResource(image, found)));
    std::string manifest(data, SizeofResource(image, found));
    FreeLibrary(image);

    const char* const declarations[] = {
        "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
        "<supportedOS Id=\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\"/>",  // Vista
        "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",  // 7
        "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>",  // 8
        "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>",  // 8.1
        "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",  // 10 and 11
        ">true</dpiAware>",
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
    };
    for (const char* declaration : declarations) {
        EXPECT_NE(manifest.find(declaration), std::string::npos) << declaration;
    }
    EXPECT_EQ(manifest.find("activeCodePage"), std::string::npos) << "the games read the system's code page";
}

}  // namespace
