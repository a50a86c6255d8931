#include "instrument/params/ParameterMapping.h"

#include <cmath>

namespace corvex {

namespace {
bool usable(int index, float value) { return ParameterIndex::isValid(index) && std::isfinite(value); }
} // namespace

void ParameterMapping::setMapper(int index, std::shared_ptr<ParameterMapper> mapper) {
    if (ParameterIndex::isValid(index)) rows_[index] = std::move(mapper);
}

void ParameterMapping::pushCachedValue(int index) {
    if (ParameterMapper* m = mapper(index)) m->setValue(index, getCachedValue(index));
}

void ParameterMapping::setValue(int index, float value) {
    if (!usable(index, value)) return;
    cached_[index].store(value, std::memory_order_relaxed);
    if (listener_) listener_->valueChanged(index, value);
}

void ParameterMapping::setParameter(int index, float value) {
    if (!usable(index, value)) return;
    if (ParameterMapper* m = mapper(index)) m->setValue(index, value);
    cached_[index].store(value, std::memory_order_relaxed);
}

float ParameterMapping::getParameter(int index) {
    ParameterMapper* m = mapper(index);
    if (m == nullptr) return getCachedValue(index);
    const float v = m->getValue(index);
    return v == ParameterMapper::kUseCachedValue ? getCachedValue(index) : v;
}

float ParameterMapping::getCachedValue(int index) const {
    return ParameterIndex::isValid(index) ? cached_[index].load(std::memory_order_relaxed) : 0.0f;
}

void ParameterMapping::storeCachedValue(int index, float value) {
    if (usable(index, value)) cached_[index].store(value, std::memory_order_relaxed);
}

bool ParameterMapping::refreshParameter(int index) {
    ParameterMapper* m = mapper(index);
    if (m == nullptr) return false;
    const bool discrete = m->isDiscrete(index);
    if (!discrete) m->setValue(index, getCachedValue(index));
    return discrete;
}

void ParameterMapping::cacheProgramValues() {
    for (int index = 0; index < ParameterIndex::kCount; ++index) {
        ParameterMapper* m = mapper(index);
        if (m == nullptr) continue;
        const float value = m->getValue(index);
        if (value != ParameterMapper::kUseCachedValue && std::isfinite(value)) storeCachedValue(index, value);
    }
}

void ParameterMapping::followLoad(int layer) {
    for (int index = 0; index < ParameterIndex::kCount; ++index)
        if (ParameterMapper* m = mapper(index); m != nullptr && ParameterIndex::layerOf(index) == layer)
            m->followLoad(index);
}

std::string ParameterMapping::getName(int index) const {
    const ParameterMapper* m = mapper(index);
    return m ? m->getName(index) : std::string();
}

std::string ParameterMapping::getLongName(int index) const {
    const ParameterMapper* m = mapper(index);
    return m ? m->getLongName(index) : std::string();
}

std::string ParameterMapping::getText(int index) const {
    const ParameterMapper* m = mapper(index);
    return m ? m->getText(index, getCachedValue(index)) : std::string();
}

bool ParameterMapping::isDiscrete(int index) const {
    const ParameterMapper* m = mapper(index);
    return m != nullptr && m->isDiscrete(index);
}

bool ParameterMapping::isMapperFor(int index, int slot, int word) const {
    const ParameterMapper* m = mapper(index);
    return m != nullptr && m->isMapperFor(slot, word);
}

int ParameterMapping::quantise(int steps, float value) {
    if (steps <= 0 || std::isnan(value)) return 0;
    const double product = std::trunc(static_cast<double>(steps) * static_cast<double>(value));
    if (product < 0.0) return 0;
    if (product > steps - 1) return steps - 1;
    return static_cast<int>(product);
}

float ParameterMapping::stepToValue(int step, int steps) {
    if (steps <= 0) return 0.0f;
    const int clamped = step < steps - 1 ? step : steps - 1;
    return static_cast<float>((static_cast<double>(clamped) + 0.5) / steps);
}

} // namespace corvex
