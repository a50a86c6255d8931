// What a widget hears of one parameter index: its value echoes and its highlight.
#pragma once

namespace corvex {

class MVParameterListener {
public:
    virtual ~MVParameterListener() = default;
    // value 0..1.
    virtual void parameterChanged(int index, float value) = 0;
    // The integer part is the colour code: -1 none, 1 yellow, 2 green, 3 blue, any other red.
    virtual void highlightChanged(int index, float state) = 0;
};

} // namespace corvex
