// The noise source's looped recordings: generated once from fixed seeds, read by the audio thread.
#pragma once

namespace corvex {

enum class NoiseRecording { Broadband, Dark, Jitter };

// Tables made for 44.1 kHz also serve 48 kHz, those made for 88.2 kHz also 96 kHz.
enum class NoiseRateFamily { Base, Double };

// Playback wraps here at every rate; the tables hold at least this much.
constexpr int kNoiseLongLoop = 88100;
constexpr int kNoiseShortLoop = 15938;

constexpr int kNoiseLongLengthBase = 88200;
constexpr int kNoiseLongLengthDouble = 176400;
constexpr int kNoiseShortLength = 15938;

// -3 dBFS: the recordings' largest sample.
constexpr float kNoisePeak = 0.7079f;

// Fills every table the first time it is called and does nothing after that; safe to call from
// several threads at once. The kernel calls it while it is being built, never while it renders.
void prepareNoiseTables();

// The table stays the same array for the life of the program (all zeros until prepared).
const float* noiseTable(NoiseRecording recording, NoiseRateFamily family);
int noiseTableLength(NoiseRecording recording, NoiseRateFamily family);

} // namespace corvex
