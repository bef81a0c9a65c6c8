// Dialogs for tests: answers are queued beforehand, and everything shown is logged.
#pragma once

#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

#include "capturing_printer.h"
#include "platform/dialogs.h"

namespace lp::test {

class ScriptedDialogs final : public platform::Dialogs {
public:
    struct Shown {
        QString kind;  // "message", "ask", "input", "save", "append", "open", "printer"
        QString text;  // message text or input prompt
        QString title;
        platform::MessageIcon icon = platform::MessageIcon::None;
        QString proposed;  // the input box's proposed answer; the append dialog's current file
    };

    // Queued answers, taken in order by the matching kind; nullopt means Cancel.
    std::deque<std::optional<QString>> inputs;
    std::deque<std::optional<QString>> saveNames;
    std::deque<std::optional<QString>> openNames;
    std::deque<bool> asks;
    // Printer dialog answers: the copies chosen, nullopt means Cancel. The printers
    // chosen all log into `printLog`; `printerFailsAtLine` makes them fail there.
    std::deque<std::optional<int>> printers;
    std::shared_ptr<PrintLog> printLog = std::make_shared<PrintLog>();
    int printerFailsAtLine = 0;

    std::vector<Shown> shown;

    // Runs while a message box is up, as the events a real modal box lets through.
    std::function<void()> whileMessageShown;

    void message(QWidget*, const QString& text, platform::MessageIcon icon,
                 const QString& title) override;
    bool ask(QWidget*, const QString& text, const QString& title) override;
    std::optional<QString> input(QWidget*, const QString& title, const QString& prompt,
                                 const QString& proposed) override;
    std::optional<QString> saveFileName(QWidget*, const QString& filter) override;
    // Logs `current` as the proposed answer.
    std::optional<QString> appendFileName(QWidget*, const QString& filter,
                                          const QString& current) override;
    std::optional<QString> openFileName(QWidget*, const QString& filter) override;
    // Takes an answer of openNames; one with line breaks names several files.
    QStringList openFileNames(QWidget*, const QString& filter) override;
    std::optional<platform::PrinterChoice> choosePrinter(QWidget*) override;

    // Texts of the message boxes shown so far.
    [[nodiscard]] QStringList messages() const;
};

}  // namespace lp::test
