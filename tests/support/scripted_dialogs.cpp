#include "scripted_dialogs.h"

namespace lp::test {
namespace {

// GCC 12 takes a std::optional<QString> moved out of the queue for uninitialised.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
template <typename T>
T take(std::deque<T>& queue, T fallback) {
    if (queue.empty()) {
        return fallback;
    }
    T v = std::move(queue.front());
    queue.pop_front();
    return v;
}
#pragma GCC diagnostic pop

}  // namespace

void ScriptedDialogs::message(QWidget*, const QString& text, platform::MessageIcon icon,
                              const QString& title) {
    shown.push_back({QStringLiteral("message"), text, title, icon, {}});
    if (whileMessageShown) {
        auto during = std::move(whileMessageShown);
        during();
    }
}

bool ScriptedDialogs::ask(QWidget*, const QString& text, const QString& title) {
    shown.push_back({QStringLiteral("ask"), text, title, platform::MessageIcon::None, {}});
    return take(asks, false);
}

std::optional<QString> ScriptedDialogs::input(QWidget*, const QString& title, const QString& prompt,
                                              const QString& proposed) {
    shown.push_back(
        {QStringLiteral("input"), prompt, title, platform::MessageIcon::None, proposed});
    return take(inputs, std::optional<QString>());
}

std::optional<QString> ScriptedDialogs::saveFileName(QWidget*, const QString& filter) {
    shown.push_back({QStringLiteral("save"), filter, {}, platform::MessageIcon::None, {}});
    return take(saveNames, std::optional<QString>());
}

// Answered from the same queue as the save dialog.
std::optional<QString> ScriptedDialogs::appendFileName(QWidget*, const QString& filter,
                                                       const QString& current) {
    shown.push_back({QStringLiteral("append"), filter, {}, platform::MessageIcon::None, current});
    return take(saveNames, std::optional<QString>());
}

std::optional<QString> ScriptedDialogs::openFileName(QWidget*, const QString& filter) {
    shown.push_back({QStringLiteral("open"), filter, {}, platform::MessageIcon::None, {}});
    return take(openNames, std::optional<QString>());
}

QStringList ScriptedDialogs::openFileNames(QWidget* parent, const QString& filter) {
    const std::optional<QString> names = openFileName(parent, filter);
    return names ? names->split(u'\n') : QStringList{};
}

std::optional<platform::PrinterChoice> ScriptedDialogs::choosePrinter(QWidget*) {
    shown.push_back({QStringLiteral("printer"), {}, {}, platform::MessageIcon::None, {}});
    const std::optional<int> copies = take(printers, std::optional<int>());
    if (!copies) {
        return std::nullopt;
    }
    return platform::PrinterChoice{std::make_unique<CapturingPrinter>(printLog, printerFailsAtLine),
                                   *copies};
}

QStringList ScriptedDialogs::messages() const {
    QStringList out;
    for (const auto& s : shown) {
        if (s.kind == QLatin1String("message")) {
            out << s.text;
        }
    }
    return out;
}

}  // namespace lp::test
