// The offline renderer: a MIDI file becomes a float WAV file of the right length and pitch, played by the
// instrument with the parameters and state given on the command line.
#include <gtest/gtest.h>

#include <juce_audio_formats/juce_audio_formats.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "instrument/CorvanAudioFilter.h"
#include "presets/CorvanPresetServices.h"
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

// Brightness as the ratio of the first difference's RMS to the signal's: a filter that closes lowers it,
// whatever the level.
double brightness(const std::vector<float>& x) {
    std::vector<float> d(x.size() > 0 ? x.size() - 1 : 0);
    for (size_t i = 0; i + 1 < x.size(); ++i) d[i] = x[i + 1] - x[i];
    return rms(d) / rms(x);
}

// A MIDI file written to a temporary folder and the command line run on it, its output and errors kept.
class CommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        dir = juce::File::createTempFile("corvex-render");
        ASSERT_TRUE(dir.createDirectory());
        mid = dir.getChildFile("note.mid");
        wav = dir.getChildFile("note.wav");
        out = dir.getChildFile("stdout.txt");
        err = dir.getChildFile("stderr.txt");
        juce::FileOutputStream stream(mid);
        ASSERT_TRUE(stream.openedOk());
        ASSERT_TRUE(oneNote(57, 1.0).writeTo(stream));
    }
    void TearDown() override { dir.deleteRecursively(); }

    // The exit code of corvex-render in.mid out.wav --rate 48000 <args>.
    int run(const juce::String& args) {
        const juce::String command = juce::String(CORVEX_RENDER_BINARY) + " " + mid.getFullPathName().quoted() +
                                     " " + wav.getFullPathName().quoted() + " --rate 48000 " + args + " > " +
                                     out.getFullPathName().quoted() + " 2> " + err.getFullPathName().quoted();
        const int status = std::system(command.toRawUTF8());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::vector<float> left() {
        juce::WavAudioFormat format;
        std::unique_ptr<juce::AudioFormatReader> reader(format.createReaderFor(new juce::FileInputStream(wav), true));
        if (reader == nullptr) return {};
        juce::AudioBuffer<float> audio(2, static_cast<int>(reader->lengthInSamples));
        reader->read(&audio, 0, audio.getNumSamples(), 0, true, true);
        return channel(audio, 0, 0, audio.getNumSamples());
    }

    juce::File dir, mid, wav, out, err;
};

// The held part of A3 with the Upper layer's low-pass wide open and nearly closed.
TEST_F(CommandLine, SettingTheCutoffDarkensTheSound) {
    const int held0 = static_cast<int>(0.3 * 48000), held1 = static_cast<int>(0.9 * 48000);
    ASSERT_EQ(run("--set ULpfCut=1"), 0) << err.loadFileAsString();
    std::vector<float> open = left();
    ASSERT_GT(open.size(), static_cast<size_t>(held1));
    open = std::vector<float>(open.begin() + held0, open.begin() + held1);
    ASSERT_EQ(run("--set ULpfCut=0.1"), 0) << err.loadFileAsString();
    std::vector<float> closed = left();
    ASSERT_GT(closed.size(), static_cast<size_t>(held1));
    closed = std::vector<float>(closed.begin() + held0, closed.begin() + held1);

    ASSERT_GT(rms(closed), 1e-4) << "a closed filter still passes the fundamental";
    EXPECT_LT(brightness(closed), 0.5 * brightness(open));
    EXPECT_LT(rms(closed), rms(open));
}

TEST_F(CommandLine, ABadSettingFailsWithAMessage) {
    const struct {
        const char* args;
        const char* mentions;
    } cases[] = {
        {"--set Nope=0.5", "Nope"},      {"--set ULpfCut=1.5", "ULpfCut=1.5"}, {"--set ULpfCut=-0.1", "-0.1"},
        {"--set ULpfCut=", "ULpfCut="},  {"--set ULpfCut", "ULpfCut"},         {"--set ULpfCut=nan", "nan"},
        {"--set =0.5", "=0.5"},          {"--set ulpfcut=0.5", "ulpfcut"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.args), 2) << c.args;
        EXPECT_TRUE(err.loadFileAsString().contains(c.mentions)) << c.args << ": " << err.loadFileAsString();
    }
}

// The header says IEEE float at 32 bits, and the printed peak is the largest magnitude in the file.
TEST_F(CommandLine, WritesFloatAndReportsThePeak) {
    ASSERT_EQ(run(""), 0) << err.loadFileAsString();
    juce::MemoryBlock bytes;
    ASSERT_TRUE(wav.loadFileAsData(bytes));
    const auto* b = static_cast<const uint8_t*>(bytes.getData());
    // Chunks follow "RIFF", its size and "WAVE"; a writer may put padding chunks before "fmt ".
    size_t at = 12;
    while (at + 8 <= bytes.getSize() && std::memcmp(b + at, "fmt ", 4) != 0)
        at += 8 + (static_cast<size_t>(b[at + 4]) | (static_cast<size_t>(b[at + 5]) << 8) |
                   (static_cast<size_t>(b[at + 6]) << 16) | (static_cast<size_t>(b[at + 7]) << 24));
    ASSERT_LE(at + 24, bytes.getSize()) << "no fmt chunk";
    EXPECT_EQ(b[at + 8] | (b[at + 9] << 8), 3) << "format tag";
    EXPECT_EQ(b[at + 22] | (b[at + 23] << 8), 32) << "bits per sample";

    juce::WavAudioFormat format;
    std::unique_ptr<juce::AudioFormatReader> reader(format.createReaderFor(new juce::FileInputStream(wav), true));
    ASSERT_NE(reader, nullptr);
    juce::AudioBuffer<float> audio(2, static_cast<int>(reader->lengthInSamples));
    reader->read(&audio, 0, audio.getNumSamples(), 0, true, true);
    float peak = 0.0f;
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < audio.getNumSamples(); ++i) peak = std::max(peak, std::fabs(audio.getSample(c, i)));
    ASSERT_GT(peak, 0.0f);

    const juce::String report = out.loadFileAsString();
    const int line = report.indexOf("peak ");
    ASSERT_GE(line, 0) << report;
    ASSERT_TRUE(report.substring(line).contains("dBFS")) << report;
    const double printed = report.substring(line + 5).getDoubleValue();
    EXPECT_NEAR(printed, 20.0 * std::log10(peak), 0.01) << report;
}

// A layer saved by an instrument whose cutoff was set plays as a render with that cutoff set directly.
TEST_F(CommandLine, ASavedLayerPlaysAsItsSettings) {
    std::vector<uint8_t> layer;
    {
        juce::ScopedJuceInitialiser_GUI juceInit;
        const MorvaneFindFolder folder(dir.getChildFile("settings"), "Corvex2");
        auto filter = CorvanAudioFilter::createPluginFilter(folder, std::make_unique<CorvanPresetServices>(folder));
        ASSERT_NE(filter, nullptr);
        filter->setParameter(12, 0.1f); // the Upper layer's cutoff
        filter->upperChunk().write(layer);
    }
    const juce::File state = dir.getChildFile("layer.chunks");
    ASSERT_TRUE(state.replaceWithData(layer.data(), layer.size()));

    ASSERT_EQ(run("--set ULpfCut=0.1"), 0) << err.loadFileAsString();
    const std::vector<float> set = left();
    ASSERT_EQ(run("--state " + state.getFullPathName().quoted()), 0) << err.loadFileAsString();
    const std::vector<float> loaded = left();
    ASSERT_EQ(run(""), 0) << err.loadFileAsString();
    const std::vector<float> plain = left();
    ASSERT_EQ(loaded.size(), set.size());
    ASSERT_EQ(plain.size(), set.size());
    double differenceFromSet = 0.0, differenceFromPlain = 0.0;
    for (size_t i = 0; i < set.size(); ++i) {
        differenceFromSet = std::max(differenceFromSet, static_cast<double>(std::fabs(loaded[i] - set[i])));
        differenceFromPlain = std::max(differenceFromPlain, static_cast<double>(std::fabs(loaded[i] - plain[i])));
    }
    EXPECT_LT(differenceFromSet, 1e-4);
    EXPECT_GT(differenceFromPlain, 1e-2) << "the state changed the sound";

    const juce::File garbage = dir.getChildFile("garbage.chunks");
    ASSERT_TRUE(garbage.replaceWithText("not a chunk stream"));
    EXPECT_NE(run("--state " + garbage.getFullPathName().quoted()), 0);
    EXPECT_TRUE(err.loadFileAsString().contains("state")) << err.loadFileAsString();
}

} // namespace
} // namespace corvex::testing
