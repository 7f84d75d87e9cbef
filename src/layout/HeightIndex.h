#pragma once

#include <cstddef>
#include <vector>

// The heights of entries standing one under the other (a layout's paragraphs), each with the
// space above it that its height includes and whether it was measured or only estimated, and
// their running sums in a Fenwick tree. The top of an entry, the entry at a height and a change
// of one height each cost O(log n) however long the column is. Inserting or erasing entries
// moves the ones after them anyway, so the sums are built anew then, in one pass.
class HeightIndex {
public:
    size_t size() const { return heights_.size(); }
    bool empty() const { return heights_.empty(); }
    void clear();
    // Every entry anew: `heights` with `gaps` the space above each, none of them exact.
    void assign(std::vector<float> heights, std::vector<float> gaps);
    // The `removed` entries from `at` on give way to `added` entries of no height.
    void replace(size_t at, size_t removed, size_t added);

    float height(size_t entry) const { return heights_[entry]; }
    float gap(size_t entry) const { return gaps_[entry]; }
    bool exact(size_t entry) const { return exact_[entry]; }
    void setHeight(size_t entry, float height);
    void setGap(size_t entry, float gap) { gaps_[entry] = gap; }
    void setExact(size_t entry, bool exact) { exact_[entry] = exact; }

    // How far below the first entry's top `entry` starts; top(size()) is the total.
    double top(size_t entry) const;
    double total() const { return top(size()); }
    // The entry that holds `y` (measured as top() is): the first one reaching below `y`, so one
    // of no height only when it is the last; the first for a `y` above them all, the last for
    // one below them all.
    size_t at(double y) const;

private:
    void rebuildSums();

    std::vector<float> heights_;
    std::vector<float> gaps_;
    std::vector<bool> exact_;
    std::vector<double> sums_; // sums_[k] covers heights_ (k - lowbit(k), k]
};
