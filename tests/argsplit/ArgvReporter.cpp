// Reports how the system's C runtime (msvcrt.dll) split this process's
// command line. The file named by VSL_ARGV_REPORT receives, one item a line
// and every text in hexadecimal so that no byte is lost or mistaken:
//   acp <the process's ANSI code page, decimal>
//   module <GetModuleFileNameA>
//   line <GetCommandLineA>
//   arg <argv[i]>      once for every argument, argv[0] first
// Only Win32 and msvcrt.dll are used: no C++ runtime is involved, and nothing
// but msvcrt.dll splits the line.
#include <windows.h>

namespace {

struct StartupInfo {
    int newMode;
};

}  // namespace

// msvcrt.dll's argument table, computed from the command line when the DLL
// started; the fourth parameter asks for wildcard expansion, which stays off.
extern "C" int __cdecl __getmainargs(int* argc, char*** argv, char*** envp, int expandWildcards,
                                     StartupInfo* startupInfo);

namespace {

class Report {
public:
    explicit Report(HANDLE file) : file_(file) {}

    void Text(const char* key, const char* text, DWORD length) {
        Raw(key, lstrlenA(key));
        Raw(" ", 1);
        static const char digits[] = "0123456789abcdef";
        for (DWORD i = 0; i < length; ++i) {
            unsigned char byte = static_cast<unsigned char>(text[i]);
            char pair[2] = {digits[byte >> 4], digits[byte & 15]};
            Raw(pair, 2);
        }
        Raw("\n", 1);
    }

    void Number(const char* key, unsigned value) {
        char text[16];
        int start = sizeof text;
        do {
            text[--start] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        Raw(key, lstrlenA(key));
        Raw(" ", 1);
        Raw(text + start, static_cast<int>(sizeof text) - start);
        Raw("\n", 1);
    }

    bool Ok() const { return ok_; }

private:
    void Raw(const char* bytes, int length) {
        DWORD written = 0;
        ok_ = WriteFile(file_, bytes, length, &written, NULL) && written == static_cast<DWORD>(length) && ok_;
    }

    HANDLE file_;
    bool ok_ = true;
};

}  // namespace

int main() {
    char reportPath[MAX_PATH];
    DWORD pathLength = GetEnvironmentVariableA("VSL_ARGV_REPORT", reportPath, MAX_PATH);
    if (pathLength == 0 || pathLength >= MAX_PATH) {
        return 2;
    }
    int argc = 0;
    char** argv = NULL;
    char** envp = NULL;
    StartupInfo startupInfo = {0};
    if (__getmainargs(&argc, &argv, &envp, 0, &startupInfo) < 0 || argv == NULL) {
        return 3;
    }

    HANDLE file = CreateFileA(reportPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return 4;
    }
    Report report(file);
    report.Number("acp", GetACP());
    char module[MAX_PATH];
    DWORD moduleLength = GetModuleFileNameA(NULL, module, MAX_PATH);
    report.Text("module", module, moduleLength < MAX_PATH ? moduleLength : 0);
    const char* line = GetCommandLineA();
    report.Text("line", line, lstrlenA(line));
    for (int i = 0; i < argc; ++i) {
        report.Text("arg", argv[i], lstrlenA(argv[i]));
    }
    bool ok = report.Ok();
    CloseHandle(file);
    return ok ? 0 : 5;
}
