// The device channel on a real handle: the protocol driver's device is absent here, so the
// overlapped machinery runs on a message-mode named pipe, which carries one frame per read or
// write as the driver's device does.
#include "kv/platform/device_io.h"

#include <future>
#include <string>

#include "kv/platform/system.h"
#include "kv/protocol.h"
#include "win32_test_support.h"

namespace kv::test {
namespace {

using platform::deviceIo;
using platform::IoStart;
using platform::IoWait;
using platform::NativeHandle;

TEST(DeviceIoTest, TheAbsentDriverDeviceDoesNotOpen) {
    EXPECT_EQ(deviceIo().openDevice(protocol::kDevicePath), platform::invalidHandle());
    const uint32_t error = platform::system().lastError();
    EXPECT_TRUE(error == platform::err::kFileNotFound || error == platform::err::kPathNotFound) << error;
}

TEST(DeviceIoTest, RequestsOnTheInvalidHandleFailAndReturnNothing) {
    uint32_t returned = 77;
    uint8_t reply[16] = {};
    EXPECT_FALSE(deviceIo().control(platform::invalidHandle(), protocol::IOCTL_PROT_QUERY_OID, reply, sizeof reply,
                                    reply, sizeof reply, &returned));
    EXPECT_EQ(platform::system().lastError(), platform::err::kInvalidHandle);
    EXPECT_EQ(returned, 77u);
}

// FSCTL codes of the named-pipe file system.
constexpr uint32_t kPipeListen = 0x00110008;
constexpr uint32_t kPipePeek = 0x0011400C;

class PipeChannelTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        name_ = u"\\\\.\\pipe\\kelvadiag-" + kv::utf8ToUtf16(std::to_string(GetCurrentProcessId())) + u"-" +
                kv::utf8ToUtf16(std::to_string(++counter));
        const std::wstring wname(name_.begin(), name_.end());
        server_ = CreateNamedPipeW(wname.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                   PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
        ASSERT_NE(server_, INVALID_HANDLE_VALUE);
    }

    void TearDown() override {
        if (platform::isValid(client_)) deviceIo().closeHandle(client_);
        CloseHandle(server_);
    }

    void connect() {
        client_ = deviceIo().openDevice(name_);
        ASSERT_TRUE(platform::isValid(client_)) << platform::system().lastError();
    }

    // A frame from the driver's side, written to completion.
    void serverSends(const std::string& frame) {
        auto transfer =
            deviceIo().write(server_, std::span(reinterpret_cast<const uint8_t*>(frame.data()), frame.size()));
        ASSERT_NE(transfer->started(), IoStart::Failed) << transfer->error();
        if (transfer->started() == IoStart::Pending) {
            ASSERT_EQ(transfer->wait(5000), IoWait::Completed);
        }
    }

    std::u16string name_;
    HANDLE server_ = INVALID_HANDLE_VALUE;
    NativeHandle client_ = platform::invalidHandle();
};

// The request is issued with an OVERLAPPED and the call waits for it: the caller sees a
// synchronous request even when the device completes it later.
TEST_F(PipeChannelTest, AControlRequestThatPendsCompletesBeforeTheCallReturns) {
    auto listening = std::async(std::launch::async, [&] {
        uint32_t returned = 0;
        return deviceIo().control(server_, kPipeListen, nullptr, 0, nullptr, 0, &returned);
    });
    EXPECT_EQ(listening.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    connect();
    ASSERT_EQ(listening.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_TRUE(listening.get());
}

TEST_F(PipeChannelTest, AControlRequestReturnsItsOutputAndLength) {
    connect();
    serverSends("frame");
    uint8_t reply[64] = {};
    uint32_t returned = 0;
    ASSERT_TRUE(deviceIo().control(client_, kPipePeek, nullptr, 0, reply, sizeof reply, &returned))
        << platform::system().lastError();
    // Pipe state, bytes available, message count, message length, then the data.
    EXPECT_EQ(returned, 16u + 5u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(reply + 16), 5), "frame");
}

TEST_F(PipeChannelTest, AReadPendsUntilAFrameArrives) {
    connect();
    uint8_t buffer[64] = {};
    auto read = deviceIo().read(client_, buffer);
    ASSERT_EQ(read->started(), IoStart::Pending);
    EXPECT_EQ(read->wait(20), IoWait::TimedOut);
    serverSends("frame-1");
    ASSERT_EQ(read->wait(5000), IoWait::Completed);
    EXPECT_EQ(read->bytesTransferred(), 7u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 7), "frame-1");
    // A finished transfer answers again without waiting.
    EXPECT_EQ(read->wait(0), IoWait::Completed);
}

TEST_F(PipeChannelTest, AFrameAlreadyWaitingIsReadAtOnce) {
    connect();
    serverSends("frame-2");
    uint8_t buffer[64] = {};
    auto read = deviceIo().read(client_, buffer);
    EXPECT_EQ(read->started(), IoStart::CompletedAtOnce);
    EXPECT_EQ(read->bytesTransferred(), 7u);
    EXPECT_EQ(read->wait(0), IoWait::Completed);
}

TEST_F(PipeChannelTest, AWrittenFrameArrivesWhole) {
    connect();
    const std::string frame(270, 'x');
    auto write = deviceIo().write(client_, std::span(reinterpret_cast<const uint8_t*>(frame.data()), frame.size()));
    ASSERT_NE(write->started(), IoStart::Failed) << write->error();
    ASSERT_EQ(write->wait(5000), IoWait::Completed);
    EXPECT_EQ(write->bytesTransferred(), 270u);
    uint8_t buffer[512] = {};
    auto read = deviceIo().read(server_, buffer);
    if (read->started() == IoStart::Pending) {
        ASSERT_EQ(read->wait(5000), IoWait::Completed);
    }
    EXPECT_EQ(read->bytesTransferred(), 270u);
}

// A pending read owns the buffer until it is cancelled: destroying it must cancel it and wait,
// so that the next frame goes to the next read and never into the old buffer.
TEST_F(PipeChannelTest, DestroyingAPendingReadCancelsIt) {
    connect();
    uint8_t abandoned[64] = {};
    deviceIo().read(client_, abandoned).reset();
    serverSends("frame-3");
    uint8_t buffer[64] = {};
    auto read = deviceIo().read(client_, buffer);
    if (read->started() == IoStart::Pending) {
        ASSERT_EQ(read->wait(5000), IoWait::Completed);
    }
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), read->bytesTransferred()), "frame-3");
    EXPECT_EQ(abandoned[0], 0);
}

TEST_F(PipeChannelTest, CancelEndsThePendingTransfersOfTheThread) {
    connect();
    uint8_t buffer[64] = {};
    auto read = deviceIo().read(client_, buffer);
    ASSERT_EQ(read->started(), IoStart::Pending);
    EXPECT_TRUE(deviceIo().cancel(client_));
    EXPECT_EQ(read->wait(5000), IoWait::Failed);
    EXPECT_EQ(read->error(), platform::err::kOperationAborted);
}

}  // namespace
}  // namespace kv::test
