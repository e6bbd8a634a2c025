// The shell services on the system itself: a window found by its caption and a message posted to
// it by another process (kelvapost), and the notification record the shell is given.
#include <shellapi.h>

#include <cstddef>
#include <vector>

#include "kv/platform/notify_area.h"
#include "kv/platform/processes.h"
#include "kv/platform/window_messages.h"
#include "win32_test_support.h"  // windows.h first

namespace kv::test {
namespace {

constexpr uint32_t kProtocolMessage = platform::kWmUser + 1;

// Runs the messages waiting in this thread's queue through their windows.
void pumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

TEST(ShellServicesTest, AnotherProcessFindsTheWindowAndPostsToIt) {
    const std::string caption = "Kelvadiag test window " + std::to_string(GetCurrentProcessId());
    std::vector<intptr_t> received;
    auto window = platform::windowMessages().openWindow(
        caption, 0, kProtocolMessage, [&](uint32_t, uintptr_t, intptr_t l) { received.push_back(l); });
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(platform::windowMessages().findWindow(caption), window->handle());

    const auto tool = programDirectory() / "kelvapost.exe";
    ASSERT_TRUE(std::filesystem::exists(tool));
    const struct {
        const char16_t* value;
        intptr_t lParam;
        uint32_t exitCode;
    } cases[] = {{u"quit", 0x9ABC, 0}, {u"show", 0x5678, 0}, {u"0x0204", 0x0204, 0}, {u"bogus", 0, 1}};
    std::vector<intptr_t> expected;
    for (const auto& c : cases) {
        const std::u16string parameters = u"--caption \"" + utf8ToUtf16(caption) + u"\" " + c.value;
        uint32_t code = 99;
        ASSERT_TRUE(platform::processes().start({.file = u16(tool), .parameters = parameters, .wait = true}, &code));
        EXPECT_EQ(code, c.exitCode) << utf16ToUtf8(c.value);
        if (c.exitCode == 0) expected.push_back(c.lParam);
    }
    pumpMessages();
    EXPECT_EQ(received, expected);

    // A native message of the window goes to the handler; others do not.
    MSG msg{};
    msg.hwnd = reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(window->handle())));
    msg.message = kProtocolMessage;
    msg.lParam = 0x0203;
    EXPECT_TRUE(window->deliverNative(&msg));
    msg.message = WM_TIMER;
    EXPECT_FALSE(window->deliverNative(&msg));
    EXPECT_EQ(received.back(), 0x0203);

    window.reset();
    uint32_t code = 99;
    ASSERT_TRUE(platform::processes().start(
        {.file = u16(tool), .parameters = u"--caption \"" + utf8ToUtf16(caption) + u"\" quit", .wait = true}, &code));
    EXPECT_EQ(code, 2u) << "the window is gone";
}

TEST(ShellServicesTest, NotifyRecordMatchesTheShellsVersion5Record) {
    EXPECT_EQ(sizeof(platform::NotifyIconRecord), 488u);
#ifndef _WIN64
    EXPECT_EQ(offsetof(NOTIFYICONDATAA, guidItem), sizeof(platform::NotifyIconRecord));
    EXPECT_EQ(offsetof(NOTIFYICONDATAA, szTip), offsetof(platform::NotifyIconRecord, szTip));
#endif
    const std::vector<uint32_t> pixels(16 * 16, 0xFF008080u);
    const platform::IconHandle icon = platform::notifyArea().createIcon(128, 16, 16, pixels);
    EXPECT_NE(icon, 0u);
    EXPECT_EQ(platform::notifyArea().createIcon(128, 16, 16, std::vector<uint32_t>(3)), 0u);
    EXPECT_TRUE(platform::notifyArea().destroyIcon(icon));
}

}  // namespace
}  // namespace kv::test
