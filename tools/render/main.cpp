// corvex-render: a MIDI file in, a WAV file out, rendered by the kernel's initial program.
#include <juce_audio_formats/juce_audio_formats.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "tools/render/MidiRenderer.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: corvex-render in.mid out.wav [--rate 44100]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    double rate = 44100.0;
    for (int i = 3; i < argc; ++i) {
        if (juce::String(argv[i]) == "--rate" && i + 1 < argc) {
            rate = juce::String(argv[++i]).getDoubleValue();
        } else {
            return usage();
        }
    }
    if (!(rate >= 8000.0 && rate <= 192000.0)) {
        std::fprintf(stderr, "corvex-render: the rate must lie between 8000 and 192000 Hz\n");
        return 2;
    }

    const juce::File input = juce::File::getCurrentWorkingDirectory().getChildFile(argv[1]);
    const juce::File output = juce::File::getCurrentWorkingDirectory().getChildFile(argv[2]);
    juce::FileInputStream in(input);
    juce::MidiFile midi;
    if (!in.openedOk() || !midi.readFrom(in)) {
        std::fprintf(stderr, "corvex-render: cannot read a MIDI file from %s\n", input.getFullPathName().toRawUTF8());
        return 1;
    }

    const corvex::RenderResult result = corvex::renderMidi(midi, rate);

    output.deleteFile();
    std::unique_ptr<juce::FileOutputStream> stream = output.createOutputStream();
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer;
    if (stream != nullptr)
        writer.reset(wav.createWriterFor(stream.get(), rate, 2, 24, {}, 0));
    if (writer == nullptr) {
        std::fprintf(stderr, "corvex-render: cannot write %s\n", output.getFullPathName().toRawUTF8());
        return 1;
    }
    stream.release(); // the writer owns the stream now
    if (!writer->writeFromAudioSampleBuffer(result.audio, 0, result.audio.getNumSamples())) {
        std::fprintf(stderr, "corvex-render: writing %s failed\n", output.getFullPathName().toRawUTF8());
        return 1;
    }
    writer.reset();
    std::printf("rendered %.2f s of audio in %.3f s (%.1fx real time)\n", result.seconds, result.renderSeconds,
                result.renderSeconds > 0.0 ? result.seconds / result.renderSeconds : 0.0);
    return 0;
}
