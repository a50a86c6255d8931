// Keeps a poster's work on kernel state from running while the kernel renders a block.
#pragma once

namespace corvex {

// The owner of the audio callback implements this with the lock it already holds around
// every rendered block; the kernel itself never takes it while rendering.
class RenderExclusion {
public:
    virtual ~RenderExclusion() = default;
    virtual void enterExclusion() = 0;
    virtual void exitExclusion() = 0;
};

} // namespace corvex
