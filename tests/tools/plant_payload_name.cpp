// A test tool: copies a packed payload with one more entry at its end, named as given, written
// with the payload's own entry writer and none of the packer's checks. The tests build setup
// programs over such payloads to see that the setup program refuses the name.
//
//   plant_payload_name IN.bin OUT.bin NAME
#include <cstdio>
#include <string>

#include "payload/PayloadFormat.h"
#include "tools/packer/Files.h"
#include "tools/packer/StoredPayload.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: plant_payload_name IN.bin OUT.bin NAME\n");
        return 1;
    }
    std::string packed, problem;
    StoredPayload payload;
    if (!ReadWholeFile(argv[1], &packed) ||
        !DecodePayload(reinterpret_cast<const uint8_t*>(packed.data()), packed.size(), &payload,
                       &problem)) {
        std::fprintf(stderr, "plant_payload_name: cannot read %s %s\n", argv[1], problem.c_str());
        return 1;
    }
    std::string name = argv[3];
    if (payload.entries.empty() || name.empty() || name.size() > kMaxPayloadNameLength) {
        std::fprintf(stderr, "plant_payload_name: no entries, or a name of 0 or over 255 bytes\n");
        return 1;
    }
    std::string raw;
    for (const auto& e : payload.entries) AppendPayloadEntry(&raw, e.name, e.time, e.data);
    AppendPayloadEntry(&raw, name, payload.entries[0].time, "planted\r\n");
    if (!CompressPayload(raw, &packed) || !ReplaceFile(argv[2], packed)) {
        std::fprintf(stderr, "plant_payload_name: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
