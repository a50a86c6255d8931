// The one message the kit posts to itself: a kind, two ints and a payload that the message owns, so a payload
// is freed exactly once whether the message is delivered or dropped with its recipient.
#pragma once

#include <memory>

#include <juce_events/juce_events.h>

namespace corvex {

class MVMessage : public juce::Message {
public:
    MVMessage(int kind, int first, int second, std::shared_ptr<const void> payload = {})
        : kind(kind), first(first), second(second), payload(std::move(payload)) {}

    const int kind;
    const int first;
    const int second;
    const std::shared_ptr<const void> payload;
};

} // namespace corvex
