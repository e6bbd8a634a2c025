// The shell services on the simulated host: windows found by caption and the messages posted to
// them within one process, the notification area and its trace, the current directory, and the
// default machine's installation of the utility.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "kv/platform/files.h"
#include "kv/platform/notify_area.h"
#include "kv/platform/registry.h"
#include "kv/platform/system.h"
#include "kv/platform/window_messages.h"
#include "kv/sim/host.h"
#include "kv/sim/machine.h"
#include "kv/sim/testing/machine_builder.h"
#include "kv/sim/testing/scratch_directory.h"

namespace kv::platform {
namespace {

using sim::testing::MachineBuilder;
using sim::testing::traced;

constexpr uint32_t kProtocolMessage = kWmUser + 1;

struct Message {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
    bool operator==(const Message&) const = default;
};

std::string hexOf(uint32_t handle) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", handle);
    return text;
}

std::unique_ptr<MessageWindow> openWindow(std::string_view caption, std::vector<Message>& inbox) {
    return windowMessages().openWindow(caption, 0, kProtocolMessage, [&inbox](uint32_t m, uintptr_t w, intptr_t l) {
        inbox.push_back({m, w, l});
    });
}

TEST(WindowMessages, PostedWithinTheProcessArriveAtOnce) {
    MachineBuilder().install();
    std::vector<Message> inbox;
    auto window = openWindow("Main", inbox);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(windowMessages().findWindow("Other"), 0u);
    const WindowHandle found = windowMessages().findWindow("Main");
    EXPECT_EQ(found, window->handle());

    EXPECT_TRUE(windowMessages().postMessage(found, kProtocolMessage, 0, 0x5678));
    EXPECT_TRUE(windowMessages().postMessage(found, kProtocolMessage + 1, 0, 0x9ABC)) << "posted, not taken";
    EXPECT_EQ(inbox, (std::vector<Message>{{kProtocolMessage, 0, 0x5678}}));
    EXPECT_FALSE(window->deliverNative(nullptr));

    window.reset();
    EXPECT_EQ(windowMessages().findWindow("Main"), 0u);
    EXPECT_FALSE(windowMessages().postMessage(found, kProtocolMessage, 0, 0x5678));
    EXPECT_EQ(system().lastError(), err::kInvalidWindowHandle);
    const std::string h = hexOf(found);
    EXPECT_EQ(traced("window"), (std::vector<std::string>{
                                    "open \"Main\" " + h,
                                    "find \"Other\" none",
                                    "find \"Main\" " + h,
                                    "post " + h + " \"Main\" message=0x401 wparam=0x0 lparam=0x5678 ok",
                                    "receive \"Main\" message=0x401 wparam=0x0 lparam=0x5678",
                                    "post " + h + " \"Main\" message=0x402 wparam=0x0 lparam=0x9abc ok",
                                    "receive \"Main\" message=0x402 wparam=0x0 lparam=0x9abc ignored",
                                    "close \"Main\"",
                                    "find \"Main\" none",
                                    "post " + h + " \"Main\" message=0x401 wparam=0x0 lparam=0x5678 err=1400",
                                }));
}

// The record the utility puts into the notification area.
NotifyIconRecord trayRecord(WindowHandle window, IconHandle icon, uint32_t flags) {
    NotifyIconRecord record;
    record.hWnd = window;
    record.uID = 9069;
    record.uFlags = flags;
    record.uCallbackMessage = kProtocolMessage;
    record.hIcon = icon;
    std::strcpy(record.szTip, "Tavrick Diagnostic Utility");
    return record;
}

IconHandle makeIcon(uint32_t resourceId) {
    const std::vector<uint32_t> pixels(16 * 16, 0xFF008080u);
    return notifyArea().createIcon(resourceId, 16, 16, pixels);
}

TEST(NotifyArea, AddModifyDeleteTracedWithTheRecordsFields) {
    MachineBuilder().install();
    std::vector<Message> inbox;
    const auto window = openWindow("Main", inbox);
    std::vector<std::pair<NotifyAction, NotifyIcon>> seen;
    const auto observation =
        notifyArea().observe([&](NotifyAction a, const NotifyIcon& i) { seen.emplace_back(a, i); });
    const IconHandle program = makeIcon(128), frame = makeIcon(301);
    const WindowHandle owner = window->handle();

    EXPECT_TRUE(
        notifyArea().notify(NotifyAction::Add, trayRecord(owner, program, nif::kMessage | nif::kIcon | nif::kTip)));
    EXPECT_TRUE(notifyArea().notify(NotifyAction::Modify, trayRecord(owner, frame, nif::kIcon)));
    ASSERT_EQ(notifyArea().icons().size(), 1u);
    EXPECT_EQ(notifyArea().icons()[0].iconResource, 301u);
    EXPECT_EQ(notifyArea().icons()[0].tip, "Tavrick Diagnostic Utility");

    // The shell reports the pointer to the owner: wParam the icon id, lParam the action.
    EXPECT_TRUE(notifyArea().pointerAction(owner, 9069, pointer::kRightButtonDown));
    EXPECT_EQ(inbox, (std::vector<Message>{{kProtocolMessage, 9069, 0x0204}}));

    EXPECT_TRUE(notifyArea().notify(NotifyAction::Delete, trayRecord(owner, 0, 0)));
    EXPECT_TRUE(notifyArea().icons().empty());
    EXPECT_FALSE(notifyArea().pointerAction(owner, 9069, pointer::kMouseMove));

    const std::string w = hexOf(owner);
    const auto notices = traced("notify");
    ASSERT_EQ(notices.size(), 5u);
    EXPECT_EQ(notices[0], "add size=488 window=" + w +
                              " id=9069 flags=0x7 message=0x401 icon=128 tip=\"Tavrick Diagnostic Utility\" ok");
    EXPECT_EQ(notices[1], "modify size=488 window=" + w +
                              " id=9069 flags=0x2 message=0x401 icon=301 tip=\"Tavrick Diagnostic Utility\" ok");
    EXPECT_EQ(notices[3], "delete size=488 window=" + w +
                              " id=9069 flags=0x0 message=0x401 icon=0 tip=\"Tavrick Diagnostic Utility\" ok");

    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].first, NotifyAction::Add);
    EXPECT_EQ(seen[1].second.iconResource, 301u);
    EXPECT_EQ(seen[2].first, NotifyAction::Delete);
    EXPECT_EQ(seen[2].second.id, 9069u);
}

TEST(NotifyArea, TheShellRefusesWhatItCannotTake) {
    MachineBuilder().install();
    const IconHandle icon = makeIcon(128);
    const uint32_t all = nif::kMessage | nif::kIcon | nif::kTip;
    NotifyIconRecord wrongSize = trayRecord(1, icon, all);
    wrongSize.cbSize = 500;
    NotifyIconRecord longTip = trayRecord(1, icon, all);
    std::memset(longTip.szTip, 'x', sizeof longTip.szTip);  // no terminator

    const struct {
        const char* name;
        NotifyAction action;
        NotifyIconRecord record;
        bool accepted;
    } cases[] = {
        {"modify before add", NotifyAction::Modify, trayRecord(1, icon, nif::kIcon), false},
        {"delete before add", NotifyAction::Delete, trayRecord(1, icon, 0), false},
        {"unknown record size", NotifyAction::Add, wrongSize, false},
        {"no owner", NotifyAction::Add, trayRecord(0, icon, all), false},
        {"an icon handle never made", NotifyAction::Add, trayRecord(1, icon + 100, all), false},
        {"a tip without terminator", NotifyAction::Add, longTip, true},
        {"added twice", NotifyAction::Add, trayRecord(1, icon, all), false},
    };
    for (const auto& c : cases) EXPECT_EQ(notifyArea().notify(c.action, c.record), c.accepted) << c.name;
    ASSERT_EQ(notifyArea().icons().size(), 1u);
    EXPECT_EQ(notifyArea().icons()[0].tip, std::string(127, 'x'));
    EXPECT_TRUE(notifyArea().destroyIcon(icon));
    EXPECT_FALSE(notifyArea().destroyIcon(icon));
    EXPECT_EQ(notifyArea().createIcon(128, 16, 16, std::vector<uint32_t>(15)), 0u) << "too few pixels";
}

TEST(Installation, TheDefaultMachineHasTheUtilityInstalled) {
    sim::testing::ScratchDirectory scratch;
    sim::writeDefaultMachine("machine");
    sim::Host::get().install(sim::loadMachineDirectory(std::filesystem::absolute("machine")),
                             sim::SimClock::Mode::Virtual);
    RegKey settings;
    ASSERT_EQ(
        registry().openKeyA(hiveKey(Hive::LocalMachine), "SOFTWARE\\Kelvadiag", regaccess::kRead, settings.receive()),
        0u);
    char value[260] = {};
    uint32_t bytes = sizeof value;
    ASSERT_EQ(registry().queryValueA(settings.get(), "ShowTrayIcon", nullptr, value, &bytes), 0u);
    EXPECT_STREQ(value, "0");
    bytes = sizeof value;
    ASSERT_EQ(registry().queryValueA(settings.get(), "AppDir", nullptr, value, &bytes), 0u);
    EXPECT_STREQ(value, "C:\\Program Files\\Kelvadiag");

    RegKey run;
    ASSERT_EQ(registry().openKeyA(hiveKey(Hive::LocalMachine), "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                                  regaccess::kRead, run.receive()),
              0u);
    bytes = sizeof value;
    EXPECT_NE(registry().queryValueA(run.get(), "Kelvadiag", nullptr, value, &bytes), 0u);

    EXPECT_TRUE(files().exists(u"C:\\Program Files\\Kelvadiag\\Kelvadiag.exe"));
    EXPECT_TRUE(files().setCurrentDirectory(u"C:\\Program Files\\Kelvadiag"));
    EXPECT_TRUE(files().exists(u"Kelvadiag.exe")) << "relative paths now lie in the installation folder";
    EXPECT_FALSE(files().setCurrentDirectory(u"C:\\Program Files\\Missing"));
    EXPECT_EQ(traced("chdir"),
              (std::vector<std::string>{"C:\\Program Files\\Kelvadiag ok", "C:\\Program Files\\Missing err=3"}));
}

}  // namespace
}  // namespace kv::platform
