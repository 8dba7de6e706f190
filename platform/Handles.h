// Owners of the platform's handles: each gives its handle back when it goes, on every way out of
// the code that opened it, so no function pairs an open with a close by hand.
#pragma once

#include "platform/platform.h"

namespace plat {

// Traits name the handle's type, its invalid value and the call that closes it.
template <typename Traits>
class TOwnedHandle {
public:
    using Value = typename Traits::Value;

    TOwnedHandle() = default;
    explicit TOwnedHandle(Value value) : value_(value) {}
    ~TOwnedHandle() { Reset(); }
    TOwnedHandle(const TOwnedHandle&) = delete;
    TOwnedHandle& operator=(const TOwnedHandle&) = delete;
    TOwnedHandle(TOwnedHandle&& other) noexcept : value_(other.Release()) {}
    TOwnedHandle& operator=(TOwnedHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Value Get() const { return value_; }
    bool Valid() const { return value_ != Traits::kInvalid; }
    // Closes the handle held, if any, and takes the new one.
    void Reset(Value value = Traits::kInvalid) {
        if (Valid()) Traits::Close(value_);
        value_ = value;
    }
    Value Release() {
        Value value = value_;
        value_ = Traits::kInvalid;
        return value;
    }
    // For calls that return the handle through a pointer: the one held is closed first.
    Value* Receive() {
        Reset();
        return &value_;
    }

private:
    Value value_ = Traits::kInvalid;
};

struct FileHandleTraits {
    using Value = Handle;
    static constexpr Handle kInvalid = kInvalidHandle;
    static void Close(Handle handle) { CloseHandle(handle); }
};

struct SearchHandleTraits {
    using Value = Handle;
    static constexpr Handle kInvalid = kInvalidHandle;
    static void Close(Handle handle) { FindClose(handle); }
};

struct KeyHandleTraits {
    using Value = HKey;
    static constexpr HKey kInvalid = 0;
    static void Close(HKey key) { RegCloseKey(key); }
};

// A file or volume from CreateFileW.
using TFileHandle = TOwnedHandle<FileHandleTraits>;
// A search from FindFirstFileW.
using TSearchHandle = TOwnedHandle<SearchHandleTraits>;
// An open registry key.
using TKeyHandle = TOwnedHandle<KeyHandleTraits>;

// Sets the error mode while it lives and puts the previous mode back, so that a drive without a
// disk fails quietly instead of asking for one, and only for the calls that expect it.
class TErrorModeGuard {
public:
    explicit TErrorModeGuard(uint32_t mode) : previous_(SetErrorMode(mode)) {}
    ~TErrorModeGuard() { SetErrorMode(previous_); }
    TErrorModeGuard(const TErrorModeGuard&) = delete;
    TErrorModeGuard& operator=(const TErrorModeGuard&) = delete;

private:
    uint32_t previous_;
};

}  // namespace plat
