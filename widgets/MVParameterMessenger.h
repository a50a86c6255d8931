// Carries value echoes, highlights and GUI messages to their listeners later, on the message thread, so
// that whoever learns of a value never calls into the widgets from inside its own work.
#pragma once

#include <functional>
#include <memory>

#include <juce_events/juce_events.h>

#include "instrument/params/ParameterMapper.h"
#include "widgets/MVGuiMessageListener.h"
#include "widgets/MVListenerRegistry.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

// Message thread only.
class MVParameterMessenger : public juce::MessageListener {
public:
    static constexpr int kParameterValueMessage = 1;
    static constexpr int kGuiMessage = 2;
    // A value posted for kHighlightOffset + i is the highlight code of index i.
    static constexpr int kHighlightOffset = 100000;

    // The value the instrument's table sends for a row whose meaning changed (an insert chain's rows when its
    // effect changes): not a value to show, but a request to read the row again.
    static constexpr float kRereadValue = ParameterMapper::kUseCachedValue;

    MVParameterMessenger() = default;
    ~MVParameterMessenger() override;
    MVParameterMessenger(const MVParameterMessenger&) = delete;
    MVParameterMessenger& operator=(const MVParameterMessenger&) = delete;

    // Answers a re-read request when the echo is delivered, so the widgets show the row's value as it is then.
    void setRereader(std::function<float(int)> reader) { rereader_ = std::move(reader); }

    void postParameterChanged(int index, float value);
    // The message owns the payload from now on; it is freed once, delivered or not.
    void postGuiMessage(int id, std::shared_ptr<const void> payload);
    void handleMessage(const juce::Message& message) override;

    // Synchronous: every listener of the index has been called when this returns.
    void dispatchParameterChanged(int index, float value);
    void dispatchGuiMessage(int id, const std::shared_ptr<const void>& payload);

    void addParameterListener(int index, MVParameterListener* listener) { parameters_.add(index, listener); }
    void removeParameterListener(int index, MVParameterListener* listener) { parameters_.remove(index, listener); }
    void addGuiMessageListener(int id, MVGuiMessageListener* listener) { guiMessages_.add(id, listener); }
    void removeGuiMessageListener(int id, MVGuiMessageListener* listener) { guiMessages_.remove(id, listener); }
    int parameterListenerCount(int index) const { return parameters_.count(index); }
    int guiMessageListenerCount(int id) const { return guiMessages_.count(id); }

private:
    std::function<float(int)> rereader_;
    MVListenerRegistry<MVParameterListener> parameters_;
    MVListenerRegistry<MVGuiMessageListener> guiMessages_;
};

} // namespace corvex
