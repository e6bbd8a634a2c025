// Generic and fixed NDIS queries, and setting an OID.
#include <array>

#include "kv/bytes.h"
#include "library_fixture.h"

namespace kv::test {
namespace {

class OidTest : public LibraryTest {
protected:
    void SetUp() override {
        Json start = Json::object();
        start.set("txBytes", Json(uint64_t{0x1122334455667788}));
        start.set("rxBytes", Json(uint64_t{0x0102030405060708}));
        start.set("txFrames", Json(4000));
        start.set("txOneCollisions", Json(57));
        machine.addAdapter().set("statistics.start", start).set("ndis.vendorDescription", Json("Tavrick NIC"));
    }
};

TEST_F(OidTest, LibraryIdsAnswerTheByteTotalsFromTheStatisticsRecord) {
    start();
    struct Case {
        uint32_t oid;
        uint64_t expected;
    } cases[] = {{0xFF445001, 0x1122334455667788}, {0xFF445002, 0x0102030405060708}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.oid);
        sim::Host::get().trace().clear();
        uint64_t value = 0;
        uint32_t length = 0;
        ASSERT_EQ(API_GetOID(c.oid, &value, 8, &length), 1);
        EXPECT_EQ(value, c.expected);
        EXPECT_EQ(length, 8u);
        // OID_GEN_STATISTICS in a 164-byte request; the library id is never sent.
        const auto requests = ioctls("0012C804");
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].substr(0, 25), "0012C804 164 164 ok 06010");
    }
    // A length that runs past the record's end is refused.
    std::array<uint8_t, 200> big{};
    uint32_t length = 0;
    EXPECT_EQ(API_GetOID(0xFF445001, big.data(), 97, &length), 0);
    EXPECT_EQ(length, 0u);
}

TEST_F(OidTest, OrdinaryIdsSendTwelvePlusLengthBytes) {
    start();
    uint32_t frames = 0;
    uint32_t length = 0;
    ASSERT_EQ(API_GetOID(0x00020101, &frames, 4, &length), 1);  // OID_GEN_XMIT_OK
    EXPECT_EQ(frames, 4000u);
    EXPECT_EQ(length, 4u);
    EXPECT_EQ(ioctls("0012C804"), std::vector<std::string>{"0012C804 16 16 ok 01010200" + std::string(24, '0')});

    uint64_t wide = 0;
    ASSERT_EQ(API_GetOID(0x00020101, &wide, 8, &length), 1);
    EXPECT_EQ(wide, 4000u);
    EXPECT_EQ(ioctls("0012C804").back().substr(0, 15), "0012C804 20 20 ");
}

TEST_F(OidTest, FailedOrOversizedQueriesLeaveTheOutput) {
    machine.adapter(0).fault("failingOids", jsonArray({"0x00020106"}));
    start();
    uint64_t value = 7;
    uint32_t length = 3;
    EXPECT_EQ(API_GetOID(0xFF445001, &value, 8, &length), 0);
    EXPECT_EQ(API_GetOID(0x12345678, &value, 8, &length), 0);  // no hardware block answers it
    EXPECT_EQ(value, 7u);
    EXPECT_EQ(length, 3u);
    // A length whose request size would wrap around is refused without a request.
    sim::Host::get().trace().clear();
    EXPECT_EQ(API_GetOID(0x00020101, &value, 0xFFFFFFF8u, &length), 0);
    EXPECT_TRUE(ioctls("0012C804").empty());
}

TEST_F(OidTest, SetOidAlwaysSendsSixteenBytes) {
    start();
    const uint8_t value[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    struct Case {
        uint32_t length;
        std::string data;
    } cases[] = {
        {0, "0000000000000000"},
        {4, "0102030400000000"},
        {8, "0102030405060708"},
        {12, "0102030405060708"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        sim::Host::get().trace().clear();
        API_SetOID(0x0001010E, value, c.length);  // OID_GEN_CURRENT_PACKET_FILTER
        const auto sets = ioctls("0012C814");
        ASSERT_EQ(sets.size(), 1u);
        EXPECT_EQ(sets[0].substr(0, 15), "0012C814 16 16 ");
        EXPECT_EQ(sets[0].substr(sets[0].size() - 32), "0e01010000000000" + c.data);
    }
}

TEST_F(OidTest, FixedQueries) {
    start();
    std::array<uint8_t, 152> statistics{};
    ASSERT_EQ(API_GetStatistics(statistics.data()), 1);
    EXPECT_EQ(readU64(statistics, 56), 0x1122334455667788u);

    std::array<char, 50> description;
    description.fill('#');
    ASSERT_EQ(API_GetDriverDescription(reinterpret_cast<uint8_t*>(description.data())), 1);
    EXPECT_STREQ(description.data(), "Tavrick NIC");
    EXPECT_EQ(ioctls("0012C804").at(1).substr(0, 15), "0012C804 62 62 ");

    int collisions = 0;
    ASSERT_EQ(API_GetTXRetryCount(&collisions), 1);
    EXPECT_EQ(collisions, 57);
}

}  // namespace
}  // namespace kv::test
