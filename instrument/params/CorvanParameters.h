// The product's parameter table: its 1010 rows and the cached values a preset stores with a layer or a multi.
#pragma once

#include <memory>
#include <string>

#include "instrument/params/ByteStream.h"
#include "instrument/params/ParameterMapping.h"

namespace corvex {

class CorvanKernelProgram;

class CorvanParameters : public ParameterMapping {
public:
    // Builds every row; all cached values start at 0.0 and the listener hears each of them once.
    CorvanParameters(MapperManagerListener* listener, CorvanKernelProgram& program);

    void buildTable() override;
    CorvanKernelProgram& program() { return program_; }

    // For the row builders: a layer mapper at its Upper index unfolded to the layer, a global one as is.
    void placeLayerMapper(int upperIndex, int layer, const std::shared_ptr<ParameterMapper>& mapper);
    void placeGlobalMapper(int index, const std::shared_ptr<ParameterMapper>& mapper);

    // The payload of a layer's 'cach' chunk: each row of the layer as (Upper index, key without its layer
    // letter, cached value), so that either layer's payload reads into either layer.
    void writeLayerCache(ByteWriter& out, int layer) const;
    // Entries whose key no longer names their row are skipped; version 1 payloads predate the keyboard
    // routes, which then get their neutral values. Both readers take a value past 0..1 clamped; the re-read
    // signal -1.0 is kept wherever the value goes to the cache only.
    void readLayerCache(int layer, ByteReader& in, int version);
    // The payload of the 'cmul' chunk: each global row as (index, key, cached value).
    void writeGlobalCache(ByteWriter& out) const;
    void readGlobalCache(ByteReader& in);

private:
    CorvanKernelProgram& program_;
};

// The key of a layer row: "U" or "L" and the row's own name.
std::string layerKey(int layer, const std::string& name);

} // namespace corvex
