// Carries value echoes, highlights and GUI messages to their listeners later, on the message thread.
#include "widgets/MVParameterMessenger.h"

#include <cstdint>
#include <cstring>

#include "instrument/MVMessage.h"

namespace corvex {

namespace {

int floatBits(float value) {
    int32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float bitsToFloat(int bits) {
    const int32_t word = bits;
    float value = 0.0f;
    std::memcpy(&value, &word, sizeof value);
    return value;
}

} // namespace

// A message still queued for this messenger is dropped by JUCE once the messenger has gone, and its payload
// with it.
MVParameterMessenger::~MVParameterMessenger() {
    parameters_.clear();
    guiMessages_.clear();
}

void MVParameterMessenger::postParameterChanged(int index, float value) {
    postMessage(new MVMessage(kParameterValueMessage, index, floatBits(value)));
}

void MVParameterMessenger::postGuiMessage(int id, std::shared_ptr<const void> payload) {
    postMessage(new MVMessage(kGuiMessage, id, 0, std::move(payload)));
}

void MVParameterMessenger::handleMessage(const juce::Message& message) {
    const auto* m = dynamic_cast<const MVMessage*>(&message);
    if (m == nullptr) return;
    if (m->kind == kParameterValueMessage) {
        float value = bitsToFloat(m->second);
        if (value == kRereadValue && rereader_ && m->first < kHighlightOffset) value = rereader_(m->first);
        dispatchParameterChanged(m->first, value);
    }
    else if (m->kind == kGuiMessage)
        dispatchGuiMessage(m->first, m->payload);
}

void MVParameterMessenger::dispatchParameterChanged(int index, float value) {
    if (index < kHighlightOffset) {
        parameters_.forEach(index, [&](MVParameterListener& l) { l.parameterChanged(index, value); });
        return;
    }
    const int highlighted = index - kHighlightOffset;
    parameters_.forEach(highlighted, [&](MVParameterListener& l) { l.highlightChanged(highlighted, value); });
}

void MVParameterMessenger::dispatchGuiMessage(int id, const std::shared_ptr<const void>& payload) {
    guiMessages_.forEach(id, [&](MVGuiMessageListener& l) { l.guiMessageReceived(id, payload); });
}

} // namespace corvex
