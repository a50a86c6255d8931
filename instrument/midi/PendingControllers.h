// Controller values that met a busy edit lock, kept (latest value per code) for the next block.
#pragma once

#include <array>
#include <cstdint>

namespace corvex {

struct PendingController {
    int32_t code = 0;
    int8_t value = 0;
    bool mayLearn = false;
};

// Audio thread only: filled when the try-lock fails, emptied in arrival order when it next succeeds.
class PendingControllers {
public:
    static constexpr int kCapacity = 64;

    // False when the table is full and the value is lost.
    bool put(int32_t code, int value, bool mayLearn) {
        for (int i = 0; i < count_; ++i)
            if (slots_[i].code == code && slots_[i].mayLearn == mayLearn) {
                slots_[i].value = static_cast<int8_t>(value);
                return true;
            }
        if (count_ == kCapacity)
            return false;
        slots_[count_++] = {code, static_cast<int8_t>(value), mayLearn};
        return true;
    }

    int size() const { return count_; }
    const PendingController& operator[](int i) const { return slots_[i]; }
    void clear() { count_ = 0; }

private:
    std::array<PendingController, kCapacity> slots_{};
    int count_ = 0;
};

} // namespace corvex
