// Told when every running animation of a component animator has finished.
#pragma once

namespace corvex {

class MVComponentAnimatorListener {
public:
    virtual ~MVComponentAnimatorListener() = default;
    virtual void animationFinished() = 0;
};

} // namespace corvex
