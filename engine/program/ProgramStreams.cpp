#include "engine/program/ProgramStreams.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>

#include "engine/modules/ModuleSlots.h"
#include "engine/modules/ModuleTypes.h"

namespace corvex {

namespace {
void writeWords(WordOutputStream& out, const uint16_t* words, int length) {
    for (int i = 0; i < length; ++i) out.writeWord(words[i]);
}
} // namespace

void ProgramStreams::writeConnectionList(int section, WordOutputStream& out) const {
    const ConnectionManager& m = *connections_.of(section);
    out.writeWord(0x0101);
    out.writeWord(static_cast<uint16_t>(ModuleType::ConnectionList << 8));
    out.writeWord(static_cast<uint16_t>(8 * m.count() + 3));
    uint16_t words[kExternalConnectionWords];
    for (int r = 0; r < m.count(); ++r) {
        encodeConnection(m.record(r), words);
        for (uint16_t w : words) out.writeWord(w);
    }
}

bool ProgramStreams::writePart(int section, WordOutputStream& out) const {
    if (!ProgramImage::validPart(section)) return false;
    for (int slot = 0; slot < kPartSlotCount; ++slot) {
        if (slot == SlotIndex::ConnectionList) {
            writeConnectionList(section, out);
            continue;
        }
        const ProgramImage::ConstBlock b = image_.block(section, slot);
        if (b.length > 3 && b.words[3] == kBlockUnused) continue;
        writeWords(out, b.words, b.length);
    }
    return true;
}

bool ProgramStreams::writeMultiBlocks(WordOutputStream& out) const {
    for (int slot : kMultiBlockSlots) {
        const uint16_t* block = image_.globalBlock(slot);
        if (block[3] == kBlockUnused) continue;
        writeWords(out, block, kModuleSlots[static_cast<size_t>(slot)].blockWords);
    }
    return true;
}

bool ProgramStreams::parse(int section, WordInputStream& in, ParsedStream& parsed) const {
    const uint16_t* source = image_.area(section);
    parsed.image.assign(source, source + ProgramImage::sectionWords(section));
    while (in.remaining() > 0) {
        uint16_t head[3];
        if (!in.readWord(head[0]) || !in.readWord(head[1]) || !in.readWord(head[2])) return false;
        const int type = head[1] >> 8;
        const int slot = moduleSlotIndex(head[1] & 255, head[0] & 255, type);
        const int length = static_cast<int16_t>(head[2]);
        if (length < 3) return false;
        const bool inSection = section == 0 ? slot >= kFirstGlobalSlot : (slot >= 0 && slot < kPartSlotCount);
        if (!inSection) {
            if (!in.skipBytes(2 * static_cast<size_t>(length - 3))) return false;
            continue;
        }
        if (type == ModuleType::ConnectionList) {
            if (section == 0 || !readConnectionList(length, in, parsed)) return false;
            continue;
        }
        if (!readBlock(slot, type, length, in, parsed)) return false;
    }
    return true;
}

bool ProgramStreams::readConnectionList(int length, WordInputStream& in, ParsedStream& parsed) const {
    if ((length - 3) % kExternalConnectionWords != 0) return false;
    const int n = (length - 3) / kExternalConnectionWords;
    if (n > kMaxConnections) return false;
    // A record that no longer resolves costs only its own route, not the whole layer.
    int kept = 0;
    for (int r = 0; r < n; ++r) {
        uint16_t w[kExternalConnectionWords];
        for (uint16_t& x : w)
            if (!in.readWord(x)) return false;
        ConnectionRecord record;
        if (decodeConnection(w, record))
            parsed.records[kept++] = record;
        else
            std::fprintf(stderr, "Kernel program : connection record %d skipped\n", r);
    }
    parsed.recordCount = kept;
    parsed.sentSlots.push_back(SlotIndex::ConnectionList);
    return true;
}

bool ProgramStreams::readBlock(int slot, int type, int length, WordInputStream& in, ParsedStream& parsed) const {
    const ModuleSlot& s = kModuleSlots[static_cast<size_t>(slot)];
    if (s.blockWords < 0) return false;
    uint16_t* block = parsed.image.data() + s.blockAt;
    if (type == ModuleType::VoiceControl) {
        // Fill the words an older, shorter block lacks with today's defaults.
        std::fill(block, block + s.blockWords, uint16_t{0});
        moduleBlockDefaults(block, s.type, s.group, s.instance);
        block[0] = static_cast<uint16_t>(0x200 + s.group);
        block[2] = static_cast<uint16_t>(s.blockWords);
        block[3] = static_cast<uint16_t>(image_.blockState());
    }
    const int current = std::min<int>(block[2], s.blockWords);
    const int kept = std::min(length, current);
    for (int i = 3; i < kept; ++i)
        if (!in.readWord(block[i])) return false;
    if (length > kept && !in.skipBytes(2 * static_cast<size_t>(length - std::max(kept, 3)))) return false;
    parsed.sentSlots.push_back(slot);
    return true;
}

} // namespace corvex
