#include "tools/packer/StoredPayload.h"

#include <zlib.h>

#include <algorithm>

#include "payload/PayloadFormat.h"
#include "payload/PayloadName.h"
#include "tools/packer/PeResources.h"

namespace {

// The format caps the inflated block below 2 GiB; more is a damaged (or hostile) stream.
constexpr size_t kMaxInflated = 0x7FFFFFFF;

bool Inflate(const uint8_t* packed, size_t size, std::string* raw, std::string* problem) {
    z_stream z = {};
    if (inflateInit(&z) != Z_OK) {
        *problem = "zlib cannot start";
        return false;
    }
    z.next_in = const_cast<Bytef*>(packed);
    z.avail_in = static_cast<uInt>(size);  // callers give less than 4 GiB
    raw->assign(size < (1u << 20) ? (1u << 20) : size * 2, '\0');
    size_t produced = 0;
    int status = Z_OK;
    while (status == Z_OK) {
        if (produced == raw->size()) {
            if (raw->size() >= kMaxInflated) break;
            raw->resize(std::min(raw->size() * 2, kMaxInflated));
        }
        z.next_out = reinterpret_cast<Bytef*>(&(*raw)[produced]);
        z.avail_out = static_cast<uInt>(raw->size() - produced);
        status = inflate(&z, Z_NO_FLUSH);
        produced = raw->size() - z.avail_out;
    }
    size_t left = z.avail_in;
    inflateEnd(&z);
    raw->resize(produced);
    if (status != Z_STREAM_END) {
        *problem = status == Z_OK          ? "its payload inflates to more than 2 GiB"
                   : status == Z_BUF_ERROR ? "its payload's zlib stream is cut short"
                   : status == Z_DATA_ERROR
                       ? "its payload does not inflate (zlib data error)"
                       : "its payload does not inflate (zlib error " + std::to_string(status) + ")";
        return false;
    }
    if (left != 0) {
        *problem = "bytes follow its payload's zlib stream";
        return false;
    }
    return true;
}

}  // namespace

bool EntriesOfBlock(const std::string& raw, std::vector<StoredEntry>* entries) {
    entries->clear();
    if (raw.size() > kMaxInflated) return false;
    return WalkPayload(reinterpret_cast<const uint8_t*>(raw.data()),
                       static_cast<uint32_t>(raw.size()), [&](const PayloadEntryView& e) {
                           entries->push_back({std::string(e.name, e.nameLength), e.time,
                                               std::string(reinterpret_cast<const char*>(e.data),
                                                           static_cast<size_t>(e.size))});
                       });
}

std::string RefusedName(const std::vector<StoredEntry>& entries) {
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string& name = entries[i].name;
        if (const char* problem =
                PayloadNameProblem(name.data(), static_cast<uint32_t>(name.size())))
            return "entry " + std::to_string(i + 1) + " \"" + name + "\" " + problem;
    }
    return "";
}

bool DecodePayload(const uint8_t* packed, size_t size, StoredPayload* payload,
                   std::string* problem) {
    *payload = StoredPayload();
    payload->stored = size;
    if (size > 0xFFFFFFFFu) {
        *problem = "its payload is larger than 4 GiB";
        return false;
    }
    std::string raw;
    if (!Inflate(packed, size, &raw, problem)) return false;
    payload->inflated = raw.size();
    bool walked = EntriesOfBlock(raw, &payload->entries);
    if (!walked) {
        *problem = "its payload's entry " + std::to_string(payload->entries.size() + 1) +
                   " runs past the end of the payload";
        return false;
    }
    return true;
}

bool PayloadOfProgram(const uint8_t* file, size_t size, StoredPayload* payload,
                      std::string* problem) {
    PeResource found = FindPeResource(file, size, {u"FILES"}, {u"FILES"});
    switch (found.status) {
        case PeLookup::Found:
            return DecodePayload(file + found.offset, found.size, payload, problem);
        case PeLookup::NotAProgram:
            *problem = "it is not a Windows program: " + found.problem;
            return false;
        case PeLookup::Damaged:
            *problem = "it is damaged: " + found.problem;
            return false;
        case PeLookup::Missing:
            break;
    }
    *problem = "it carries no payload (no resource FILES of type FILES)";
    return false;
}

bool CompressPayload(const std::string& raw, std::string* packed) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    packed->assign(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(&(*packed)[0]), &size,
                  reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        return false;
    packed->resize(size);
    return true;
}
