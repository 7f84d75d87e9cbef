#include "layout/HeightIndex.h"

#include <algorithm>
#include <utility>

namespace {
size_t lowestBit(size_t k) {
    return k & (~k + 1);
}
} // namespace

void HeightIndex::clear() {
    heights_.clear();
    gaps_.clear();
    exact_.clear();
    sums_.clear();
}

void HeightIndex::assign(std::vector<float> heights, std::vector<float> gaps) {
    gaps.resize(heights.size(), 0.f);
    heights_ = std::move(heights);
    gaps_ = std::move(gaps);
    exact_.assign(heights_.size(), false);
    rebuildSums();
}

void HeightIndex::replace(size_t at, size_t removed, size_t added) {
    // The entries both counts cover are cleared where they stand, so that only the difference
    // moves the ones after them, once.
    const size_t kept = std::min(removed, added);
    std::fill_n(heights_.begin() + ptrdiff_t(at), kept, 0.f);
    std::fill_n(gaps_.begin() + ptrdiff_t(at), kept, 0.f);
    std::fill_n(exact_.begin() + ptrdiff_t(at), kept, false);
    const auto from = ptrdiff_t(at + kept);
    if (removed > added) {
        const auto to = ptrdiff_t(at + removed);
        heights_.erase(heights_.begin() + from, heights_.begin() + to);
        gaps_.erase(gaps_.begin() + from, gaps_.begin() + to);
        exact_.erase(exact_.begin() + from, exact_.begin() + to);
    } else if (added > removed) {
        heights_.insert(heights_.begin() + from, added - removed, 0.f);
        gaps_.insert(gaps_.begin() + from, added - removed, 0.f);
        exact_.insert(exact_.begin() + from, added - removed, false);
    }
    rebuildSums();
}

void HeightIndex::setHeight(size_t entry, float height) {
    const double delta = double(height) - double(heights_[entry]);
    if (delta == 0)
        return;
    heights_[entry] = height;
    const size_t size = sums_.size();
    for (size_t k = entry + 1; k < size; k += lowestBit(k))
        sums_[k] += delta;
}

double HeightIndex::top(size_t entry) const {
    double sum = 0;
    for (size_t k = entry; k > 0; k -= lowestBit(k))
        sum += sums_[k];
    return sum;
}

size_t HeightIndex::at(double y) const {
    const size_t count = heights_.size();
    if (count == 0)
        return 0;
    // Down the tree: the most entries whose heights together reach no further than `y`.
    size_t position = 0;
    double remaining = y;
    size_t step = 1;
    while (step * 2 <= count)
        step *= 2;
    for (; step > 0; step /= 2) {
        if (position + step <= count && sums_[position + step] <= remaining) {
            position += step;
            remaining -= sums_[position];
        }
    }
    return std::min(position, count - 1);
}

void HeightIndex::rebuildSums() {
    const size_t count = heights_.size();
    sums_.assign(count + 1, 0);
    for (size_t i = 1; i <= count; ++i) {
        sums_[i] += heights_[i - 1];
        const size_t parent = i + lowestBit(i);
        if (parent <= count)
            sums_[parent] += sums_[i];
    }
}
