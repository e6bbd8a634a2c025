// The notification area on the Windows API: Shell_NotifyIconA with the record of the shell's
// version 5 (NOTIFYICONDATAA up to its balloon flags: 488 bytes in a 32-bit process), icons made
// with CreateIconIndirect. The shell shows the icons itself, so observers are never called.
#include "kv/platform/notify_area.h"

#include <shellapi.h>
#include <windows.h>

#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace kv::platform {

namespace {

// Handles are 32-bit values, sign-extended in a 64-bit process.
template <typename Handle>
Handle fromValue(uint32_t value) {
    return reinterpret_cast<Handle>(static_cast<intptr_t>(static_cast<int32_t>(value)));
}
uint32_t toValue(const void* handle) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle)); }

// The shell's version 5 record: everything before the icon's GUID.
constexpr DWORD kRecordSize = offsetof(NOTIFYICONDATAA, guidItem);

NOTIFYICONDATAA nativeRecord(const NotifyIconRecord& record) {
    NOTIFYICONDATAA data{};
    data.cbSize = kRecordSize;
    data.hWnd = fromValue<HWND>(record.hWnd);
    data.uID = record.uID;
    data.uFlags = record.uFlags;
    data.uCallbackMessage = record.uCallbackMessage;
    data.hIcon = fromValue<HICON>(record.hIcon);
    const std::string tip = notifyTip(record);
    std::memcpy(data.szTip, tip.c_str(), tip.size() + 1);
    data.dwState = record.dwState;
    data.dwStateMask = record.dwStateMask;
    std::memcpy(data.szInfo, record.szInfo, sizeof(data.szInfo));
    data.szInfo[sizeof(data.szInfo) - 1] = 0;
    data.uTimeout = record.uTimeoutOrVersion;
    std::memcpy(data.szInfoTitle, record.szInfoTitle, sizeof(data.szInfoTitle));
    data.szInfoTitle[sizeof(data.szInfoTitle) - 1] = 0;
    data.dwInfoFlags = record.dwInfoFlags;
    return data;
}

// A GDI bitmap deleted when it goes out of scope.
struct Bitmap {
    HBITMAP handle = nullptr;
    ~Bitmap() {
        if (handle) DeleteObject(handle);
    }
};

class Win32NotifyArea : public NotifyArea {
public:
    IconHandle createIcon(uint32_t resourceId, uint32_t width, uint32_t height,
                          std::span<const uint32_t> argb) override {
        if (width == 0 || height == 0 || argb.size() < static_cast<size_t>(width) * height) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = static_cast<LONG>(width);
        info.bmiHeader.biHeight = -static_cast<LONG>(height);  // rows from the top
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        Bitmap color{CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0)};
        // The colour bitmap's alpha channel decides; the mask is all opaque.
        Bitmap mask{CreateBitmap(static_cast<int>(width), static_cast<int>(height), 1, 1, nullptr)};
        if (!color.handle || !mask.handle || !bits) return 0;
        std::memcpy(bits, argb.data(), static_cast<size_t>(width) * height * 4);
        ICONINFO icon{TRUE, 0, 0, mask.handle, color.handle};
        const HICON handle = CreateIconIndirect(&icon);
        if (!handle) return 0;
        std::lock_guard lock(mutex_);
        resources_[toValue(handle)] = resourceId;
        return toValue(handle);
    }

    bool destroyIcon(IconHandle icon) override {
        {
            std::lock_guard lock(mutex_);
            resources_.erase(icon);
        }
        return DestroyIcon(fromValue<HICON>(icon)) != FALSE;
    }

    bool notify(NotifyAction action, const NotifyIconRecord& record) override {
        NOTIFYICONDATAA data = nativeRecord(record);
        if (!Shell_NotifyIconA(static_cast<DWORD>(action), &data)) return false;
        std::lock_guard lock(mutex_);
        const auto resource = resources_.find(record.hIcon);
        NotifyIcon changed;
        applyNotifyRecord(icons_, action, record, resource == resources_.end() ? 0 : resource->second, &changed);
        return true;
    }

    std::vector<NotifyIcon> icons() override {
        std::lock_guard lock(mutex_);
        return icons_;
    }

    bool pointerAction(WindowHandle window, uint32_t id, uint32_t action) override {
        uint32_t message = 0;
        {
            std::lock_guard lock(mutex_);
            for (const NotifyIcon& icon : icons_)
                if (icon.window == window && icon.id == id) message = icon.callbackMessage;
        }
        return message != 0 && PostMessageA(fromValue<HWND>(window), message, id, action) != FALSE;
    }

    std::unique_ptr<NotifyObservation> observe(NotifyObserver) override {
        return std::make_unique<NotifyObservation>();
    }

private:
    std::mutex mutex_;
    std::map<IconHandle, uint32_t> resources_;  // icon handle -> resource id
    std::vector<NotifyIcon> icons_;             // this program's icons in the notification area
};

}  // namespace

NotifyArea& notifyArea() {
    static Win32NotifyArea instance;
    return instance;
}

}  // namespace kv::platform
