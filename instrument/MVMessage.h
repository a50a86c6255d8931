// The one message the program posts to itself on the message thread: a kind, two ints, and either a payload
// that the message owns (freed exactly once, whether the message is delivered or dropped with its recipient)
// or an object it only points at, which its poster keeps alive until delivery.
#pragma once

#include <memory>

#include <juce_events/juce_events.h>

namespace corvex {

class MVMessage : public juce::Message {
public:
    MVMessage(int kind, int first, int second, std::shared_ptr<const void> payload = {}, void* object = nullptr)
        : kind(kind), first(first), second(second), payload(std::move(payload)), object(object) {}

    const int kind;
    const int first;
    const int second;
    const std::shared_ptr<const void> payload;
    void* const object;
};

} // namespace corvex
