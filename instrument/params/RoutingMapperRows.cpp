// Rows of the pulse-width modulation mapper and the modulation routers.
#include <memory>
#include <string>
#include <vector>

#include "instrument/params/CorvanParameters.h"
#include "instrument/params/ParameterIndex.h"
#include "instrument/params/ParameterRows.h"
#include "instrument/params/RoutingMappers.h"

namespace corvex {

namespace {

using Router = ParameterMapperRouter;

// The destinations every X/Y and keyboard router offers, in list order; the two families pass the
// kernel different second values (amount curve and range) for the same inputs.
struct DestinationChoice {
    int slot, port;
    uint16_t secondXY, secondKeyboard;
};
constexpr DestinationChoice kDestinations[] = {
    {-1, -1, 0, 0},     // none
    {2, 0, 114, 127},   // oscillator 1 pitch
    {3, 0, 114, 127},   // oscillator 2 pitch
    {2, 2, 1, 15},      // oscillator 1 pulse width
    {3, 2, 1, 15},      // oscillator 2 pulse width
    {4, 1, 147, 159},   // high-pass cutoff
    {5, 1, 147, 159},   // low-pass cutoff
    {5, 2, 0, 0},       // low-pass input 2
    {8, 2, 1, 15},      // amplifier
};

std::vector<Router::Destination> destinations(bool keyboard) {
    std::vector<Router::Destination> list;
    for (const DestinationChoice& d : kDestinations)
        list.push_back({d.slot, d.port, keyboard ? d.secondKeyboard : d.secondXY});
    return list;
}

// One family of three routers from one source: kinds 1..3 keep their connections apart.
struct RouterFamily {
    const char* keyName;  // "QXRot": the n-th router's key base is the layer letter, this and n
    const char* longName; // "X Axis Mod": the long name is this, n and " Amount"
    Router::Source source;
    int firstDestinationRow, firstAmountRow;
    bool keyboard;
};
constexpr RouterFamily kRouterFamilies[] = {
    {"QXRot", "X Axis Mod", {25, 4}, 444, 33, false},
    {"QYRot", "Y Axis Mod", {25, 5}, 447, 36, false},
    {"KeybV", "Keyb Velo", {1, 4}, 590, 593, true},
    {"KeybA", "Keyb Aftertouch", {1, 6}, 600, 603, true},
};

} // namespace

void addRoutingRows(CorvanParameters& table, int layer) {
    const int part = ParameterIndex::partOfLayer(layer);

    const auto pwm = std::make_shared<ParameterMapperPWMMod>(table, part);
    table.placeLayerMapper(ParameterMapperPWMMod::kAmountRow, layer, pwm);
    table.placeLayerMapper(ParameterMapperPWMMod::kModeRow, layer, pwm);

    for (const RouterFamily& f : kRouterFamilies) {
        for (int n = 1; n <= 3; ++n) {
            Router::Rows rows;
            rows.destination = f.firstDestinationRow + n - 1;
            rows.amount = f.firstAmountRow + n - 1;
            const auto router = std::make_shared<Router>(
                layerKey(layer, f.keyName + std::to_string(n)), f.longName + (" " + std::to_string(n)) + " Amount",
                table, part, n, rows, std::vector<Router::Source>{f.source}, destinations(f.keyboard),
                f.keyboard ? Router::TextMode::Bipolar : Router::TextMode::Unipolar);
            table.placeLayerMapper(rows.destination, layer, router);
            table.placeLayerMapper(rows.amount, layer, router);
        }
    }
}

} // namespace corvex
