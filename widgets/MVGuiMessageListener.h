// What a panel hears of one GUI message id.
#pragma once

#include <memory>

namespace corvex {

class MVGuiMessageListener {
public:
    virtual ~MVGuiMessageListener() = default;
    // The id decides the payload's type (null allowed); a listener that keeps the payload keeps a share of it.
    virtual void guiMessageReceived(int id, const std::shared_ptr<const void>& payload) = 0;
};

} // namespace corvex
