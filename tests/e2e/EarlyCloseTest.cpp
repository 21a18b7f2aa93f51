// The user closes the tiny dialog during the three seconds: nothing is
// launched, and the process ends through the framework's own exit, whose
// code is the word parameter of the last message the dialog's modal loop
// fetched from the queue.
#include "harness/E2eTest.h"

namespace {

// A launch would have come 3 s after the start; this waits well past it.
constexpr DWORD kNothingLaunchedMs = 4000;

struct Closing {
    const char* name;
    UINT message;  // posted to the dialog
    WPARAM wParam;
    LPARAM lParam;
    DWORD exitCode;
};

// Keyboard messages as the system queues them: repeat count 1, and for Alt+F4
// the context bit that says Alt is down.
constexpr LPARAM kKeyDown = 1;
constexpr LPARAM kAltKeyDown = 1 | (1 << 29);

// Starts the launcher for an installed game and waits for its dialog and
// splash window.
class EarlyClose : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        InstallGame(GameWithId("rtcw"));
        std::string launcherPath = InstallLauncher();
        InstallExplorerStandIn();
        launcher_.emplace(LauncherProcess::Start(LinkCommandLine(
            launcherPath, "vsl://rtcw/10.0.0.1:27960?name=Player&embed_url={https://example.org/}")));
        dialog_ = WaitForLauncherDialog(launcher_->Id());
        ASSERT_TRUE(dialog_);
        ASSERT_TRUE(WaitForSplash(launcher_->Id()));
    }

    std::optional<LauncherProcess> launcher_;
    std::optional<WindowView> dialog_;
};

class ClosingTheDialogEarly : public EarlyClose, public ::testing::WithParamInterface<Closing> {};

TEST_P(ClosingTheDialogEarly, LaunchesNothingAndEndsWithTheLastMessagesCode) {
    const Closing& closing = GetParam();
    ASSERT_TRUE(PostMessageA(dialog_->handle, closing.message, closing.wParam, closing.lParam));

    EXPECT_EQ(launcher_->WaitForExit(), closing.exitCode);
    EXPECT_EQ(StartedStandInsAfter(kNothingLaunchedMs), std::vector<std::string>{});
}

// What the loop fetches last, message by message (Wine's dialog manager, as
// Windows'):
// - Escape: the WM_KEYDOWN itself; IsDialogMessage turns it into IDCANCEL
//   with a sent WM_COMMAND, and the loop ends after it: VK_ESCAPE, 27.
// - Enter: the same, with IDOK for a dialog without a default button:
//   VK_RETURN, 13.
// - IDCANCEL: the posted WM_COMMAND, whose word parameter is the id: 2.
// - WM_CLOSE: the dialog's default handling posts WM_COMMAND IDCANCEL,
//   which is fetched last: 2.
// - Close command (the close box or the system menu's Close): WM_SYSCOMMAND
//   SC_CLOSE sends WM_CLOSE, which posts IDCANCEL as above: 2.
// - Alt+F4: the default handling of WM_SYSKEYDOWN posts SC_CLOSE, and so on
//   as above: 2.
INSTANTIATE_TEST_SUITE_P(Ways, ClosingTheDialogEarly,
                         ::testing::Values(Closing{"Escape", WM_KEYDOWN, VK_ESCAPE, kKeyDown, VK_ESCAPE},
                                           Closing{"Enter", WM_KEYDOWN, VK_RETURN, kKeyDown, VK_RETURN},
                                           Closing{"CancelCommand", WM_COMMAND, IDCANCEL, 0, IDCANCEL},
                                           Closing{"CloseMessage", WM_CLOSE, 0, 0, IDCANCEL},
                                           Closing{"CloseCommand", WM_SYSCOMMAND, SC_CLOSE, 0, IDCANCEL},
                                           Closing{"AltF4", WM_SYSKEYDOWN, VK_F4, kAltKeyDown, IDCANCEL}),
                         [](const ::testing::TestParamInfo<Closing>& info) {
                             return std::string(info.param.name);
                         });

// The same keys typed on the keyboard, which goes to the foreground window:
// the dialog, the window the launcher activated last. The loop also fetches
// the key presses before the last one (Alt's WM_SYSKEYDOWN) but ends as above.
struct Typing {
    const char* name;
    std::vector<WORD> keys;  // pressed in order, released in reverse
    DWORD exitCode;
};

void Type(const std::vector<WORD>& keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT press = {};
        press.type = INPUT_KEYBOARD;
        press.ki.wVk = key;
        inputs.push_back(press);
    }
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        INPUT release = {};
        release.type = INPUT_KEYBOARD;
        release.ki.wVk = *key;
        release.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(release);
    }
    if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size()) {
        throw SetupError("cannot type");
    }
}

class TypingIntoTheDialogEarly : public EarlyClose, public ::testing::WithParamInterface<Typing> {};

TEST_P(TypingIntoTheDialogEarly, LaunchesNothingAndEndsWithTheLastMessagesCode) {
    ASSERT_TRUE(PollUntil(kWindowLimitMs, [&] { return GetForegroundWindow() == dialog_->handle; }))
        << "the dialog is not the foreground window";
    Type(GetParam().keys);

    EXPECT_EQ(launcher_->WaitForExit(), GetParam().exitCode);
    EXPECT_EQ(StartedStandInsAfter(kNothingLaunchedMs), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Keys, TypingIntoTheDialogEarly,
                         ::testing::Values(Typing{"Escape", {VK_ESCAPE}, VK_ESCAPE},
                                           Typing{"Enter", {VK_RETURN}, VK_RETURN},
                                           Typing{"AltF4", {VK_MENU, VK_F4}, IDCANCEL}),
                         [](const ::testing::TestParamInfo<Typing>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
