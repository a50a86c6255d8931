// The instrument framework: kernel, kernel program, parameter table, MIDI manager, kernel-idle timer,
// block processing and the parameter entry points.
#pragma once

#include <array>
#include <atomic>
#include <memory>

#include <juce_events/juce_events.h>

#include "engine/kernel/CorvexKernel.h"
#include "engine/kernel/RenderExclusion.h"
#include "engine/kernel/SoftwareKernelListener.h"
#include "engine/program/CorvanKernelProgram.h"
#include "instrument/AudioFilterBase.h"
#include "instrument/EditLock.h"
#include "instrument/MidiManagerOwner.h"
#include "instrument/MorvaneFindFolder.h"
#include "instrument/MorvaneMidiManager.h"
#include "instrument/audio/BlockRenderer.h"
#include "instrument/audio/CorvexBlockKernel.h"
#include "instrument/params/CorvanParameters.h"
#include "instrument/state/HostState.h"

namespace corvex {

class MorvaneAudioFilter : public AudioFilterBase,
                           public MapperManagerListener,
                           public SoftwareKernelListener,
                           public MidiManagerOwner,
                           public ControllerHandler,
                           public RenderExclusion {
public:
    static constexpr int kKernelIdleMs = 50;
    // Everything the MIDI manager can hand over in one block.
    static constexpr int kMaxBlockEvents =
        MorvaneMidiManager::kNoteRingSize + MorvaneMidiManager::kMaxIncomingBlockEvents;

    // Drains the kernel's notifications to its listeners on the message thread.
    class KernelIdle : public juce::Timer {
    public:
        explicit KernelIdle(SoftwareKernel& kernel) : kernel_(kernel) {}
        void timerCallback() override { kernel_.drainNotifications(); }

    private:
        SoftwareKernel& kernel_;
    };

    // The folder must outlive the instrument.
    explicit MorvaneAudioFilter(const MorvaneFindFolder& folder);
    ~MorvaneAudioFilter() override;

    void prepareToPlay(double sampleRate, int samplesPerBlock) override;
    void releaseResources() override {}
    void processBlock(float* const* outputs, int numOutputs, int numSamples, bool accumulate,
                      juce::MidiBuffer& midi) override;
    int getNumParameters() override { return hostParameterCount_; }
    juce::String getParameterName(int index) override;
    float getParameter(int index) override;
    juce::String getParameterText(int index) override;
    void setParameter(int index, float value) override;
    int getNumPrograms() override { return 0; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram(int) override {}
    juce::String getProgramName(int) override { return {}; }
    void changeProgramName(int, const juce::String&) override {}
    void getStateInformation(juce::MemoryBlock&) override {}
    void setStateInformation(const void*, int) override {}

    virtual std::unique_ptr<CorvexKernel> createKernel() = 0;
    // The MIDI settings, the kernel, its listener and its idle timer.
    virtual bool initialise();
    virtual void setDefaultMidiMap() {}
    virtual bool isParameterMidiLearnable(int) { return true; }
    virtual juce::String getParameterLongName(int index);
    // Ignored while a load reports its values to the host; an index outside the table is ignored.
    virtual void setParameterInternal(int index, float value);

    // Message thread: the table stored a value through its own setter.
    void valueChanged(int index, float value) override;
    void kernelDataReceived(int, int, int, const uint8_t*, uint16_t) override {}
    void kernelParameterChanged(int section, int moduleSlot, int parameter, int valueByte, float value) override;
    // Audio thread, edit lock held by the MIDI core.
    void setParameterFromMidi(int index, float value) override;
    void notifyEditorOfMidiParameter(int index, float value) override;
    // Audio thread: the block's control changes go to the controller map.
    void handleControlChange(int controller, int value) override {
        midiManager_.handleControlChange(controller, value);
    }
    // A poster that finds the kernel's ring full runs the oldest message only between renders.
    void enterExclusion() override { callbackLock_.enter(); }
    void exitExclusion() override { callbackLock_.exit(); }

    int getCpuLoad() const { return renderer_ ? renderer_->cpuLoad() : 0; }
    bool isLoading() const { return loading_.load(); }
    MorvaneMidiManager& getMidiManager() { return midiManager_; }
    CorvexKernel* getKernel() const { return kernel_.get(); }
    CorvanKernelProgram* getKernelProgram() const { return program_.get(); }
    ParameterMapping* getParameterTable() const { return table_.get(); }
    bool isKernelIdleRunning() const { return idle_ != nullptr && idle_->isTimerRunning(); }
    // A "midi.prefs" that was there but could not be read: it is kept, never written over.
    bool midiPrefsFailedToLoad() const { return midiPrefsFailed_; }

protected:
    void applyParameter(int index, float value);
    void saveMidiSettings();

    const MorvaneFindFolder& folder_;
    EditLock editLock_;
    std::unique_ptr<CorvexKernel> kernel_;
    std::unique_ptr<CorvanKernelProgram> program_;
    MorvaneMidiManager midiManager_{*this, editLock_.mutex()};
    std::unique_ptr<CorvanParameters> table_;
    int hostParameterCount_ = ParameterIndex::kHostCount;
    HostStateFilter* multiFilterManager_ = nullptr;
    std::unique_ptr<KernelIdle> idle_;
    std::atomic<bool> loading_{false};

private:
    std::unique_ptr<CorvexBlockKernel> blockKernel_;
    std::unique_ptr<BlockRenderer> renderer_;
    std::array<BlockMidiEvent, kMaxBlockEvents> blockEvents_{};
    bool midiPrefsFailed_ = false;
};

} // namespace corvex
