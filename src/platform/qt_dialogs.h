// The real dialogs, with Qt's standard boxes.
#pragma once

#include "platform/dialogs.h"

namespace lp::platform {

class QtDialogs final : public Dialogs {
public:
    void message(QWidget* parent, const QString& text, MessageIcon icon,
                 const QString& title) override;
    bool ask(QWidget* parent, const QString& text, const QString& title) override;
    std::optional<QString> input(QWidget* parent, const QString& title, const QString& prompt,
                                 const QString& proposed) override;
    std::optional<QString> saveFileName(QWidget* parent, const QString& filter) override;
    std::optional<QString> appendFileName(QWidget* parent, const QString& filter,
                                          const QString& current) override;
    std::optional<QString> openFileName(QWidget* parent, const QString& filter) override;
    QStringList openFileNames(QWidget* parent, const QString& filter) override;
    std::optional<PrinterChoice> choosePrinter(QWidget* parent) override;

private:
    // The save dialog; with `confirmOverwrite` it asks before an existing file is taken.
    static std::optional<QString> chosenFile(QWidget* parent, const QString& filter,
                                             bool confirmOverwrite, const QString& start = {});
};

}  // namespace lp::platform
