#include "image/Stream.h"

#include <algorithm>
#include <cstring>

#include "platform/platform.h"

int32_t TStream::Size() {
    int32_t position = Position();
    int32_t size = Seek(0, soEnd);
    Seek(position, soBeginning);
    return size;
}

bool TStream::ReadBuffer(void* buffer, int32_t count) {
    return count == 0 || Read(buffer, count) == count;
}

bool TStream::WriteBuffer(const void* buffer, int32_t count) {
    return count == 0 || Write(buffer, count) == count;
}

TMemoryStream::TMemoryStream(const void* data, int32_t size)
    : bytes_(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size) {}

void TMemoryStream::SetSize(int32_t newSize) {
    bytes_.resize(static_cast<size_t>(std::max<int32_t>(newSize, 0)));
    position_ = std::min<int32_t>(position_, static_cast<int32_t>(bytes_.size()));
}

int32_t TMemoryStream::Read(void* buffer, int32_t count) {
    int32_t available = static_cast<int32_t>(bytes_.size()) - position_;
    int32_t n = std::max<int32_t>(0, std::min(count, available));
    if (n > 0) std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int32_t TMemoryStream::Write(const void* buffer, int32_t count) {
    if (count <= 0) return 0;
    size_t end = static_cast<size_t>(position_) + static_cast<size_t>(count);
    if (end > bytes_.size()) bytes_.resize(end);
    std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(count));
    position_ += count;
    return count;
}

int32_t TMemoryStream::Seek(int32_t offset, int origin) {
    int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : bytes_.size();
    int64_t target = base + offset;
    if (target >= 0 && target <= INT32_MAX) position_ = static_cast<int32_t>(target);
    return position_;
}

TResourceStream::TResourceStream(const char* name, const char* type) {
    const void* data = nullptr;
    uint32_t size = 0;
    if (!plat::LoadOwnResource(type, name, &data, &size) || size > INT32_MAX) return;
    data_ = static_cast<const uint8_t*>(data);
    size_ = static_cast<int32_t>(size);
    found_ = true;
}

int32_t TResourceStream::Read(void* buffer, int32_t count) {
    int32_t n = std::max<int32_t>(0, std::min(count, size_ - position_));
    if (n > 0) std::memcpy(buffer, data_ + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int32_t TResourceStream::Write(const void* buffer, int32_t count) { return 0; }

int32_t TResourceStream::Seek(int32_t offset, int origin) {
    int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : size_;
    int64_t target = base + offset;
    if (target >= 0 && target <= INT32_MAX) position_ = static_cast<int32_t>(target);
    return position_;
}
