#pragma once
#include <QByteArray>

#include <optional>
#include <vector>

// The files a batch has reached so far, each as an input or an output, remembered in 16 bytes:
// 96 bits of a hash of its canonical path (two of a million names share one by chance about
// once in 10^16 batches) and who reached it. Two million files (a million inputs and their
// outputs) take 64 MB, 96 while the table doubles, where holding a million names took 600.
class SeenFiles {
public:
    struct Seen {
        bool output = false; // reached as an output, else as an input
        bool listed = false; // a name listed on standard input, else one of the command line
        // The list's line or the command line's INPUT, from 1; 0 past what 30 bits count.
        qint64 number = 0;
    };

    // Who reached `path` first, or nothing when none did.
    std::optional<Seen> find(const QByteArray& path) const;
    // Who reached `path` first; when none did, records `by` and returns nothing.
    std::optional<Seen> claim(const QByteArray& path, const Seen& by);

private:
    struct Slot {
        quint64 hash = 0;
        quint32 check = 0;
        quint32 who = 0; // 0: empty
    };
    struct Key {
        quint64 hash;
        quint32 check;
    };
    static Key keyOf(const QByteArray& path);
    size_t slotOf(const Key& key) const;
    void grow();
    std::vector<Slot> slots_ = std::vector<Slot>(1024);
    size_t used_ = 0;
};
