#pragma once
// The host's growable table. Plain values only; the table owns none of what pointers in it point to.
#include <vector>

template <class T>
class Tab {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    void SetCount(int count) { items_.resize(count > 0 ? static_cast<size_t>(count) : 0); }
    void ZeroCount() { items_.clear(); }
    T& operator[](int i) { return items_[static_cast<size_t>(i)]; }
    const T& operator[](int i) const { return items_[static_cast<size_t>(i)]; }
    T* Addr(int i) { return &items_[static_cast<size_t>(i)]; }
    // Appends `num` items from `items`; returns the index of the first.
    int Append(int num, const T* items, int allocExtra = 0) {
        (void)allocExtra;
        const int first = Count();
        for (int i = 0; i < num; ++i) items_.push_back(items[i]);
        return first;
    }

private:
    std::vector<T> items_;
};
