// A stand-in for the person in front of the screen, for tests that start
// vsl.exe from outside (through a browser, say) and so cannot answer its
// message boxes themselves:
//   vsl_box_answerer.exe LOG [STOP]
// Every 50 ms it looks for message boxes captioned "vsl" (top-level "#32770"
// windows that carry the text control 0xFFFF, which the launcher's own empty
// dialog of the same class and caption has not), appends each box's text to
// LOG as one line, with "\" "\r" "\n" written as "\\" "\r" "\n":
//   box=Malformed parameter string passed\nThis would ...
// and presses OK. It runs until it is ended, or until the file STOP exists.
#include <windows.h>

#include <cstdlib>

namespace {

constexpr char kDialogClass[] = "#32770";
constexpr char kCaption[] = "vsl";
constexpr int kMessageTextId = 0xFFFF;
constexpr DWORD kPollMs = 50;
constexpr int kMaxAnswered = 64;

const char* g_logPath;
HWND g_answered[kMaxAnswered];  // boxes pressed that may not have closed yet
int g_answeredCount;

bool WasAnswered(HWND box) {
    for (int i = 0; i < g_answeredCount; i++) {
        if (g_answered[i] == box) {
            return true;
        }
    }
    return false;
}

// Forgets the boxes that have gone, so that a handle the system hands out
// again for a new box counts as new.
void ForgetClosedBoxes() {
    int kept = 0;
    for (int i = 0; i < g_answeredCount; i++) {
        if (IsWindow(g_answered[i])) {
            g_answered[kept++] = g_answered[i];
        }
    }
    g_answeredCount = kept;
}

// The box's text on one line: the escapes keep line breaks out of it.
void AppendToLog(const char* text) {
    HANDLE file = CreateFileA(g_logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    // Each byte of the text takes at most two in the line.
    static char line[2 * 4096 + 8] = "box=";
    int length = 4;
    for (const char* c = text; *c != '\0'; c++) {
        char escaped = *c == '\\' ? '\\' : *c == '\r' ? 'r' : *c == '\n' ? 'n' : '\0';
        if (escaped != '\0') {
            line[length++] = '\\';
            line[length++] = escaped;
        } else {
            line[length++] = *c;
        }
    }
    line[length++] = '\n';
    DWORD written = 0;
    WriteFile(file, line, length, &written, NULL);
    CloseHandle(file);
}

BOOL CALLBACK AnswerBox(HWND hwnd, LPARAM) {
    char className[16] = "";
    char caption[16] = "";
    GetClassNameA(hwnd, className, sizeof(className));
    GetWindowTextA(hwnd, caption, sizeof(caption));
    if (lstrcmpA(className, kDialogClass) != 0 || lstrcmpA(caption, kCaption) != 0 ||
        GetDlgItem(hwnd, kMessageTextId) == NULL || !IsWindowVisible(hwnd) || WasAnswered(hwnd)) {
        return TRUE;
    }
    char text[4096] = "";
    GetDlgItemTextA(hwnd, kMessageTextId, text, sizeof(text));
    AppendToLog(text);
    PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
    if (g_answeredCount < kMaxAnswered) {
        g_answered[g_answeredCount++] = hwnd;
    }
    return TRUE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 2) {
        return 2;
    }
    g_logPath = __argv[1];
    const char* stopPath = __argc > 2 ? __argv[2] : NULL;
    while (stopPath == NULL || GetFileAttributesA(stopPath) == INVALID_FILE_ATTRIBUTES) {
        ForgetClosedBoxes();
        EnumWindows(AnswerBox, 0);
        Sleep(kPollMs);
    }
    return 0;
}
