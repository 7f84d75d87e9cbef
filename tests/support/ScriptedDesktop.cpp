#include "support/ScriptedDesktop.h"

#include "system/MsgBox.h"

#include <QPrinter>

namespace {
template <typename T> std::optional<T> take(std::deque<std::optional<T>>& queue) {
    if (queue.empty())
        return std::nullopt;
    auto answer = queue.front();
    queue.pop_front();
    return answer;
}

MsgBoxResult declineAnswer(MsgBoxStyle::Flags style) {
    switch (style.toInt() & MsgBoxStyle::buttonsMask) {
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

MsgBoxResult ScriptedDesktop::messageBox(const QString& prompt, MsgBoxStyle::Flags style,
                                         const QString& title) {
    messages.append({prompt, style, title});
    if (whileMessageShown)
        whileMessageShown();
    if (messageAnswers.empty())
        return declineAnswer(style);
    const MsgBoxResult answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
}

std::optional<FontChoice> ScriptedDesktop::chooseFont(const FontChoice& initial,
                                                      DialogFlags::Flags flags) {
    fontRequests.append({initial, flags});
    if (fontAnswers.empty())
        return std::nullopt;
    const auto answer = fontAnswers.front();
    fontAnswers.pop_front();
    return answer(initial);
}

std::optional<quint32> ScriptedDesktop::chooseColor(quint32 initial, DialogFlags::Flags /*flags*/) {
    colorRequests.append(initial);
    return take(colorAnswers);
}

std::optional<QString> ScriptedDesktop::openFileName(const FileDialogRequest&) {
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

bool ScriptedDesktop::setUpPrinter(QPrinter& printer, DialogFlags::Flags flags) {
    printerFlags.append(flags);
    const auto path = take(printerAnswers);
    if (!path)
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(*path);
    if (flags.testFlag(DialogFlags::PrintSelection))
        printer.setPrintRange(QPrinter::Selection);
    return true;
}

bool ScriptedDesktop::startProgram(const QString& program, const QStringList& arguments) {
    started.append(QStringList{program} + arguments);
    return startResult;
}

QList<Desktop::WindowHandle> ScriptedDesktop::childWindows(WindowHandle parent) {
    if (parent == desktopWindow()) {
        QList<WindowHandle> topLevel;
        for (auto it = windows.cbegin(); it != windows.cend(); ++it) {
            if (it->topLevel)
                topLevel.append(it.key());
        }
        return topLevel;
    }
    return windows.value(parent).children;
}

std::optional<QString> ScriptedDesktop::windowTitle(WindowHandle window) {
    if (!windows.contains(window))
        return std::nullopt;
    return windows.value(window).title;
}

bool ScriptedDesktop::activateWindowTitled(const QString& title) {
    for (const FakeWindow& window : std::as_const(windows)) {
        if (window.topLevel && window.title == title) {
            activated.append(title);
            return true;
        }
    }
    return false;
}

std::optional<RegistryValue> ScriptedDesktop::registryValue(quint32 root, const QString& key,
                                                            const QString& name) {
    const QString path = QString::number(root, 16) + u'\\' + key + u'\\' + name;
    if (!registry.contains(path))
        return std::nullopt;
    return registry.value(path);
}

RecoveryChoice ScriptedDesktop::offerRecovery(const QList<KeptWork>& copies) {
    recoveryOffers.append(copies);
    if (recoveryAnswers.empty())
        return RecoveryChoice::Later;
    const RecoveryChoice answer = recoveryAnswers.front();
    recoveryAnswers.pop_front();
    return answer;
}
