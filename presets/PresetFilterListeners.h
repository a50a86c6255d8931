// Who hears a filter manager: each posted message, once it arrives on the message thread, goes to every
// listener registered then and still registered when its turn comes.
#pragma once

#include <set>

namespace corvex {

class MorvanePresetFilterManagerListener {
public:
    virtual ~MorvanePresetFilterManagerListener() = default;
    // Message thread, in posting order: the four fields of a posted filter-manager message.
    virtual void presetFilterChanged(int id, int value, int value2, void* pointer) = 0;
};

class PresetFilterListeners {
public:
    // Null is ignored; a listener added twice is told once.
    void add(MorvanePresetFilterManagerListener* listener);
    void remove(MorvanePresetFilterManagerListener* listener);
    // A listener may remove another one, or itself, while it is told; one removed is not told after that.
    void tell(int id, int value, int value2, void* pointer) const;

private:
    std::set<MorvanePresetFilterManagerListener*> listeners_;
};

} // namespace corvex
