// The converter between one parameter index's normalised value and the kernel program.
#pragma once

#include <string>

namespace corvex {

// A mapper may serve several rows of the table (the rows share it); every call names the row it
// arrives at. Calls come from the message thread and, for learned controllers, the audio thread.
class ParameterMapper {
public:
    ParameterMapper(std::string key, std::string longName, bool discrete)
        : key_(std::move(key)), longName_(std::move(longName)), discrete_(discrete) {}
    virtual ~ParameterMapper() = default;
    ParameterMapper(const ParameterMapper&) = delete;
    ParameterMapper& operator=(const ParameterMapper&) = delete;

    // The answer to getValue when the mapper has no kernel value to give: the table then answers the
    // row's cached value.
    static constexpr float kUseCachedValue = -1.0f;

    virtual void setValue(int index, float value) = 0;
    virtual float getValue(int index) = 0;
    virtual std::string getName(int /*index*/) const { return key_; }
    virtual std::string getLongName(int /*index*/) const { return longName_; }
    // Continuous mappers answer false: the editor pushes their cached value again when it refreshes.
    virtual bool isDiscrete(int /*index*/) const { return discrete_; }
    virtual std::string getText(int index, float value) const;
    // Whether a kernel echo of (module slot, parameter word) concerns this mapper's row. Mappers that
    // name no single word claim every echo.
    virtual bool isMapperFor(int /*slot*/, int /*word*/) const { return true; }
    // A load replaced the kernel program behind this row, and the table has taken the cached values stored
    // with it. A mapper that remembers a choice of its own (an effect, a mode, a destination) takes the
    // loaded one here, so the next value a host or a controller sets goes where the loaded sound has it.
    virtual void followLoad(int /*index*/) {}

protected:
    std::string key_;
    std::string longName_;
    bool discrete_;
};

// printf-style formatting into a std::string, for value texts.
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace corvex
