// Mappers that drive kernel connections from several rows at once: pulse-width modulation and the
// modulation routers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "instrument/params/ParameterMapper.h"

namespace corvex {

class CorvanKernelProgram;
class CorvanParameters;

// A connection amount word for a normalised amount: trunc(a x 16384), held inside the signed 16-bit
// range the kernel reads amounts in, so an amount beyond +-2 saturates instead of changing sign.
uint16_t connectionAmountWord(double amount);

// The pulse-width controls of one layer: the mode row picks what moves the oscillators' pulse width
// (envelope 1, a manual setting, the LFO) and the amount row sets how much. Oscillator 2 always takes
// part; oscillator 1 only while its wave is the rectangle, and loses its pulse-width routes otherwise.
class ParameterMapperPWMMod : public ParameterMapper {
public:
    enum Mode { Unknown = -1, Envelope = 0, Manual = 1, Lfo = 2 };

    static constexpr int kAmountRow = 8;
    static constexpr int kModeRow = 217;

    ParameterMapperPWMMod(CorvanParameters& table, int part);

    void setValue(int index, float value) override;
    float getValue(int index) override;
    std::string getName(int index) const override;
    std::string getLongName(int index) const override;
    std::string getText(int index, float value) const override;
    // A loaded layer brings its routes, not our mode: the mode and amount become what they describe.
    void followLoad(int index) override;

    int mode() const { return mode_; }

private:
    // The mode that the routes into oscillator 2 describe, and the amount that a mode reads.
    int modeFromRoutes() const;
    float amountIn(int mode) const;
    bool oscillator1IsRectangle();
    void applyMode(int oscillatorSlot);
    void applyAmount(int oscillatorSlot, float value);
    void detachOscillator1();
    // The pulse-width route into an oscillator from the LFO (true) or from envelope 1 (false).
    bool hasRoute(bool fromLfo, int oscillatorSlot) const;
    float routeAmount(bool fromLfo, int oscillatorSlot) const;

    CorvanParameters& table_;
    CorvanKernelProgram& program_;
    int part_;
    float amount_ = 0.0f;
    int mode_ = Unknown;
};

// One modulation route made of up to three rows: which source, which destination, how much. The router
// keeps nothing itself: the route lives in the part's connection list, the choices in the table's cache.
class ParameterMapperRouter : public ParameterMapper {
public:
    struct Source {
        int slot, port;
    };
    // A destination of slot and port -1 means "no destination": choosing it removes the route.
    struct Destination {
        int slot, port;
        uint16_t second;
    };
    // The router's rows in Upper numbering; -1 where the router has no such row.
    struct Rows {
        int source = -1, destination = -1, amount = -1;
    };
    enum class TextMode { Unipolar, Bipolar };

    ParameterMapperRouter(std::string keyBase, std::string longName, CorvanParameters& table, int part, int kind,
                          Rows rows, std::vector<Source> sources, std::vector<Destination> destinations,
                          TextMode textMode);

    void setValue(int index, float value) override;
    float getValue(int index) override;
    // The key base with "S", "D" or "A" for the source, destination or amount row.
    std::string getName(int index) const override;
    std::string getText(int index, float value) const override;

protected:
    struct Route {
        int source, destination;
        float amount;
    };

    // The route this router holds in the part, as (source, destination) list positions and its amount.
    // With `preferred` the pair given is tried first; otherwise, or when it is absent, the first pair in
    // list order that exists. Nothing when no pair of the lists is connected.
    std::optional<Route> findRoute(std::optional<Route> preferred) const;
    // The list position a row's cached value selects; 0 for a row the router does not have.
    int selection(int upperRow, int count) const;
    // The table row of one of the router's Upper-numbered rows in this router's layer.
    int layerRow(int upperRow) const;
    bool usable(int source, int destination) const;
    void connectRoute(int source, int destination, float amount);
    void disconnectRoute(int source, int destination);
    void setRouteAmount(int source, int destination, float amount);

    CorvanParameters& table_;
    CorvanKernelProgram& program_;
    int kind_;
    int part_;
    Rows rows_;
    std::vector<Source> sources_;
    std::vector<Destination> destinations_;
    TextMode textMode_;
};

} // namespace corvex
