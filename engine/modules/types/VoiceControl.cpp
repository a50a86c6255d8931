#include "engine/modules/types/VoiceControl.h"

#include <algorithm>
#include <cmath>

#include "engine/modules/EchoCodes.h"
#include "engine/modules/EngineContext.h"

namespace corvex {

namespace {

constexpr float kGlideTimes[13] = {0.0f, 7.5f, 15.0f, 30.0f, 60.0f, 120.0f, 240.0f,
                                   480.0f, 860.0f, 1720.0f, 3440.0f, 6880.0f, 13600.0f};
constexpr float kWord = 1.0f / 16384.0f;

VoiceControlParams& params(ParameterRecord* record) { return record->as<VoiceControlParams>(); }

float glideCoefficient(float time) {
    if (time == 0.0f) return 1.0f;
    const float x = -1.0f / time;
    return 1.0f - (1.0f + x + x * x / 2.0f + x * x * x / 6.0f);
}

void setGlide(VoiceControlParams& p, float v) {
    p.glideTime = glideTimeFromValue(v);
    p.glideCoefficient = glideCoefficient(p.glideTime);
}

} // namespace

float glideTimeFromValue(float v) {
    if (!(v > 0.0f)) return kGlideTimes[0];
    if (v >= 1.0f) return kGlideTimes[12];
    const float t = 12.0f * v;
    const int i = std::min(static_cast<int>(t), 11);
    const float f = t - static_cast<float>(i);
    return (1.0f - f) * kGlideTimes[i] + f * kGlideTimes[i + 1];
}

// A quadratic Bezier with x controls (0, shape, 1) and y controls (start, middle, end), sampled at
// x = i/6. The Newton-like search is capped: a shape outside 0..1 can leave x(t) non-monotonic.
void drawControlCurve(const float controls[4], float curve[kCurvePoints]) {
    const float start = controls[0], shape = controls[1], middle = controls[2], end = controls[3];
    auto xAt = [shape](float t) { return 2.0f * t * (1.0f - t) * shape + t * t; };
    auto yAt = [&](float t) { return (1.0f - t) * (1.0f - t) * start + 2.0f * t * (1.0f - t) * middle + t * t * end; };
    float t = 0.0f;
    for (int i = 0; i < kCurvePoints; ++i) {
        const float target = static_cast<float>(i) / 6.0f;
        if (i == 0) {
            t = 0.0f;
        } else if (i == kCurvePoints - 1) {
            t = 1.0f;
        } else {
            for (int step = 0; step < 200 && std::fabs(xAt(t) - target) > 1.0f / 60.0f; ++step)
                t = std::clamp(t - 0.5f * (xAt(t) - target), 0.0f, 1.0f);
        }
        const float y = yAt(t);
        curve[i] = std::isfinite(y) ? std::clamp(y, -1.0f, 1.0f) : 0.0f;
        if (i < kCurvePoints - 1) t = t + (1.0f - t) / static_cast<float>(7 - i);
    }
}

float readControlCurve(const float curve[kCurvePoints], float x) {
    if (!(x >= 0.0f)) return curve[0];
    if (x >= 1.0f) return curve[kCurvePoints - 1];
    const float t = 6.0f * x;
    const int i = std::min(static_cast<int>(t), kCurvePoints - 2);
    const float f = t - static_cast<float>(i);
    return (1.0f - f) * curve[i] + f * curve[i + 1];
}

void voiceControlInit(void* module, EngineContext*) {
    auto& m = *static_cast<VoiceControlModule*>(module);
    for (PortEntry& p : m.ports) p.value = 0.0f;
    m.increment = 0.0f;
    m.bendJump = 1.0f;
    // A rebuilt voice keeps its pitch; only a fresh item starts from zero.
    if (m.initialised != 1) {
        for (float& c : m.pitchCopies) c = 0.0f;
        m.currentPitch = 0.0f;
        m.smoothedBend = 0.0f;
        m.targetNote = 0.0f;
        m.velocity = 0;
        m.initialised = 1;
    }
    m.partBend = nullptr;
    m.partPressureNote = nullptr;
    m.partPressureValue = nullptr;
}

void voiceControlAttach(void* module, const float* bend, const uint16_t* pressureNote, const float* pressureValue) {
    auto& m = *static_cast<VoiceControlModule*>(module);
    m.partBend = bend;
    m.partPressureNote = pressureNote;
    m.partPressureValue = pressureValue;
}

void voiceControlNoteOn(void* module, int note, int velocity) {
    auto& m = *static_cast<VoiceControlModule*>(module);
    const EngineContext* ctx = m.head.context;
    const float glide = m.head.record ? params(m.head.record).glideTime : 0.0f;
    const float rate = ctx ? ctx->sampleRate : 44100.0f;
    m.targetNote = static_cast<float>(note);
    const float distance = m.targetNote - m.currentPitch;
    float increment = distance / (glide * rate * 0.00001f + 0.001f);
    const float next = m.currentPitch + increment;
    if ((increment >= 0.0f && next > m.targetNote) || (increment <= 0.0f && next < m.targetNote)) increment = distance;
    m.increment = increment;
    m.velocity = velocity;
    m.glidePosition = 0;
}

void voiceControlProcess(void* module, const ConnectionDescriptor*, const PortEntry* const*, const uint32_t*) {
    auto& m = *static_cast<VoiceControlModule*>(module);
    const float bend = m.partBend ? *m.partBend : 0.0f;
    if (m.bendJump != 0.0f) m.smoothedBend = bend;
    m.bendJump = 0.0f;
    m.smoothedBend += (bend - m.smoothedBend) * 0.05f;

    const uint16_t pressureNote = m.partPressureNote ? *m.partPressureNote : 255;
    const float pressure = (pressureNote == 255 || static_cast<float>(pressureNote) == m.targetNote) && m.partPressureValue
                               ? *m.partPressureValue
                               : 0.0f;

    if ((m.increment > 0.0f && m.currentPitch < m.targetNote) || (m.increment < 0.0f && m.currentPitch > m.targetNote))
        m.currentPitch += m.increment;
    else
        m.currentPitch = m.targetNote;
    for (float& c : m.pitchCopies) c = m.currentPitch;

    if (m.head.record == nullptr) return;
    const VoiceControlParams& p = params(m.head.record);
    for (int k = 0; k < 4; ++k)
        if (m.ports[k].users() != 0)
            m.ports[k].value = (m.currentPitch - p.keyFollow[k][2]) * p.keyFollow[k][0] * (1.0f / 12.0f);
    if (m.ports[4].users() != 0)
        m.ports[4].value = readControlCurve(p.velocityCurve, static_cast<float>(m.velocity) * (1.0f / 127.0f));
    if (m.ports[5].users() != 0) m.ports[5].value = m.smoothedBend;
    if (m.ports[6].users() != 0) m.ports[6].value = readControlCurve(p.pressureCurve, pressure);
}

void voiceControlSet(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                     EngineContext*) {
    if (record == nullptr) return;
    VoiceControlParams& p = params(record);
    const float f = static_cast<float>(value) * kWord;
    float echo = f;
    int code = echo::Fraction;
    switch (parameter) {
    case 7: case 10: case 13: case 16:
        p.keyFollow[(parameter - 7) / 3][0] = 0.25f;
        echo = 0.25f;
        break;
    case 8: case 11: case 14: case 17:
        p.keyFollow[(parameter - 8) / 3][1] = f;
        break;
    case 9: case 12: case 15: case 18:
        // Every centre is middle C: the data block sets them so, and so does each setter.
        p.keyFollow[(parameter - 9) / 3][2] = 60.0f;
        echo = 60.0f;
        break;
    case 19:
        p.curveSelect = value;
        echo = static_cast<float>(value);
        code = echo::Selection;
        break;
    case 20:
        setGlide(p, f);
        echo = p.glideTime;
        code = echo::Milliseconds;
        break;
    case 31: case 32: case 33: case 34:
        p.velocityControls[parameter - 31] = f;
        drawControlCurve(p.velocityControls, p.velocityCurve);
        break;
    case 35: case 36: case 37: case 38:
        p.pressureControls[parameter - 35] = f;
        drawControlCurve(p.pressureControls, p.pressureCurve);
        break;
    default:
        return;
    }
    if (echoValue) *echoValue = echo;
    if (echoCode) *echoCode = code;
}

void voiceControlLoad(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext*) {
    if (record == nullptr || wordCount < 39) return;
    VoiceControlParams& p = params(record);
    auto word = [data](int j) { return static_cast<int16_t>(data[j + 2]); };
    for (int k = 0; k < 4; ++k)
        for (int f = 0; f < 3; ++f) p.keyFollow[k][f] = static_cast<float>(word(7 + 3 * k + f)) * kWord;
    p.curveSelect = word(19);
    const float glideInput = static_cast<float>(word(20)) * kWord;
    for (int i = 0; i < 4; ++i) {
        p.velocityControls[i] = static_cast<float>(word(31 + i)) * kWord;
        p.pressureControls[i] = static_cast<float>(word(35 + i)) * kWord;
    }
    drawControlCurve(p.velocityControls, p.velocityCurve);
    drawControlCurve(p.pressureControls, p.pressureCurve);
    for (int k = 0; k < 4; ++k) {
        p.keyFollow[k][0] = 0.25f;
        p.keyFollow[k][2] = 60.0f;
    }
    p.keyFollow[0][1] = 2.0f;
    setGlide(p, glideInput);
}

} // namespace corvex
