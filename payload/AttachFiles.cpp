#include "payload/AttachFiles.h"

#include "install/Utf8.h"
#include "payload/PayloadFormat.h"

TAttachedFiles::TAttachedFiles() { loaded_ = Load(); }

bool TAttachedFiles::Load() {
    const void* stored = nullptr;
    uint32_t storedSize = 0;
    if (!plat::LoadOwnResource(kPayloadResourceType, kPayloadResourceName, &stored, &storedSize))
        return false;
    // Five times the stored size holds the whole payload, so inflate runs once and nothing is
    // copied; the block then shrinks to the inflated length.
    uint64_t capacity = uint64_t{storedSize} * 5;
    if (capacity > 0x7FFFFFFF) capacity = 0x7FFFFFFF;
    if (!InflateBuffer(stored, storedSize, static_cast<uint32_t>(capacity), &block_,
                       &blockLength_))
        return false;
    bool walked = WalkPayload(block_.get(), blockLength_, [this](const PayloadEntryView& e) {
        auto file = std::make_unique<TAttachedFile>();
        file->Name = WideOfUtf8(e.name, e.nameLength);
        file->Size = e.size;
        file->Time = e.time;
        file->Data = e.data;
        Entries.push_back(std::move(file));
    });
    if (!walked) Entries.clear();
    return walked;
}

TAttachedFiles* AttachedFiles = nullptr;
