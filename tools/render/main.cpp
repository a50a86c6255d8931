// corvex-render: a MIDI file in, a 32-bit float WAV file out, played by the instrument.
#include <juce_audio_formats/juce_audio_formats.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "tools/render/MidiRenderer.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: corvex-render in.mid out.wav [--rate 44100] [--set KEY=VALUE]... [--state FILE]\n"
                 "  --set KEY=VALUE  a parameter by its key (e.g. ULpfCut) and a normalised value 0..1\n"
                 "  --state FILE     a saved layer chunk stream (played by the Upper layer) or multi chunk stream\n"
                 "                   (the patch), applied before the --set values\n"
                 "The WAV holds 32-bit float samples, never clipped; the peak level is printed at the end.\n");
    return 2;
}

struct Setting {
    juce::String key;
    float value;
};

// KEY=VALUE with a finite VALUE from 0 to 1.
bool parseSetting(const juce::String& text, Setting& setting) {
    const int equals = text.indexOfChar('=');
    if (equals <= 0) return false;
    setting.key = text.substring(0, equals);
    const juce::String number = text.substring(equals + 1).trim();
    if (number.isEmpty() || !number.containsOnly("0123456789.eE+-")) return false;
    const double value = number.getDoubleValue();
    if (!std::isfinite(value) || value < 0.0 || value > 1.0) return false;
    setting.value = static_cast<float>(value);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    double rate = 44100.0;
    std::vector<Setting> settings;
    juce::String statePath;
    for (int i = 3; i < argc; ++i) {
        const juce::String arg(argv[i]);
        if (arg == "--rate" && i + 1 < argc) {
            rate = juce::String(argv[++i]).getDoubleValue();
        } else if (arg == "--set" && i + 1 < argc) {
            Setting setting;
            if (!parseSetting(argv[++i], setting)) {
                std::fprintf(stderr, "corvex-render: --set wants KEY=VALUE with a value from 0 to 1, not \"%s\"\n",
                             argv[i]);
                return 2;
            }
            settings.push_back(setting);
        } else if (arg == "--state" && i + 1 < argc) {
            statePath = argv[++i];
        } else {
            return usage();
        }
    }
    if (!(rate >= 8000.0 && rate <= 192000.0)) {
        std::fprintf(stderr, "corvex-render: the rate must lie between 8000 and 192000 Hz\n");
        return 2;
    }

    const juce::File cwd = juce::File::getCurrentWorkingDirectory();
    const juce::File input = cwd.getChildFile(argv[1]);
    const juce::File output = cwd.getChildFile(argv[2]);
    juce::FileInputStream in(input);
    juce::MidiFile midi;
    if (!in.openedOk() || !midi.readFrom(in)) {
        std::fprintf(stderr, "corvex-render: cannot read a MIDI file from %s\n", input.getFullPathName().toRawUTF8());
        return 1;
    }

    corvex::InstrumentRenderer renderer(rate);
    if (statePath.isNotEmpty()) {
        const juce::File stateFile = cwd.getChildFile(statePath);
        juce::MemoryBlock state;
        if (!stateFile.loadFileAsData(state)) {
            std::fprintf(stderr, "corvex-render: cannot read the state file %s\n",
                         stateFile.getFullPathName().toRawUTF8());
            return 1;
        }
        if (!renderer.loadState(state.getData(), state.getSize())) return 1;
    }
    for (const Setting& setting : settings) {
        const int index = renderer.findParameter(setting.key);
        if (index < 0) {
            std::fprintf(stderr, "corvex-render: no parameter has the key \"%s\"\n", setting.key.toRawUTF8());
            return 2;
        }
        renderer.setParameter(index, setting.value);
    }

    const corvex::RenderResult result = renderer.render(midi, 2.0);

    output.deleteFile();
    std::unique_ptr<juce::FileOutputStream> stream = output.createOutputStream();
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer;
    if (stream != nullptr)
        writer.reset(wav.createWriterFor(stream.get(), rate, 2, 32, {}, 0));
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
    const float peak = corvex::peakMagnitude(result.audio);
    if (peak > 0.0f)
        std::printf("peak %.2f dBFS\n", 20.0 * std::log10(static_cast<double>(peak)));
    else
        std::printf("peak -inf dBFS\n");
    return 0;
}
