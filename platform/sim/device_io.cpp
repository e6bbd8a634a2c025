// The device channel on the simulated host: the protocol driver's device.
#include "kv/platform/device_io.h"

#include "kv/sim/host.h"

namespace kv::platform {

namespace {

using sim::Host;

// One frame transfer on the simulated channel. The driver completes it; waiting runs the
// simulated timeline until it completes or the timeout passes.
class SimTransfer : public Overlapped {
public:
    explicit SimTransfer(sim::FrameTransferPtr transfer) : transfer_(std::move(transfer)) {
        using State = sim::FrameTransfer::State;
        started_ = transfer_->state == State::Completed ? IoStart::CompletedAtOnce
                   : transfer_->state == State::Failed  ? IoStart::Failed
                                                        : IoStart::Pending;
    }

    ~SimTransfer() override {
        Host::Call call(Host::get());
        if (transfer_->state == sim::FrameTransfer::State::Pending) call.host.protocolDriver().abandon(transfer_);
    }

    IoStart started() const override { return started_; }

    uint32_t error() const override {
        Host::Call call(Host::get());
        return transfer_->error;
    }

    IoWait wait(uint32_t timeoutMs) override {
        using State = sim::FrameTransfer::State;
        Host& host = Host::get();
        host.waitFor(timeoutMs, [this] { return transfer_->state != State::Pending; });
        Host::Call call(host);
        switch (transfer_->state) {
            case State::Completed:
                return IoWait::Completed;
            case State::Failed:
                Host::setLastError(transfer_->error);
                return IoWait::Failed;
            case State::Pending:
                break;
        }
        call.host.protocolDriver().timedOut(*transfer_);
        return IoWait::TimedOut;
    }

    uint32_t bytesTransferred() const override {
        Host::Call call(Host::get());
        return transfer_->bytes;
    }

private:
    sim::FrameTransferPtr transfer_;
    IoStart started_;
};

std::unique_ptr<Overlapped> started(sim::FrameTransferPtr transfer) {
    if (transfer->state == sim::FrameTransfer::State::Failed) Host::setLastError(transfer->error);
    return std::make_unique<SimTransfer>(std::move(transfer));
}

class SimDeviceIo : public DeviceIo {
public:
    NativeHandle openDevice(std::u16string_view path) override {
        Host::Call call(Host::get());
        uint32_t error = 0;
        void* handle = call.host.protocolDriver().open(path, &error);
        if (!handle) {
            Host::setLastError(error);
            return invalidHandle();
        }
        return handle;
    }

    bool closeHandle(NativeHandle handle) override {
        Host::Call call(Host::get());
        if (call.host.protocolDriver().close(handle)) return true;
        Host::setLastError(err::kInvalidHandle);
        return false;
    }

    bool control(NativeHandle handle, uint32_t code, const void* in, uint32_t inLength, void* out,
                 uint32_t outLength, uint32_t* bytesReturned) override {
        Host::Call call(Host::get());
        const std::span<const uint8_t> input(static_cast<const uint8_t*>(in), in ? inLength : 0);
        const std::span<uint8_t> output(static_cast<uint8_t*>(out), out ? outLength : 0);
        const uint32_t result = call.host.protocolDriver().control(handle, code, input, output);
        if (result != err::kSuccess) {
            Host::setLastError(result);
            return false;
        }
        if (bytesReturned) *bytesReturned = static_cast<uint32_t>(output.size());
        return true;
    }

    std::unique_ptr<Overlapped> read(NativeHandle handle, std::span<uint8_t> buffer) override {
        Host::Call call(Host::get());
        return started(call.host.protocolDriver().read(handle, buffer));
    }

    std::unique_ptr<Overlapped> write(NativeHandle handle, std::span<const uint8_t> frame) override {
        Host::Call call(Host::get());
        return started(call.host.protocolDriver().write(handle, frame));
    }

    bool cancel(NativeHandle handle) override {
        Host::Call call(Host::get());
        if (call.host.protocolDriver().cancel(handle)) return true;
        Host::setLastError(err::kInvalidHandle);
        return false;
    }
};

}  // namespace

DeviceIo& deviceIo() {
    static SimDeviceIo instance;
    return instance;
}

}  // namespace kv::platform
