// The product: its kernel and parameter table, the default controller map, the preset managers and the
// three state chunks that presets and the host state are read and written through.
#pragma once

#include <memory>

#include "instrument/MorvaneAudioFilter.h"
#include "instrument/PresetServices.h"
#include "instrument/state/StateLoadListener.h"

namespace corvex {

class CorvanAudioFilter : public MorvaneAudioFilter, public MorvanePresetManagerListener, public StateLoadListener {
public:
    // A layer's sound (kernel part 1 Upper, 2 Lower) or the patch (part 0), read and written under the edit
    // lock.
    class PresetChunk : public MorvanePresetChunkInterface {
    public:
        explicit PresetChunk(int part) : part_(part) {}
        void bind(CorvanAudioFilter* filter) { filter_ = filter; }
        bool read(const uint8_t* data, size_t size) override;
        bool check(const uint8_t* data, size_t size) override;
        void write(std::vector<uint8_t>& out) override;

    private:
        CorvanAudioFilter* filter_ = nullptr;
        const int part_;
    };

    // The preset library is chosen by whoever assembles the program: the product's library on the folder's
    // banks, NoPresetServices for one sound, a fake in tests. Never null.
    CorvanAudioFilter(const MorvaneFindFolder& folder, std::unique_ptr<PresetServices> presets);
    ~CorvanAudioFilter() override;

    // Null when the instrument cannot start.
    static std::unique_ptr<CorvanAudioFilter> createPluginFilter(const MorvaneFindFolder& folder,
                                                                 std::unique_ptr<PresetServices> presets);

    int getNumParameters() override { return ParameterIndex::kHostCount; }
    void getStateInformation(juce::MemoryBlock& destination) override;
    void setStateInformation(const void* data, int sizeInBytes) override;
    std::unique_ptr<CorvexKernel> createKernel() override { return std::make_unique<CorvexKernel>(); }
    bool initialise() override;
    void setDefaultMidiMap() override;
    bool isParameterMidiLearnable(int index) override { return index >= 0 && index < ParameterIndex::kLearnableCount; }
    virtual bool onPresetLoaded() { return true; }

    void presetManagerChanged(int messageId, int value, int value2, MorvanePreset* preset) override;
    // LFO lamps, sequencer steps and orbit points of a layer, for the editor.
    void kernelDataReceived(int part, int moduleSlot, int writerByte, const uint8_t* payload, uint16_t size) override;

    void refreshLayerParameters(int layer) override;
    void refreshGlobalParameters() override;
    void setLoading(bool loading) override { loading_.store(loading); }
    void reportHostParameter(int index) override;

    // The editor: the layer's preset no longer matches what is heard (true: Lower).
    void reselectLayerPreset(bool lower);
    float getLcdPageValue() const { return lcdPageValue_.load(); }
    void setLcdPageValue(float value) { lcdPageValue_.store(value); }

    // Null before initialise.
    CorvanMultiFilterManager* getPatchFilterManager() { return presets_->patchFilterManager(); }
    MorvanePresetFilterManager* getProgramFilterManager(bool lower) { return presets_->programFilterManager(lower); }

    PresetChunk& lowerChunk() { return lowerChunk_; }
    PresetChunk& upperChunk() { return upperChunk_; }
    PresetChunk& multiChunk() { return multiChunk_; }

protected:
    // Tests put recording fakes here; the product makes the real ones.
    virtual std::unique_ptr<CorvanKernelProgram> createKernelProgram(CorvexKernel& kernel);
    virtual std::unique_ptr<CorvanParameters> createParameterTable(CorvanKernelProgram& program);

private:
    std::unique_ptr<PresetServices> presets_;
    std::atomic<float> lcdPageValue_{0.0f};
    PresetChunk lowerChunk_{2};
    PresetChunk upperChunk_{1};
    PresetChunk multiChunk_{0};
};

} // namespace corvex
