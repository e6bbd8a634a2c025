// Listing the bound adapters and selecting the current one.
#include <algorithm>

#include "library_fixture.h"

namespace kv::test {
namespace {

using AdapterListTest = LibraryTest;

std::string descriptionOf(const AdapterList_A& list, size_t i) { return list.Description[i]; }

TEST_F(AdapterListTest, ListsEveryBindingAndSelectsTheFirst) {
    machine.addAdapter(0x4450, "Tavrick Gigabit 4450");
    machine.addAdapter(0x4420, "Tavrick Fast 4420");
    machine.install();
    ASSERT_EQ(API_Open(), 1);
    AdapterList_A list{};
    list.Current = 5;
    ASSERT_EQ(API_GetAdapterList_A(&list), 1);
    EXPECT_EQ(list.Count, 2u);
    EXPECT_EQ(list.Current, 0u);
    EXPECT_EQ(descriptionOf(list, 0), "Tavrick Gigabit 4450\n");
    EXPECT_EQ(descriptionOf(list, 1), "Tavrick Fast 4420\n");
    EXPECT_EQ(list.ParentIndex[0], -1);
    EXPECT_EQ(list.ParentIndex[1], -1);

    // Binding queries 0, 1 and 2 (the end), each a 20-byte request with a 2048-byte reply.
    const auto queries = ioctls("0012C80C");
    ASSERT_EQ(queries.size(), 3u);
    EXPECT_EQ(queries[0], "0012C80C 20 2048 ok 0000000000000000000000000000000000000000");
    EXPECT_EQ(queries[1], "0012C80C 20 2048 ok 0100000000000000000000000000000000000000");
    EXPECT_EQ(queries[2], "0012C80C 20 2048 err=259 0200000000000000000000000000000000000000");
    // Adapter 0 is opened by its device name, without terminator.
    const std::string name = "\\DEVICE\\" + MachineBuilder::guidOf(0);
    EXPECT_EQ(ioctls("0012C800"),
              std::vector<std::string>{"0012C800 " + std::to_string(name.size() * 2) + " 0 ok " + utf16Hex(name)});
}

TEST_F(AdapterListTest, WideFormFillsTheSameRecord) {
    machine.addAdapter(0x4450, "Tavrick Gigabit 4450");
    machine.install();
    API_Open();
    auto list = std::make_unique<AdapterList_W>();
    ASSERT_EQ(API_GetAdapterList_W(list.get()), 1);
    EXPECT_EQ(list->Count, 1u);
    const std::u16string expected = u"Tavrick Gigabit 4450\n";
    EXPECT_EQ(std::u16string(list->Description[0]), expected);
    EXPECT_EQ(API_GetAdapterList_W(nullptr), 0);
}

TEST_F(AdapterListTest, NoAdapterBound) {
    machine.install();
    API_Open();
    AdapterList_A list{};
    list.Count = 9;
    list.Current = 9;
    EXPECT_EQ(API_GetAdapterList_A(&list), 1);
    EXPECT_EQ(list.Count, 0u);
    EXPECT_EQ(list.Current, 0u);
    // The selection of index 0 that follows every listing fails on an empty slot.
    EXPECT_EQ(traced("msgbox"), std::vector<std::string>{"Set Error code is 2"});
}

TEST_F(AdapterListTest, TheTableHoldsTenAdapters) {
    for (int i = 0; i < 11; ++i) machine.addAdapter();
    machine.install();
    API_Open();
    AdapterList_A list{};
    ASSERT_EQ(API_GetAdapterList_A(&list), 1);
    EXPECT_EQ(list.Count, 10u);
    // The 11th binding is never asked for.
    EXPECT_EQ(ioctls("0012C80C").size(), 10u);
    EXPECT_EQ(API_SetCurrAdaptIdx(9), 1);
}

TEST_F(AdapterListTest, AnAbnormalEndLeavesCountUnwritten) {
    machine.addAdapter();
    machine.addAdapter();
    machine.set("protocolDriver.faults.enumerationError", Json(int64_t{31}));
    machine.set("protocolDriver.faults.enumerationErrorAt", Json(int64_t{1}));
    machine.install();
    API_Open();
    AdapterList_A list{};
    list.Count = 77;
    EXPECT_EQ(API_GetAdapterList_A(&list), 0);
    EXPECT_EQ(list.Count, 77u);
    EXPECT_EQ(traced("stdout"), std::vector<std::string>{"EnumerateDevices: terminated abnormally, error 31"});
    EXPECT_TRUE(ioctls("0012C800").empty());
}

TEST_F(AdapterListTest, LongTextsAreCutToTheirSlots) {
    const std::string longGuid = "{" + std::string(300, 'A') + "}";
    const std::string longDescription = "Tavrick " + std::string(400, 'd');
    machine.addAdapter(0x4450, longDescription).set("guid", Json(longGuid));
    machine.install();
    API_Open();
    AdapterList_A list{};
    ASSERT_EQ(API_GetAdapterList_A(&list), 1);
    // 258 characters, the line feed and the terminator fill the 260-character slot.
    EXPECT_EQ(descriptionOf(list, 0), longDescription.substr(0, 258) + "\n");
    // The device name goes out cut to 255 characters.
    const std::string name = ("\\DEVICE\\" + longGuid).substr(0, 255);
    EXPECT_EQ(ioctls("0012C800"), std::vector<std::string>{"0012C800 510 0 err=2 " + utf16Hex(name)});
}

TEST_F(AdapterListTest, MalformedBindingRepliesAreReadWithinTheBuffer) {
    machine.addAdapter(0x4450, "Tavrick A").fault("bindingNameUnterminated", Json(true));
    machine.addAdapter(0x4450, "Tavrick B").fault("bindingNameOffset", Json(int64_t{5000}));
    machine.install();
    API_Open();
    AdapterList_A list{};
    ASSERT_EQ(API_GetAdapterList_A(&list), 1);
    EXPECT_EQ(list.Count, 2u);
    // The unterminated name runs to the end of the 2048-byte reply: (2048 - 20) / 2 characters,
    // cut to the 255 the table keeps.
    EXPECT_EQ(ioctls("0012C800").at(0).substr(0, 13), "0012C800 510 ");
    // A name offset past the buffer reads as an empty name.
    EXPECT_EQ(API_SetCurrAdaptIdx(1), 0);
    EXPECT_EQ(ioctls("0012C800").back(), "0012C800 0 0 err=2 ");
}

using SelectionTest = LibraryTest;

TEST_F(SelectionTest, SelectingReopensTheChannelAndSwitchesDiagnosticMode) {
    machine.addAdapter();
    machine.addAdapter();
    start();
    KV_HANDLE before = GetProtocolHandle();
    ASSERT_EQ(API_SetCurrAdaptIdx(1), 1);
    EXPECT_NE(GetProtocolHandle(), before);
    const auto lines = traced("ioctl");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "0012C810 0 0 ok ");
    EXPECT_EQ(lines[1].substr(0, 9), "0012C800 ");
    EXPECT_EQ(lines[2].substr(0, 15), "0012C804 12 12 ");
    EXPECT_TRUE(adapter(1).diagEnabled);
}

TEST_F(SelectionTest, IndexOutsideTheTableFailsWithoutReadingPastIt) {
    machine.addAdapter();
    start();
    for (int index : {10, 57, -1, -3}) {
        SCOPED_TRACE(index);
        sim::Host::get().trace().clear();
        EXPECT_EQ(API_SetCurrAdaptIdx(index), 0);
        EXPECT_EQ(ioctls("0012C800"), std::vector<std::string>{"0012C800 0 0 err=2 "});
        EXPECT_EQ(traced("msgbox"), std::vector<std::string>{"Set Error code is 2"});
    }
}

TEST_F(SelectionTest, ClosedChannelReportsTheInvalidHandle) {
    machine.addAdapter();
    start();
    sim::Host::get().machine().protocolDriver.running = false;
    EXPECT_EQ(API_SetCurrAdaptIdx(0), 0);
    EXPECT_EQ(traced("msgbox"), (std::vector<std::string>{"INVALID_HANDLE_VALUE", "Set Error code is 6"}));
}

TEST_F(SelectionTest, OpenDeviceErrorsOtherThanBusyShowTheirNumber) {
    machine.addAdapter().fault("openDeviceError", Json(int64_t{1167}));
    start();
    EXPECT_EQ(API_SetCurrAdaptIdx(0), 0);
    EXPECT_EQ(traced("msgbox"), std::vector<std::string>{"Set Error code is 1167"});
}

TEST_F(SelectionTest, BusyAdapterEndsTheProcess) {
    machine.addAdapter();
    machine.addAdapter().fault("busy", Json(true));
    start();
    EXPECT_EXIT(API_SetCurrAdaptIdx(1), ::testing::ExitedWithCode(255), "");
}

TEST_F(SelectionTest, MakerAdapterIsChosenCaseSensitivelyAtTheLowestIndex) {
    machine.addForeignAdapter("Orrin Networks 10/100");
    machine.addAdapter(0x4450, "TAVRICK upper case");
    machine.addAdapter(0x4450, "Tavrick first");
    machine.addAdapter(0x4420, "Tavrick second");
    start();
    EXPECT_EQ(API_HPSetIndex(), 1);
    const std::string name = "\\DEVICE\\" + MachineBuilder::guidOf(2);
    EXPECT_EQ(ioctls("0012C800").back(), "0012C800 " + std::to_string(name.size() * 2) + " 0 ok " + utf16Hex(name));
}

TEST_F(SelectionTest, NoMakerAdapter) {
    machine.addForeignAdapter();
    machine.addAdapter(0x4450, "tavrick lower case");
    start();
    EXPECT_EQ(API_HPSetIndex(), 0);
}

using PresenceTest = LibraryTest;

TEST_F(PresenceTest, SucceedsOnTheTwentiethAttempt) {
    machine.addAdapter();
    sim::Host& host = start();
    adapter(0).present = false;
    // Attempts run at 500, 1000, ... 10000 ms; the adapter returns just before the last.
    host.clock().schedule(9750, [&] { adapter(0).present = true; });
    EXPECT_EQ(API_CheckCardPresent(), 1);
    EXPECT_EQ(sleptMs(), 10000u);
    EXPECT_EQ(traced("msgbox").size(), 19u);
}

TEST_F(PresenceTest, GivesUpAfterTwentyAttempts) {
    machine.addAdapter();
    start();
    adapter(0).present = false;
    EXPECT_EQ(API_CheckCardPresent(), 0);
    EXPECT_EQ(sleptMs(), 10000u);
    const auto boxes = traced("msgbox");
    ASSERT_EQ(boxes.size(), 21u);
    EXPECT_EQ(std::count(boxes.begin(), boxes.end(), "Set Error code is 2"), 20);
    EXPECT_EQ(boxes.back(), "Card has beeen disable");
}

TEST_F(PresenceTest, PresentAdapterAnswersAtTheFirstAttempt) {
    machine.addAdapter();
    start();
    EXPECT_EQ(API_CheckCardPresent(), 1);
    EXPECT_EQ(traced("sleep"), std::vector<std::string>{"500"});
}

}  // namespace
}  // namespace kv::test
