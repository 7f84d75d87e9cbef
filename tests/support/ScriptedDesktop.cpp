#include "support/ScriptedDesktop.h"

#include "platform/MsgBox.h"

#include <QPrinter>

namespace {
template <typename T> std::optional<T> take(std::deque<std::optional<T>>& queue) {
    if (queue.empty())
        return std::nullopt;
    auto answer = queue.front();
    queue.pop_front();
    return answer;
}

int declineAnswer(int style) {
    switch (style & 7) {
    case MsgBoxStyle::OkCancel:
        return MsgBoxResult::Cancel;
    case MsgBoxStyle::YesNoCancel:
    case MsgBoxStyle::YesNo:
        return MsgBoxResult::No;
    default:
        return MsgBoxResult::Ok;
    }
}
} // namespace

int ScriptedDesktop::messageBox(const QString& prompt, int style, const QString& title) {
    messages.append({prompt, style, title});
    if (messageAnswers.empty())
        return declineAnswer(style);
    const int answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
}

std::optional<FontChoice> ScriptedDesktop::chooseFont(const FontChoice& initial, int flags) {
    fontRequests.append({initial, flags});
    if (fontAnswers.empty())
        return std::nullopt;
    const auto answer = fontAnswers.front();
    fontAnswers.pop_front();
    return answer(initial);
}

std::optional<quint32> ScriptedDesktop::chooseColor(quint32 initial, int /*flags*/) {
    colorRequests.append(initial);
    return take(colorAnswers);
}

std::optional<QString> ScriptedDesktop::openFileName(const FileDialogRequest& request) {
    openRequests.append(request);
    return take(openAnswers);
}

std::optional<QString> ScriptedDesktop::saveFileName(const FileDialogRequest& request) {
    saveRequests.append(request);
    if (saveDialogFailure) {
        const Error failure = *saveDialogFailure;
        saveDialogFailure.reset();
        throw failure;
    }
    return take(saveAnswers);
}

bool ScriptedDesktop::setUpPrinter(QPrinter& printer, int flags) {
    printerFlags.append(flags);
    const auto path = take(printerAnswers);
    if (!path)
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(*path);
    if (flags & 1)
        printer.setPrintRange(QPrinter::Selection);
    return true;
}
