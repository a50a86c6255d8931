// The offline renderer: a MIDI file becomes a WAV file of the right length and pitch.
#include <gtest/gtest.h>

#include <juce_audio_formats/juce_audio_formats.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "tests/support/SignalChecks.h"
#include "tools/render/MidiRenderer.h"

namespace corvex::testing {
namespace {

// One track at the file's default 120 bpm: A4 held for one second.
juce::MidiFile oneNote(int note, double seconds) {
    juce::MidiMessageSequence track;
    constexpr int kTicksPerQuarter = 960;
    const double ticks = seconds * 2.0 * kTicksPerQuarter;
    track.addEvent(juce::MidiMessage::noteOn(1, note, static_cast<juce::uint8>(100)), 0.0);
    track.addEvent(juce::MidiMessage::noteOff(1, note), ticks);
    track.updateMatchedPairs();
    juce::MidiFile file;
    file.setTicksPerQuarterNote(kTicksPerQuarter);
    file.addTrack(track);
    return file;
}

std::vector<float> channel(const juce::AudioBuffer<float>& audio, int c, int from, int to) {
    return std::vector<float>(audio.getReadPointer(c) + from, audio.getReadPointer(c) + to);
}

TEST(Renderer, RendersTheNoteAndItsTail) {
    for (double rate : {44100.0, 48000.0}) {
        const RenderResult r = renderMidi(oneNote(69, 1.0), rate, 1.0);
        EXPECT_NEAR(r.seconds, 2.0, 32.0 / rate) << rate;
        ASSERT_EQ(r.audio.getNumChannels(), 2);
        const auto held = channel(r.audio, 0, static_cast<int>(0.3 * rate), static_cast<int>(0.9 * rate));
        EXPECT_GT(rms(held), 1e-3) << rate;
        EXPECT_NEAR(autocorrelationFrequency(held, rate, 200.0, 2000.0), 440.0, 440.0 * 0.01) << rate;
        const auto end = channel(r.audio, 0, static_cast<int>(1.8 * rate), r.audio.getNumSamples());
        EXPECT_LT(rms(end), 1e-4) << "the voice is over after its release";
        EXPECT_EQ(badSamples(r.audio.getReadPointer(0), static_cast<size_t>(r.audio.getNumSamples())), 0);
    }
}

TEST(Renderer, CommandLineWritesAWavFile) {
    const juce::File dir = juce::File::createTempFile("corvex-render");
    ASSERT_TRUE(dir.createDirectory());
    const juce::File mid = dir.getChildFile("note.mid");
    const juce::File wav = dir.getChildFile("note.wav");
    {
        juce::FileOutputStream out(mid);
        ASSERT_TRUE(out.openedOk());
        ASSERT_TRUE(oneNote(69, 0.5).writeTo(out));
    }
    const juce::String command = juce::String(CORVEX_RENDER_BINARY) + " " + mid.getFullPathName().quoted() + " " +
                                 wav.getFullPathName().quoted() + " --rate 48000 > /dev/null";
    ASSERT_EQ(std::system(command.toRawUTF8()), 0);

    juce::WavAudioFormat format;
    std::unique_ptr<juce::AudioFormatReader> reader(format.createReaderFor(new juce::FileInputStream(wav), true));
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->sampleRate, 48000.0);
    EXPECT_EQ(reader->numChannels, 2u);
    EXPECT_NEAR(static_cast<double>(reader->lengthInSamples) / 48000.0, 2.5, 0.01);

    const juce::String bad = juce::String(CORVEX_RENDER_BINARY) + " " + dir.getChildFile("missing.mid").getFullPathName().quoted() +
                             " " + wav.getFullPathName().quoted() + " 2> /dev/null";
    EXPECT_NE(std::system(bad.toRawUTF8()), 0) << "a missing MIDI file is an error";
    dir.deleteRecursively();
}

} // namespace
} // namespace corvex::testing
