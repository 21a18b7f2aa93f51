// vsl.exe as a deployment sees it, read back through the loader.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "tests/support/WineTest.h"

namespace {

// Imports only from DLLs that every Windows carries; the loader may place it
// at a random address, for which it keeps its relocations, and its data is
// not executable; code, data, tables and headers take 64 KB at most beyond
// the resources. Its manifest has it run as the user who starts it, on the
// Windows versions it names without shims, aware of the screen's DPI, with
// the current controls' look, in the system's code page, in which the games
// read their command lines.
TEST(Image, AsADeploymentSeesIt) {
    std::string program = BuiltProgram("vsl.exe");
    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    // Mapped as an image, its sections where they run, without running it.
    const BYTE* base = reinterpret_cast<const BYTE*>(reinterpret_cast<UINT_PTR>(module) & ~UINT_PTR{3});
    const IMAGE_NT_HEADERS32& headers = *reinterpret_cast<const IMAGE_NT_HEADERS32*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    ASSERT_EQ(headers.Signature, static_cast<DWORD>(IMAGE_NT_SIGNATURE));
    const IMAGE_DATA_DIRECTORY* directory = headers.OptionalHeader.DataDirectory;

    const std::string system[] = {"ADVAPI32.DLL", "GDI32.DLL",   "KERNEL32.DLL",
                                  "MSVCRT.DLL",   "SHELL32.DLL", "USER32.DLL"};
    int kernel = 0;  // shows that the table was read
    for (const auto* import = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
             base + directory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
         import->Name != 0; ++import) {
        std::string dll = reinterpret_cast<const char*>(base + import->Name);
        CharUpperA(&dll[0]);
        EXPECT_NE(std::find(std::begin(system), std::end(system), dll), std::end(system)) << dll;
        kernel += dll == "KERNEL32.DLL";
    }
    EXPECT_EQ(kernel, 1);

    EXPECT_TRUE(headers.OptionalHeader.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE);
    EXPECT_TRUE(headers.OptionalHeader.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_NX_COMPAT);
    EXPECT_FALSE(headers.FileHeader.Characteristics & IMAGE_FILE_RELOCS_STRIPPED);
    EXPECT_GT(directory[IMAGE_DIRECTORY_ENTRY_BASERELOC].Size, 0u);

    size_t fileSize = ReadFileText(program).value().size();
    DWORD resources = directory[IMAGE_DIRECTORY_ENTRY_RESOURCE].Size;
    EXPECT_GT(resources, 240000u) << "the title picture";
    EXPECT_LE(fileSize - resources, 64u * 1024)
        << fileSize << " bytes, " << resources << " of them resources";

    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, nullptr) << "no manifest";
    std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                         SizeofResource(module, found));
    for (const char* declaration : {
             "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
             "<supportedOS Id=\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\"/>",  // Vista
             "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",  // 7
             "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>",  // 8
             "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>",  // 8.1
             "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",  // 10 and 11
             ">true</dpiAware>",
             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
         }) {
        EXPECT_NE(manifest.find(declaration), std::string::npos) << declaration;
    }
    EXPECT_EQ(manifest.find("activeCodePage"), std::string::npos);
    FreeLibrary(module);
}

}  // namespace
