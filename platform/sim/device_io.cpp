// The device channel on the simulated host: the protocol driver's device.
#include "kv/platform/device_io.h"

#include "kv/sim/host.h"

namespace kv::platform {

namespace {

using sim::Host;

class FailedTransfer : public Overlapped {
public:
    explicit FailedTransfer(uint32_t error) : error_(error) {}
    IoStart started() const override { return IoStart::Failed; }
    uint32_t error() const override { return error_; }
    IoWait wait(uint32_t) override { return IoWait::Failed; }
    uint32_t bytesTransferred() const override { return 0; }

private:
    uint32_t error_;
};

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

    std::unique_ptr<Overlapped> read(NativeHandle, std::span<uint8_t>) override {
        return std::make_unique<FailedTransfer>(err::kNotSupported);
    }

    std::unique_ptr<Overlapped> write(NativeHandle, std::span<const uint8_t>) override {
        return std::make_unique<FailedTransfer>(err::kNotSupported);
    }

    bool cancel(NativeHandle handle) override {
        Host::Call call(Host::get());
        if (call.host.protocolDriver().isChannel(handle)) return true;
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
