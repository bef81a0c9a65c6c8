#include "platform/qt_dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <algorithm>

#include "platform/qt_line_printer.h"
#include "platform/window_retirement.h"

namespace lp::platform {

void QtDialogs::message(QWidget* parent, const QString& text, MessageIcon icon,
                        const QString& title) {
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    switch (icon) {
        case MessageIcon::Information:
            qtIcon = QMessageBox::Information;
            break;
        case MessageIcon::Warning:
            qtIcon = QMessageBox::Warning;
            break;
        case MessageIcon::Critical:
            qtIcon = QMessageBox::Critical;
            break;
        case MessageIcon::None:
            break;
    }
    const ModalScope scope(parent);
    QMessageBox box(qtIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtDialogs::ask(QWidget* parent, const QString& text, const QString& title) {
    const ModalScope scope(parent);
    // No is the default: Enter, like Escape, leaves things as they are.
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

std::optional<QString> QtDialogs::input(QWidget* parent, const QString& title,
                                        const QString& prompt, const QString& proposed) {
    const ModalScope scope(parent);
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, proposed, &ok);
    if (!ok) {
        return std::nullopt;
    }
    return answer;
}

std::optional<QString> QtDialogs::saveFileName(QWidget* parent, const QString& filter) {
    return chosenFile(parent, filter, true);
}

std::optional<QString> QtDialogs::appendFileName(QWidget* parent, const QString& filter,
                                                 const QString& current) {
    return chosenFile(parent, filter, false, current);
}

std::optional<QString> QtDialogs::chosenFile(QWidget* parent, const QString& filter,
                                             bool confirmOverwrite, const QString& start) {
    const ModalScope scope(parent);
    // A file as the start selects it in its folder.
    QFileDialog dialog(parent, QString(), start, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
    // A name typed without an extension gets the first filter's: "run" saves "run.sdm".
    static const QRegularExpression firstExtension(QStringLiteral("\\(\\*\\.(\\w+)"));
    const QRegularExpressionMatch m = firstExtension.match(filter);
    if (m.hasMatch()) {
        dialog.setDefaultSuffix(m.captured(1));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString name = dialog.selectedFiles().constFirst();
    if (name.isEmpty()) {
        return std::nullopt;
    }
    return name;
}

std::optional<QString> QtDialogs::openFileName(QWidget* parent, const QString& filter) {
    const ModalScope scope(parent);
    const QString name = QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
    if (name.isEmpty()) {
        return std::nullopt;
    }
    return name;
}

QStringList QtDialogs::openFileNames(QWidget* parent, const QString& filter) {
    const ModalScope scope(parent);
    return QFileDialog::getOpenFileNames(parent, QString(), QString(), filter);
}

std::optional<PrinterChoice> QtDialogs::choosePrinter(QWidget* parent) {
    const ModalScope scope(parent);
    QPrinter printer(QPrinter::HighResolution);
    int copies = 1;
    if (!QPrinterInfo::availablePrinterNames().isEmpty()) {
        QPrintDialog dialog(&printer, parent);
        dialog.setOption(QAbstractPrintDialog::PrintToFile);
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        // The caller prints the copies itself, one after the other.
        copies = std::max(1, printer.copyCount());
        printer.setCopyCount(1);
    } else {
        printer.setOutputFormat(QPrinter::PdfFormat);
    }
    if (printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty()) {
        const std::optional<QString> name =
            saveFileName(parent, QStringLiteral("PDF Files (*.pdf);;All Files (*)"));
        if (!name) {
            return std::nullopt;
        }
        printer.setOutputFileName(*name);
    }
    return PrinterChoice{std::make_unique<QtLinePrinter>(printer), copies};
}

}  // namespace lp::platform
