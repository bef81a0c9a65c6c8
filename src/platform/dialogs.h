// Message boxes, input boxes and file dialogs behind one seam: the program shows
// real dialogs, tests answer them and read what they said.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "platform/line_printer.h"

class QWidget;

namespace lp::platform {

enum class MessageIcon { None, Information, Warning, Critical };

// What the printer dialog gave: the printer (a system printer or a PDF file) and how
// many copies to print. The printer prints each line once; the copies are printed by
// the caller, one after the other, as one document.
struct PrinterChoice {
    std::unique_ptr<LinePrinter> printer;
    int copies = 1;
};

// The title message boxes carry when a window gives none.
inline const QString kProgramTitle = QStringLiteral("LevelPanel");

class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual void message(QWidget* parent, const QString& text, MessageIcon icon = MessageIcon::None,
                         const QString& title = kProgramTitle) = 0;
    // Yes/No question, No the default (Enter) and Escape's answer; true for Yes.
    [[nodiscard]] virtual bool ask(QWidget* parent, const QString& text,
                                   const QString& title = kProgramTitle) = 0;
    // The typed answer; nullopt when the box was cancelled.
    [[nodiscard]] virtual std::optional<QString> input(QWidget* parent, const QString& title,
                                                       const QString& prompt,
                                                       const QString& proposed) = 0;
    // A save-as dialog that asks before overwriting; nullopt when cancelled.
    // `filter` uses Qt's form: "Data Files (*.sdm);;All Files (*)".
    [[nodiscard]] virtual std::optional<QString> saveFileName(QWidget* parent,
                                                              const QString& filter) = 0;
    // A save-as dialog for a file that is appended to (a recording's): an existing
    // file is taken as it is, without asking to replace it; nullopt when cancelled. It
    // opens at `current` (the file chosen before; empty for none).
    [[nodiscard]] virtual std::optional<QString> appendFileName(QWidget* parent,
                                                                const QString& filter,
                                                                const QString& current) = 0;
    [[nodiscard]] virtual std::optional<QString> openFileName(QWidget* parent,
                                                              const QString& filter) = 0;
    // An open dialog that takes one file or several; empty when cancelled. Dialogs that
    // offer one file only give that one.
    [[nodiscard]] virtual QStringList openFileNames(QWidget* parent, const QString& filter);
    // The printer dialog: a system printer, or a PDF file chosen in a save dialog when
    // no printer is installed or the user picks it; nullopt when cancelled.
    [[nodiscard]] virtual std::optional<PrinterChoice> choosePrinter(QWidget* parent) = 0;
};

// The record file filter of every save and open dialog.
inline const QString kRecordFileFilter = QStringLiteral("Data Files (*.sdm);;All Files (*)");

// The save dialog of every record file writer: the chosen path, or nothing when the
// dialog was cancelled or its answer names no file.
[[nodiscard]] std::optional<QString> askRecordFileName(Dialogs& dialogs, QWidget* parent);
// The same for a recording, which appends to an existing file (appendFileName), opened
// at the recording's `current` file.
[[nodiscard]] std::optional<QString> askRecordingFileName(Dialogs& dialogs, QWidget* parent,
                                                          const QString& current);

}  // namespace lp::platform
