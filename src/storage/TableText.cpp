#include "storage/TableText.h"

#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <vector>

namespace TableText {

void markCells(const QTextDocument& document, QString& text) {
    if (document.rootFrame()->childFrames().isEmpty())
        return;
    std::vector<const QTextFrame*> frames{document.rootFrame()};
    while (!frames.empty()) {
        const QTextFrame* frame = frames.back();
        frames.pop_back();
        for (const QTextFrame* child : frame->childFrames())
            frames.push_back(child);
        const auto* table = qobject_cast<const QTextTable*>(frame);
        if (!table)
            continue;
        for (int row = 0; row < table->rows(); ++row) {
            bool first = true;
            for (int column = 0; column < table->columns(); ++column) {
                const QTextTableCell cell = table->cellAt(row, column);
                if (cell.row() != row || cell.column() != column)
                    continue;
                const int mark = cell.firstPosition() - 1;
                if (!first && mark >= 0 && mark < text.size())
                    text[mark] = QLatin1Char('\t');
                first = false;
            }
        }
    }
}

} // namespace TableText
