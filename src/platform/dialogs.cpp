#include "platform/dialogs.h"

#include <QFileInfo>

namespace lp::platform {

QStringList Dialogs::openFileNames(QWidget* parent, const QString& filter) {
    const std::optional<QString> name = openFileName(parent, filter);
    return name && !name->isEmpty() ? QStringList{*name} : QStringList{};
}

namespace {

std::optional<QString> namingAFile(std::optional<QString> name) {
    if (!name || QFileInfo(*name).fileName().isEmpty()) {
        return std::nullopt;
    }
    return name;
}

}  // namespace

std::optional<QString> askRecordFileName(Dialogs& dialogs, QWidget* parent) {
    return namingAFile(dialogs.saveFileName(parent, kRecordFileFilter));
}

std::optional<QString> askRecordingFileName(Dialogs& dialogs, QWidget* parent,
                                            const QString& current) {
    return namingAFile(dialogs.appendFileName(parent, kRecordFileFilter, current));
}

}  // namespace lp::platform
