#include "model/Alignment.h"

#include <array>
#include <utility>

namespace {
constexpr std::array<std::pair<Alignment, Qt::AlignmentFlag>, 4> qtAlignments{{
    {Alignment::Left, Qt::AlignLeft},
    {Alignment::Right, Qt::AlignRight},
    {Alignment::Centre, Qt::AlignHCenter},
    {Alignment::Justified, Qt::AlignJustify},
}};
} // namespace

Qt::Alignment qtAlignmentOf(Alignment alignment) {
    for (const auto& [ours, qt] : qtAlignments) {
        if (ours == alignment)
            return qt;
    }
    return Qt::AlignLeft;
}

Alignment alignmentOf(Qt::Alignment alignment) {
    // Left is checked last: Qt::AlignLeft is the flag a justified paragraph may carry as well.
    for (auto it = qtAlignments.rbegin(); it != qtAlignments.rend(); ++it) {
        if (alignment & it->second)
            return it->first;
    }
    return Alignment::Left;
}
