#include "tools/render/MidiRenderer.h"

#include <chrono>
#include <cmath>
#include <memory>

#include "engine/kernel/CorvexKernel.h"
#include "engine/program/CorvanKernelProgram.h"

namespace corvex {

namespace {

constexpr int kBlock = 32;

void sendEvent(CorvexKernel& kernel, const juce::MidiMessage& m) {
    const juce::uint8* raw = m.getRawData();
    const int status = raw[0];
    if (m.isNoteOnOrOff()) {
        kernel.sendMidiNote(status, m.getNoteNumber(), m.isNoteOn() ? m.getVelocity() : 0);
    } else if (m.isPitchWheel()) {
        const int value = m.getPitchWheelValue();
        kernel.sendPitchBend(value >> 7, value & 127);
    } else if (m.isChannelPressure()) {
        kernel.sendPressure(status, m.getChannelPressureValue(), 0);
    } else if (m.isAftertouch()) {
        kernel.sendPressure(status, m.getNoteNumber(), m.getAfterTouchValue());
    } else if (m.isAllNotesOff() || m.isAllSoundOff()) {
        kernel.allNotesOff();
    }
}

} // namespace

RenderResult renderMidi(const juce::MidiFile& file, double sampleRate, double tailSeconds) {
    juce::MidiFile timed(file);
    timed.convertTimestampTicksToSeconds();
    juce::MidiMessageSequence events;
    for (int t = 0; t < timed.getNumTracks(); ++t) events.addSequence(*timed.getTrack(t), 0.0);
    events.updateMatchedPairs();

    auto kernel = std::make_unique<CorvexKernel>();
    kernel->initialise();
    kernel->setSampleRate(sampleRate);
    auto program = std::make_unique<CorvanKernelProgram>(*kernel);
    program->initialise();
    {
        // The initial program's messages take effect in the first block: render it before time 0.
        float scratch[2][kBlock];
        float* channels[2] = {scratch[0], scratch[1]};
        kernel->processBlock(2, channels, kBlock);
    }

    const double lastEvent = events.getNumEvents() > 0 ? events.getEndTime() : 0.0;
    const auto totalSamples = static_cast<int>(std::ceil((lastEvent + tailSeconds) * sampleRate / kBlock)) * kBlock;
    RenderResult result;
    result.audio.setSize(2, totalSamples);
    result.audio.clear();

    const auto start = std::chrono::steady_clock::now();
    int next = 0;
    for (int at = 0; at < totalSamples; at += kBlock) {
        const double blockEnd = static_cast<double>(at + kBlock) / sampleRate;
        // Events sound from the start of the block that holds them.
        while (next < events.getNumEvents() && events.getEventPointer(next)->message.getTimeStamp() < blockEnd)
            sendEvent(*kernel, events.getEventPointer(next++)->message);
        float* channels[2] = {result.audio.getWritePointer(0, at), result.audio.getWritePointer(1, at)};
        kernel->processBlock(2, channels, kBlock);
    }
    result.renderSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.seconds = static_cast<double>(totalSamples) / sampleRate;
    return result;
}

} // namespace corvex
