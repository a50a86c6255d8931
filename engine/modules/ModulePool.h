// Fixed-capacity pools of module storage with an index free list kept inside the items.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace corvex {

class ModulePoolBase {
public:
    virtual ~ModulePoolBase() = default;
    virtual void release(void* item) = 0;
    virtual void* allocate() = 0;
    virtual int capacity() const = 0;
    virtual int freeCount() const = 0;
    virtual bool owns(const void* item) const = 0;
};

// Link word: bits 0..14 next free item (0x7FFF = end), bits 15..29 the item's own index, bit 30 free.
template <class T, int N>
class ModulePool final : public ModulePoolBase {
    static_assert(N > 0 && N < 0x7FFF, "the free list holds 15-bit indices");

public:
    ModulePool() {
        // Touch every byte now so the audio thread never takes a page fault on a fresh item.
        std::memset(static_cast<void*>(items_), 0, sizeof(items_));
        head_ = 0;
        for (int i = 0; i < N; ++i) {
            uint32_t next = (i + 1 < N) ? static_cast<uint32_t>(i + 1) : kEnd;
            items_[i].link = kFreeBit | (static_cast<uint32_t>(i) << 15) | next;
        }
    }

    void* allocate() override {
        if (head_ < 0) return nullptr;
        Item& item = items_[head_];
        head_ = nextOf(item.link);
        item.link &= ~(kFreeBit | kBit31);
        return &item.storage;
    }

    void release(void* p) override {
        Item* item = itemOf(p);
        if (item == nullptr) return;
        if (item->link & (kFreeBit | kBit31)) return; // already free
        item->link = (item->link & 0x3FFF8000u) | (static_cast<uint32_t>(head_) & kEnd) | kFreeBit;
        head_ = static_cast<int32_t>((item->link >> 15) & 0x7FFF);
    }

    int capacity() const override { return N; }

    int freeCount() const override {
        int n = 0;
        for (int i = head_; i >= 0 && n <= N; ++n) i = nextOf(items_[i].link);
        return n;
    }

    bool owns(const void* p) const override { return itemOf(p) != nullptr; }

    static constexpr size_t itemBytes() { return sizeof(T); }

private:
    static constexpr uint32_t kEnd = 0x7FFF;
    static constexpr uint32_t kFreeBit = 1u << 30;
    static constexpr uint32_t kBit31 = 1u << 31;

    struct Item {
        T storage;
        uint32_t link;
    };

    static int32_t nextOf(uint32_t link) {
        uint32_t next = link & kEnd;
        return next == kEnd ? -1 : static_cast<int32_t>(next);
    }

    // A pointer that is not the start of one of our items is refused rather than corrupting the list.
    Item* itemOf(const void* p) const {
        auto addr = reinterpret_cast<uintptr_t>(p);
        auto base = reinterpret_cast<uintptr_t>(&items_[0]);
        if (addr < base || addr >= base + sizeof(items_)) return nullptr;
        if ((addr - base) % sizeof(Item) != 0) return nullptr;
        return const_cast<Item*>(&items_[(addr - base) / sizeof(Item)]);
    }

    int32_t head_ = 0;
    Item items_[N];
};

} // namespace corvex
