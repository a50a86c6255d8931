// A part's list of held (or released) notes, oldest first, at most 32.
#pragma once

#include <cstdint>

namespace corvex {

class NoteList {
public:
    static constexpr int kCapacity = 32;

    struct Entry {
        uint8_t note;
        uint8_t velocity;
    };

    int count() const { return count_; }
    bool empty() const { return count_ == 0; }
    const Entry& at(int i) const { return entries_[i]; }
    const Entry& oldest() const { return entries_[0]; }
    const Entry& newest() const { return entries_[count_ - 1]; }
    bool contains(int note) const { return find(note) >= 0; }
    void clear() { count_ = 0; }

    // Index of the oldest entry with the note, or -1.
    int find(int note) const {
        for (int i = 0; i < count_; ++i)
            if (entries_[i].note == note) return i;
        return -1;
    }

    // Appends at the newest end, dropping the oldest when full; answers whether the list was empty.
    bool append(int note, int velocity) {
        const bool wasEmpty = count_ == 0;
        if (count_ == kCapacity) removeAt(0);
        entries_[count_++] = {static_cast<uint8_t>(note), static_cast<uint8_t>(velocity)};
        return wasEmpty;
    }

    // Removes the newest entry with the note: -1 when absent, 1 when the list became empty, else 0.
    int remove(int note) {
        for (int i = count_ - 1; i >= 0; --i) {
            if (entries_[i].note == note) {
                removeAt(i);
                return count_ == 0 ? 1 : 0;
            }
        }
        return -1;
    }

    Entry removeAt(int i) {
        const Entry e = entries_[i];
        for (int k = i; k + 1 < count_; ++k) entries_[k] = entries_[k + 1];
        --count_;
        return e;
    }

    // Keeps the notes in ascending order; refused (false) when full.
    bool insertSorted(int note, int velocity) {
        if (count_ == kCapacity) return false;
        int at = count_;
        while (at > 0 && entries_[at - 1].note > note) {
            entries_[at] = entries_[at - 1];
            --at;
        }
        entries_[at] = {static_cast<uint8_t>(note), static_cast<uint8_t>(velocity)};
        ++count_;
        return true;
    }

private:
    Entry entries_[kCapacity] = {};
    int count_ = 0;
};

} // namespace corvex
