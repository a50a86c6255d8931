// What the equaliser graph shows, without a window: the value curves and sections the engine's equaliser plays,
// the summed response, the graph's axes and labels, and which band a click takes and what a drag sends.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/modules/types/ParametricEqCoefficients.h"

namespace corvex::eqgraph {

// The graph draws the chain at the rate the sound is designed at; the bands stay below its half.
constexpr double kRate = 44100.0;
constexpr int kBandCount = 4;
constexpr double kLowestHz = 20.0;
constexpr double kHighestHz = 20000.0;

enum class BandKind { LowShelf, Peak, HighShelf };
constexpr BandKind kBandKinds[kBandCount] = {BandKind::LowShelf, BandKind::Peak, BandKind::Peak, BandKind::HighShelf};
constexpr bool hasQ(int band) { return band == 1 || band == 2; }

// The ten band parameters in the order of the chain's value pairs and sources: band and letter of each.
struct Parameter {
    int band;
    char letter;
};
constexpr Parameter kParameters[10] = {{0, 'F'}, {0, 'G'}, {1, 'F'}, {1, 'G'}, {1, 'Q'},
                                       {2, 'F'}, {2, 'G'}, {2, 'Q'}, {3, 'F'}, {3, 'G'}};

// Normalised parameter values of one band, as the widgets hold them.
struct BandValues {
    float frequency = 0.5f;
    float gain = 0.5f;
    float q = 0.0f;
    bool enabled = false;
};
using Bands = std::array<BandValues, kBandCount>;

// The engine's own curves: Hz, dB and Q of a normalised value.
double frequencyHz(float value);
double gainDb(float value);
double qFactor(float value);
// The value whose frequency is `hz`: 0 below 20 Hz, 1 from 20 kHz on.
float frequencyValue(double hz);
// The two-step reading of a band switch.
bool switchIsOn(float value);

BiquadCoefficients bandCoefficients(int band, const BandValues& values);
// |H| of one section at `hz`; a section whose denominator vanishes there counts as silent.
double magnitude(const BiquadCoefficients& c, double hz);

// The chain's sections, recomputed whenever a value changes.
class Response {
public:
    void update(const Bands& bands);
    // The product of the enabled sections in dB (0 dB with none); a null product floors at kFloorDb.
    double levelDb(double hz) const;

    static constexpr double kFloorDb = -200.0;

private:
    std::array<BiquadCoefficients, kBandCount> sections_{};
    std::array<bool, kBandCount> enabled_{};
};

// Pixel mapping of a graph of width w and height h: eleven octaves from 12 Hz, +40 dB to -40 dB.
struct Axes {
    int width;
    int height;

    static constexpr int kLeft = 35;
    static constexpr int kTop = 5;
    static constexpr int kBottomMargin = 14;
    static constexpr double kLowestShownHz = 12.0;
    static constexpr double kOctaves = 11.0;
    static constexpr double kLevelRangeDb = 40.0;

    double pixelsPerOctave() const { return (width - 45) / kOctaves; }
    int xOfFrequency(double hz) const;
    double frequencyAtX(double x) const;
    // Width of the plot, from its left edge to 20 kHz.
    int plotWidth() const { return xOfFrequency(kHighestHz) - 36; }
    double yOfLevel(double db) const;
    int plotBottom() const { return height - kBottomMargin; }
    // The curve's y at x, kept inside the plot.
    int curveY(const Response& response, int x) const;
    // A band handle's centre.
    int handleY(float gainValue) const;
    // The normalised level of a handle dragged to y, within 0..1.
    float levelValueAtY(double y) const;
};

// "12", "1.5K", "20K", "-40": cut to one decimal, whole numbers without one, thousands as K.
std::string axisText(double value);
// The frequency labels under the grid lines n = 0..11 (12 Hz doubling, the last one 20 kHz).
std::string frequencyLabel(int n);

// The band whose handle lies within 10 pixels of (x, y), the highest-numbered one when several do; -1 for none.
int bandAt(const Axes& axes, const Bands& bands, int x, int y);

struct Edit {
    int index;
    float value;
};
// The chain-0 edits a drag of `band` to (x, y) sends: frequency then gain with the left button, Q with the
// right button for the two peak bands, nothing otherwise.
std::vector<Edit> dragEdits(const Axes& axes, int band, int x, int y, bool rightButton);

} // namespace corvex::eqgraph
