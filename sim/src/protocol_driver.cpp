#include "kv/sim/protocol_driver.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "kv/bytes.h"
#include "kv/platform/types.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/frame_port.h"
#include "kv/sim/driver_stand_in.h"
#include "kv/sim/host.h"
#include "kv/text.h"

namespace kv::sim {

namespace err = kv::platform::err;

namespace {

char hexDigit(unsigned v) { return "0123456789ABCDEF"[v & 15]; }

std::string codeText(uint32_t code) {
    std::string s(8, '0');
    for (int i = 7; i >= 0; --i, code >>= 4) s[i] = hexDigit(code);
    return s;
}

// Writes a NUL-terminated UTF-16 string at off; returns the bytes written without the terminator.
uint32_t putString(std::span<uint8_t> out, uint32_t off, std::u16string_view text) {
    uint32_t written = 0;
    for (char16_t c : text) {
        if (off + written + 4 > out.size()) break;  // keep room for the terminator
        writeU16(out, off + written, c);
        written += 2;
    }
    writeU16(out, off + written, 0);
    return written;
}

}  // namespace

void* ProtocolDriver::open(std::u16string_view path, uint32_t* error) {
    const auto& cfg = host_.machine().protocolDriver;
    if (!equalsIgnoreCase(path, cfg.devicePath) || !cfg.installed || !cfg.running) {
        *error = err::kFileNotFound;
        return nullptr;
    }
    const uint32_t openError = standIn_ ? standIn_->open() : cfg.openError;
    if (openError != 0) {
        *error = openError;
        return nullptr;
    }
    // The device admits one open handle at a time (opened with share mode 0).
    bool inUse = false;
    channels_.forEach([&](ChannelState&) { inUse = true; });
    if (inUse) {
        *error = err::kSharingViolation;
        return nullptr;
    }
    return channels_.add(ChannelState{});
}

bool ProtocolDriver::close(void* handle) {
    ChannelState* channel = channels_.find(handle);
    if (!channel) return false;
    // Closing the handle ends its transfers, as the system cancels a closing file's I/O.
    auto abort = [this](const FrameTransferPtr& t) {
        t->state = FrameTransfer::State::Failed;
        t->error = err::kOperationAborted;
        traceTransfer(*t, "err=" + std::to_string(err::kOperationAborted));
    };
    for (auto& t : channel->pendingReads) abort(t);
    for (auto& t : channel->pendingWrites) abort(t);
    return channels_.remove(handle);
}

Adapter* ProtocolDriver::startTransfer(void* handle, const FrameTransferPtr& t, ChannelState*& channel) {
    channel = channels_.find(handle);
    if (standIn_ && channel) {
        standInTransfer(*channel, t);
        return nullptr;
    }
    Adapter* adapter = channel ? channel->adapter : nullptr;
    if (!channel)
        failTransfer(*t, err::kInvalidHandle);
    else if (!adapter || !adapter->present || !adapter->bound || !adapter->component<FramePort>())
        failTransfer(*t, err::kDeviceNotConnected);
    else
        return adapter;
    return nullptr;
}

void ProtocolDriver::failTransfer(FrameTransfer& t, uint32_t error) {
    t.state = FrameTransfer::State::Failed;
    t.error = error;
    traceTransfer(t, "err=" + std::to_string(error));
}

void ProtocolDriver::traceTransfer(const FrameTransfer& t, std::string_view result) {
    const bool completed = t.state == FrameTransfer::State::Completed;
    std::span<const uint8_t> bytes;
    uint32_t length = 0;
    if (t.isRead) {
        // A read shows the frame it got; an unfinished one the length it asked for.
        length = completed ? t.bytes : static_cast<uint32_t>(t.buffer.size());
        // A driver may claim more bytes than the buffer holds; only the buffer can be shown.
        if (completed) bytes = t.buffer.first(std::min<size_t>(t.bytes, t.buffer.size()));
    } else {
        length = static_cast<uint32_t>(t.frame.size());
        bytes = t.frame;
    }
    host_.trace().add(std::string(t.isRead ? "read " : "write ") + std::to_string(length) + " " + std::string(result) +
                      " " + Trace::hex(bytes));
}

FrameTransferPtr ProtocolDriver::read(void* handle, std::span<uint8_t> buffer) {
    auto t = std::make_shared<FrameTransfer>();
    t->isRead = true;
    t->buffer = buffer;
    ChannelState* channel = nullptr;
    Adapter* adapter = startTransfer(handle, t, channel);
    if (!adapter) return t;
    // Reads are served in the order they were issued: a new one waits behind pending ones.
    if (channel->pendingReads.empty()) {
        if (auto n = adapter->component<FramePort>()->take(*adapter, buffer)) {
            t->state = FrameTransfer::State::Completed;
            t->bytes = *n;
            traceTransfer(*t, "ok");
            return t;
        }
    }
    channel->pendingReads.push_back(t);
    return t;
}

FrameTransferPtr ProtocolDriver::write(void* handle, std::span<const uint8_t> frame) {
    auto t = std::make_shared<FrameTransfer>();
    t->frame.assign(frame.begin(), frame.end());
    ChannelState* channel = nullptr;
    Adapter* adapter = startTransfer(handle, t, channel);
    if (!adapter) return t;
    uint32_t error = 0;
    switch (adapter->component<FramePort>()->transmit(*adapter, frame, &error)) {
        case FramePort::SendResult::Sent:
            t->state = FrameTransfer::State::Completed;
            t->bytes = static_cast<uint32_t>(frame.size());
            traceTransfer(*t, "ok");
            break;
        case FramePort::SendResult::Failed:
            failTransfer(*t, error);
            break;
        case FramePort::SendResult::Pending:
            channel->pendingWrites.push_back(t);
            break;
    }
    return t;
}

void ProtocolDriver::standInTransfer(ChannelState& channel, const FrameTransferPtr& t) {
    standIn_->transfer(t);
    switch (t->state) {
        case FrameTransfer::State::Completed:
            traceTransfer(*t, "ok");
            break;
        case FrameTransfer::State::Failed:
            traceTransfer(*t, "err=" + std::to_string(t->error));
            break;
        case FrameTransfer::State::Pending:
            if (t->isRead)
                channel.pendingReads.push_back(t);
            else
                channel.pendingWrites.push_back(t);
            break;
    }
}

void ProtocolDriver::timedOut(const FrameTransfer& transfer) { traceTransfer(transfer, "timeout"); }

bool ProtocolDriver::cancel(void* handle) {
    ChannelState* channel = channels_.find(handle);
    if (!channel) return false;
    size_t count = 0;
    auto abort = [&count](const FrameTransferPtr& t) {
        t->state = FrameTransfer::State::Failed;
        t->error = err::kOperationAborted;
        ++count;
    };
    for (auto& t : channel->pendingReads) abort(t);
    for (auto& t : channel->pendingWrites) abort(t);
    channel->pendingReads.clear();
    channel->pendingWrites.clear();
    host_.trace().add("cancel " + std::to_string(count));
    return true;
}

void ProtocolDriver::abandon(const FrameTransferPtr& transfer) {
    channels_.forEach([&](ChannelState& channel) {
        std::erase(channel.pendingReads, transfer);
        std::erase(channel.pendingWrites, transfer);
    });
}

void ProtocolDriver::framesWaiting(Adapter& adapter) {
    auto* port = adapter.component<FramePort>();
    if (!port) return;
    channels_.forEach([&](ChannelState& channel) {
        if (channel.adapter != &adapter) return;
        while (!channel.pendingReads.empty()) {
            const auto t = channel.pendingReads.front();
            const auto n = port->take(adapter, t->buffer);
            if (!n) break;
            channel.pendingReads.pop_front();
            t->state = FrameTransfer::State::Completed;
            t->bytes = *n;
            traceTransfer(*t, "pending-ok");
        }
    });
}

uint32_t ProtocolDriver::control(void* handle, uint32_t code, std::span<const uint8_t> inView, std::span<uint8_t> out) {
    // The input may share the output buffer; keep a copy of what came in.
    const std::vector<uint8_t> in(inView.begin(), inView.end());
    uint32_t result = err::kSuccess;
    ChannelState* channel = channels_.find(handle);
    if (!channel) {
        result = err::kInvalidHandle;
    } else if (standIn_) {
        result = standIn_->control(code, in, out);
    } else {
        switch (code) {
            case protocol::IOCTL_PROT_BIND_WAIT:
                result = host_.machine().protocolDriver.bindWaitError;
                break;
            case protocol::IOCTL_PROT_QUERY_BINDING:
                result = queryBinding(in, out);
                break;
            case protocol::IOCTL_PROT_OPEN_DEVICE:
                result = openAdapter(*channel, in);
                break;
            case protocol::IOCTL_PROT_QUERY_OID:
            case protocol::IOCTL_PROT_SET_OID:
                result = oidRequest(*channel, code, in, out);
                break;
            default:
                result = err::kInvalidFunction;
        }
    }
    host_.trace().add("ioctl " + codeText(code) + " " + std::to_string(in.size()) + " " + std::to_string(out.size()) +
                      " " + (result == 0 ? std::string("ok") : "err=" + std::to_string(result)) + " " + Trace::hex(in));
    return result;
}

uint32_t ProtocolDriver::queryBinding(std::span<const uint8_t> in, std::span<uint8_t> out) {
    if (in.size() < 4 || out.size() < protocol::kBindingReplyBytes) return err::kInsufficientBuffer;
    const uint32_t index = readU32(in, 0);
    const auto& cfg = host_.machine().protocolDriver;
    if (cfg.enumerationError != 0 && index >= cfg.enumerationErrorAt) return cfg.enumerationError;
    const auto bound = host_.machine().boundAdapters();
    if (index >= bound.size()) return err::kNoMoreItems;
    const Adapter& adapter = *bound[index];

    auto reply = out.first(protocol::kBindingReplyBytes);
    std::fill(reply.begin(), reply.end(), 0);
    writeU32(reply, 0, index);
    const uint32_t nameOffset = protocol::kBindingQueryBytes;
    if (adapter.faults.bindingNameUnterminated) {
        // A reply whose name fills the buffer to its very end without a terminator.
        const std::u16string name = adapter.deviceName();
        for (uint32_t off = nameOffset, i = 0; off + 2 <= reply.size(); off += 2, ++i)
            writeU16(reply, off, i < name.size() ? name[i] : u'X');
        writeU32(reply, 4, nameOffset);
        writeU32(reply, 8, static_cast<uint32_t>(reply.size() - nameOffset));
        writeU32(reply, 12, nameOffset);
        writeU32(reply, 16, static_cast<uint32_t>(reply.size() - nameOffset));
        return err::kSuccess;
    }
    const uint32_t nameBytes = putString(reply, nameOffset, adapter.deviceName());
    const uint32_t descrOffset = nameOffset + nameBytes + 2;
    const uint32_t descrBytes = putString(reply, descrOffset, adapter.description);
    writeU32(reply, 4, adapter.faults.bindingNameOffset ? adapter.faults.bindingNameOffset : nameOffset);
    writeU32(reply, 8, nameBytes);
    writeU32(reply, 12, descrOffset);
    writeU32(reply, 16, descrBytes);
    return err::kSuccess;
}

uint32_t ProtocolDriver::openAdapter(ChannelState& channel, std::span<const uint8_t> in) {
    std::u16string name;
    for (size_t i = 0; i + 1 < in.size(); i += 2) name.push_back(static_cast<char16_t>(readU16(in, i)));
    Adapter* adapter = host_.machine().adapterByDeviceName(name);
    if (!adapter || !adapter->bound || !adapter->present) return err::kFileNotFound;
    if (adapter->faults.busy) return err::kBusy;
    if (adapter->faults.openDeviceError) return adapter->faults.openDeviceError;
    channel.adapter = adapter;
    return err::kSuccess;
}

uint32_t ProtocolDriver::oidRequest(ChannelState& channel, uint32_t code, std::span<const uint8_t> in,
                                    std::span<uint8_t> out) {
    if (in.size() < protocol::kOidHeaderBytes || out.size() < protocol::kOidHeaderBytes) return err::kInvalidParameter;
    if (!channel.adapter || !channel.adapter->present || !channel.adapter->bound) return err::kDeviceNotConnected;
    // The driver answers in the request's own buffer: the output starts as a copy of the input.
    std::vector<uint8_t> buffer(out.size(), 0);
    std::copy_n(in.begin(), std::min(in.size(), buffer.size()), buffer.begin());
    OidCall call;
    call.oid = readU32(buffer, 0);
    call.isSet = code == protocol::IOCTL_PROT_SET_OID;
    call.data = std::span<uint8_t>(buffer).subspan(protocol::kOidHeaderBytes);
    const uint32_t result = channel.adapter->command(call);
    if (result == err::kSuccess) std::copy(buffer.begin(), buffer.end(), out.begin());
    return result;
}

}  // namespace kv::sim
