#include "SeenFiles.h"

#include <QCryptographicHash>

#include <cstring>

namespace {

constexpr quint32 outputBit = 1u << 31;
constexpr quint32 listedBit = 1u << 30;
constexpr quint32 numberMask = listedBit - 1;

// The number saturates at numberMask, which stands for "not known" and keeps the packed value
// from ever being 0, the empty slot.
quint32 packed(const SeenFiles::Seen& seen) {
    const quint32 number =
        seen.number > 0 && seen.number < qint64(numberMask) ? quint32(seen.number) : numberMask;
    return (seen.output ? outputBit : 0) | (seen.listed ? listedBit : 0) | number;
}

SeenFiles::Seen unpacked(quint32 who) {
    const quint32 number = who & numberMask;
    return {(who & outputBit) != 0, (who & listedBit) != 0,
            number == numberMask ? 0 : qint64(number)};
}

} // namespace

SeenFiles::Key SeenFiles::keyOf(const QByteArray& path) {
    const QByteArray digest = QCryptographicHash::hash(path, QCryptographicHash::Blake2s_128);
    Key key{};
    std::memcpy(&key.hash, digest.constData(), sizeof key.hash);
    std::memcpy(&key.check, digest.constData() + sizeof key.hash, sizeof key.check);
    return key;
}

// The slot holding `key`, or the empty one where it would go (linear probing).
size_t SeenFiles::slotOf(const Key& key) const {
    const size_t mask = slots_.size() - 1;
    for (size_t i = size_t(key.hash) & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.who == 0 || (slot.hash == key.hash && slot.check == key.check))
            return i;
    }
}

void SeenFiles::grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& slot : old)
        if (slot.who != 0)
            slots_[slotOf({slot.hash, slot.check})] = slot;
}

std::optional<SeenFiles::Seen> SeenFiles::find(const QByteArray& path) const {
    const Slot& slot = slots_[slotOf(keyOf(path))];
    if (slot.who == 0)
        return std::nullopt;
    return unpacked(slot.who);
}

std::optional<SeenFiles::Seen> SeenFiles::claim(const QByteArray& path, const Seen& by) {
    const Key key = keyOf(path);
    Slot& slot = slots_[slotOf(key)];
    if (slot.who != 0)
        return unpacked(slot.who);
    slot = {key.hash, key.check, packed(by)};
    // At three quarters full, probes get long.
    if (++used_ * 4 > slots_.size() * 3)
        grow();
    return std::nullopt;
}
