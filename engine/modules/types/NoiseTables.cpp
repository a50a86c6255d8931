// The noise source's looped recordings: generated once from fixed seeds, read by the audio thread.
#include "engine/modules/types/NoiseTables.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <vector>

#include "engine/dsp/SampleGuards.h"

namespace corvex {

namespace {

float gBroadbandBase[kNoiseLongLengthBase];
float gDarkBase[kNoiseLongLengthBase];
float gJitterBase[kNoiseShortLength];
float gBroadbandDouble[kNoiseLongLengthDouble];
float gDarkDouble[kNoiseLongLengthDouble];
float gJitterDouble[kNoiseShortLength];

std::once_flag gPrepared;

// How one recording is made: Gaussian noise from a fixed seed, low-passed by a cascade of
// one-pole filters (none for broadband), its loop seam hidden by a crossfade.
struct Recipe {
    float* table;
    int length;
    int loop;
    int fade;
    uint64_t seed;
    int poles;
    double cutoffHz;
    double rate;
};

// xorshift64*: small, fast and the same on every platform, so the tables never change.
class NoiseGenerator {
public:
    explicit NoiseGenerator(uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}

    double uniform() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        const uint64_t r = state_ * 0x2545F4914F6CDD1Dull;
        return (double(r >> 11) + 0.5) * (1.0 / 9007199254740992.0); // (0, 1), never 0
    }

    double gaussian() {
        const double u = uniform();
        const double v = uniform();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * kPi * v);
    }

private:
    uint64_t state_;
};

std::vector<double> filteredNoise(const Recipe& r, int count) {
    NoiseGenerator random(r.seed);
    const double a = r.poles > 0 ? 1.0 - std::exp(-2.0 * kPi * r.cutoffHz / r.rate) : 1.0;
    // Let the filters settle first, so the recording does not open with their rise from zero.
    const int settle = r.poles > 0 ? int(8.0 / a) : 0;
    double stage[4] = {};
    std::vector<double> out(size_t(count), 0.0);
    for (int i = -settle; i < count; ++i) {
        double x = random.gaussian();
        for (int p = 0; p < r.poles; ++p) {
            stage[p] += a * (x - stage[p]);
            x = stage[p];
        }
        if (i >= 0) out[size_t(i)] = x;
    }
    return out;
}

// The loop plays samples 0 .. loop-1 and then 0 again. The opening is crossfaded from the noise
// that continues past the loop end, so the jump from the last played sample to the first is one
// step of the same continuous signal. Both sides are independent noise: equal-power weights keep
// the level steady through the fade.
std::vector<double> loopedNoise(const Recipe& r) {
    const std::vector<double> x = filteredNoise(r, std::max(r.length, r.loop + r.fade));
    std::vector<double> y(x.begin(), x.begin() + r.length);
    for (int i = 0; i < r.fade; ++i) {
        const double theta = 0.5 * kPi * double(i) / double(r.fade);
        y[size_t(i)] = std::sin(theta) * x[size_t(i)] + std::cos(theta) * x[size_t(r.loop + i)];
    }
    double mean = 0.0;
    for (int i = 0; i < r.loop; ++i) mean += y[size_t(i)];
    mean /= double(r.loop);
    for (double& v : y) v -= mean;
    return y;
}

// Stored as 16-bit recordings are: whole steps of 1/32767 of full scale, full scale at -3 dBFS.
void quantise(const std::vector<double>& y, float* table) {
    double peak = 0.0;
    for (double v : y) peak = std::max(peak, std::fabs(v));
    const double scale = peak > 0.0 ? 32767.0 / peak : 0.0;
    const double step = double(kNoisePeak) / 32767.0;
    for (size_t i = 0; i < y.size(); ++i) {
        const long q = std::clamp(std::lround(y[i] * scale), -32767L, 32767L);
        table[i] = float(double(q) * step);
    }
}

void generate() {
    // The dark recording is noise below about 1 kHz; the jitter wanders a few times a second.
    const Recipe recipes[] = {
        {gBroadbandBase, kNoiseLongLengthBase, kNoiseLongLoop, 4096, 0x5EED0001ull, 0, 0.0, 44100.0},
        {gDarkBase, kNoiseLongLengthBase, kNoiseLongLoop, 4096, 0x5EED0002ull, 2, 1000.0, 44100.0},
        {gJitterBase, kNoiseShortLength, kNoiseShortLoop, 4096, 0x5EED0003ull, 3, 15.0, 44100.0},
        {gBroadbandDouble, kNoiseLongLengthDouble, kNoiseLongLoop, 8192, 0x5EED0011ull, 0, 0.0, 88200.0},
        {gDarkDouble, kNoiseLongLengthDouble, kNoiseLongLoop, 8192, 0x5EED0012ull, 2, 1000.0, 88200.0},
        {gJitterDouble, kNoiseShortLength, kNoiseShortLoop, 4096, 0x5EED0013ull, 3, 15.0, 88200.0},
    };
    for (const Recipe& r : recipes) quantise(loopedNoise(r), r.table);
}

} // namespace

void prepareNoiseTables() { std::call_once(gPrepared, generate); }

const float* noiseTable(NoiseRecording recording, NoiseRateFamily family) {
    const bool base = family == NoiseRateFamily::Base;
    switch (recording) {
    case NoiseRecording::Broadband: return base ? gBroadbandBase : gBroadbandDouble;
    case NoiseRecording::Dark: return base ? gDarkBase : gDarkDouble;
    case NoiseRecording::Jitter: return base ? gJitterBase : gJitterDouble;
    }
    return nullptr;
}

int noiseTableLength(NoiseRecording recording, NoiseRateFamily family) {
    if (recording == NoiseRecording::Jitter) return kNoiseShortLength;
    return family == NoiseRateFamily::Base ? kNoiseLongLengthBase : kNoiseLongLengthDouble;
}

} // namespace corvex
