#include "payload/PayloadFormat.h"

#include <cstring>

namespace {

double ReadFloat64(const uint8_t* p) {
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | p[i];
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

int32_t ReadInt32(const uint8_t* p) {
    uint32_t v = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
    return static_cast<int32_t>(v);
}

}  // namespace

bool WalkPayload(const uint8_t* block, uint32_t length,
                 const std::function<void(const PayloadEntryView&)>& visit) {
    uint64_t pos = 0;
    while (pos != length) {
        uint64_t left = length - pos;
        const uint8_t* p = block + pos;
        uint32_t n = p[0];
        if (n == 0 || left < kPayloadEntryOverhead + n) return false;
        PayloadEntryView entry;
        entry.name = reinterpret_cast<const char*>(p + 1);
        entry.nameLength = n;
        entry.time = ReadFloat64(p + 1 + n);
        entry.size = ReadInt32(p + 9 + n);
        if (entry.size < 0 || left - kPayloadEntryOverhead - n < static_cast<uint64_t>(entry.size))
            return false;
        entry.data = p + kPayloadEntryOverhead + n;
        visit(entry);
        pos += kPayloadEntryOverhead + n + static_cast<uint64_t>(entry.size);
    }
    return true;
}

void AppendPayloadEntry(std::string* out, const std::string& name, double time,
                        const std::string& data) {
    out->push_back(static_cast<char>(name.size()));
    out->append(name);
    uint64_t bits;
    std::memcpy(&bits, &time, sizeof bits);
    for (int i = 0; i < 8; ++i) out->push_back(static_cast<char>(bits >> (8 * i)));
    uint32_t size = static_cast<uint32_t>(data.size());
    for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>(size >> (8 * i)));
    out->append(data);
}
