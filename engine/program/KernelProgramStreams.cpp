// The 'prog' (one part) and 'mult' (kernel-global blocks) streams of the kernel program.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "engine/modules/ModuleTypes.h"
#include "engine/program/CorvanKernelProgram.h"

namespace corvex {

void CorvanKernelProgram::writeBlockWords(WordOutputStream& out, const uint16_t* block, int length) const {
    for (int i = 0; i < length; ++i) out.writeWord(block[i]);
}

bool CorvanKernelProgram::writePart(int section, WordOutputStream& out) const {
    if (!validPart(section)) return false;
    const uint16_t* area = parts_[section - 1];
    for (int slot = 0; slot < kPartSlotCount; ++slot) {
        if (slot == SlotIndex::ConnectionList) {
            const ConnectionManager& m = managers_[section - 1];
            out.writeWord(0x0101);
            out.writeWord(static_cast<uint16_t>(ModuleType::ConnectionList << 8));
            out.writeWord(static_cast<uint16_t>(8 * m.count() + 3));
            uint16_t words[kExternalConnectionWords];
            for (int r = 0; r < m.count(); ++r) {
                encodeConnection(m.record(r), words);
                for (uint16_t w : words) out.writeWord(w);
            }
            continue;
        }
        const uint16_t* block = area + kModuleSlots[static_cast<size_t>(slot)].blockAt;
        const int length = std::min<int>(block[2], kModuleSlots[static_cast<size_t>(slot)].blockWords);
        if (length > 3 && block[3] == kBlockUnused) continue;
        writeBlockWords(out, block, length);
    }
    return true;
}

bool CorvanKernelProgram::writeMultiBlocks(WordOutputStream& out) const {
    for (int slot : kMultiBlockSlots) {
        const ModuleSlot& s = kModuleSlots[static_cast<size_t>(slot)];
        const uint16_t* block = section0_ + s.blockAt;
        if (block[3] == kBlockUnused) continue;
        writeBlockWords(out, block, s.blockWords);
    }
    return true;
}

// What a stream holds once it has been read whole into a copy of the section: the blocks in the
// order they came, and the connection list if there was one.
struct CorvanKernelProgram::ParsedStream {
    std::vector<uint16_t> image;
    std::vector<int> sentSlots; // in stream order; 28 stands for the connection list
    ConnectionRecord records[kMaxConnections];
    int recordCount = 0;
};

bool CorvanKernelProgram::parseStream(int section, WordInputStream& in, ParsedStream& parsed) const {
    const uint16_t* source = sectionImage(section);
    const int words = section == 0 ? kGlobalSectionWords : kPartAreaWords;
    parsed.image.assign(source, source + words);
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
            if (section == 0 || (length - 3) % kExternalConnectionWords != 0) return false;
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
            continue;
        }
        const ModuleSlot& s = kModuleSlots[static_cast<size_t>(slot)];
        if (s.blockWords < 0) return false;
        uint16_t* block = parsed.image.data() + s.blockAt;
        if (type == ModuleType::VoiceControl) {
            // Fill the words an older, shorter block lacks with today's defaults.
            std::fill(block, block + s.blockWords, uint16_t{0});
            moduleBlockDefaults(block, s.type, s.group, s.instance);
            block[0] = static_cast<uint16_t>(0x200 + s.group);
            block[2] = static_cast<uint16_t>(s.blockWords);
            block[3] = static_cast<uint16_t>(blockState_);
        }
        const int current = std::min<int>(block[2], s.blockWords);
        const int kept = std::min(length, current);
        for (int i = 3; i < kept; ++i)
            if (!in.readWord(block[i])) return false;
        if (length > kept && !in.skipBytes(2 * static_cast<size_t>(length - std::max(kept, 3)))) return false;
        parsed.sentSlots.push_back(slot);
    }
    return true;
}

bool CorvanKernelProgram::readPart(int section, WordInputStream& in) {
    if (section != 0 && !validPart(section)) return false;
    ParsedStream parsed;
    const bool ok = parseStream(section, in, parsed);
    stopPart(section);
    if (ok) {
        uint16_t* image = section == 0 ? section0_ : partArea(section);
        std::copy(parsed.image.begin(), parsed.image.end(), image);
        for (int slot : parsed.sentSlots) {
            if (slot == SlotIndex::ConnectionList)
                sendConnections(section, parsed.records, parsed.recordCount);
            else
                sendBlock(section, slot);
        }
    }
    // Restarted whatever happened: a failed read must not leave a layer silent.
    startPart(section);
    return ok;
}

bool CorvanKernelProgram::checkPart(int section, WordInputStream& in) const {
    if (section != 0 && !validPart(section)) return false;
    ParsedStream parsed;
    return parseStream(section, in, parsed);
}

} // namespace corvex
