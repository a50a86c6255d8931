// The 'prog' (one part) and 'mult' (kernel-global blocks) streams: the image written out, and a stream
// read whole into a copy of its section before anything of ours changes.
#pragma once

#include <vector>

#include "engine/modules/ConnectionRecord.h"
#include "engine/program/PartConnections.h"
#include "engine/program/ProgramImage.h"
#include "engine/program/WordStream.h"

namespace corvex {

// What a stream holds once it has been read: the section's image with the stream's blocks written in,
// the slots in the order they came, and the connection list if there was one.
struct ParsedStream {
    std::vector<uint16_t> image;
    std::vector<int> sentSlots; // in stream order; SlotIndex::ConnectionList stands for the list
    ConnectionRecord records[kMaxConnections];
    int recordCount = 0;
};

class ProgramStreams {
public:
    ProgramStreams(const ProgramImage& image, const PartConnections& connections)
        : image_(image), connections_(connections) {}
    ProgramStreams(const ProgramStreams&) = delete;
    ProgramStreams& operator=(const ProgramStreams&) = delete;

    bool writePart(int section, WordOutputStream& out) const;
    bool writeMultiBlocks(WordOutputStream& out) const;
    // False when the stream does not parse; what was read by then is of no use.
    bool parse(int section, WordInputStream& in, ParsedStream& parsed) const;

private:
    void writeConnectionList(int section, WordOutputStream& out) const;
    bool readConnectionList(int length, WordInputStream& in, ParsedStream& parsed) const;
    bool readBlock(int slot, int type, int length, WordInputStream& in, ParsedStream& parsed) const;

    const ProgramImage& image_;
    const PartConnections& connections_;
};

} // namespace corvex
