// Handle types, Windows error numbers and other values that cross the platform seam.
#pragma once

#include <cstdint>

namespace kv::platform {

// A kernel object handle (HANDLE on Windows).
using NativeHandle = void*;
// An open registry key (HKEY on Windows).
using RegKeyHandle = void*;

inline NativeHandle invalidHandle() { return reinterpret_cast<NativeHandle>(static_cast<intptr_t>(-1)); }
inline bool isValid(NativeHandle h) { return h != invalidHandle() && h != nullptr; }

// Windows error numbers, as GetLastError reports them.
namespace err {
inline constexpr uint32_t kSuccess = 0;
inline constexpr uint32_t kInvalidFunction = 1;
inline constexpr uint32_t kFileNotFound = 2;
inline constexpr uint32_t kPathNotFound = 3;
inline constexpr uint32_t kAccessDenied = 5;
inline constexpr uint32_t kInvalidHandle = 6;
inline constexpr uint32_t kNotEnoughMemory = 8;
inline constexpr uint32_t kGenFailure = 31;
inline constexpr uint32_t kSharingViolation = 32;
inline constexpr uint32_t kNotSupported = 50;
inline constexpr uint32_t kFileExists = 80;
inline constexpr uint32_t kInvalidParameter = 87;
inline constexpr uint32_t kBufferOverflow = 111;
inline constexpr uint32_t kDiskFull = 112;
inline constexpr uint32_t kInsufficientBuffer = 122;
inline constexpr uint32_t kBusy = 170;
inline constexpr uint32_t kAlreadyExists = 183;
inline constexpr uint32_t kMoreData = 234;
inline constexpr uint32_t kNoMoreItems = 259;
inline constexpr uint32_t kOperationAborted = 995;
inline constexpr uint32_t kIoPending = 997;
inline constexpr uint32_t kRegistryIoFailed = 1016;
inline constexpr uint32_t kKeyDeleted = 1018;
inline constexpr uint32_t kServiceAlreadyRunning = 1056;
inline constexpr uint32_t kServiceDisabled = 1058;
inline constexpr uint32_t kServiceDoesNotExist = 1060;
inline constexpr uint32_t kDeviceNotConnected = 1167;
inline constexpr uint32_t kNotFound = 1168;
inline constexpr uint32_t kInvalidWindowHandle = 1400;
inline constexpr uint32_t kNoSuchDevinst = 0xE000020B;
}  // namespace err

}  // namespace kv::platform
