#include "platform/dialogs.h"

#include <QFileInfo>

namespace lp::platform {

QStringList Dialogs::openFileNames(QWidget* parent, const QString& filter) {
    const std::optional<QString> name = openFileName(parent, filter);
    return name && !name->isEmpty() ? QStringList{*name} : QStringList{};
}

std::optional<QString> askRecordFileName(Dialogs& dialogs, QWidget* parent) {
    std::optional<QString> name = dialogs.saveFileName(parent, kRecordFileFilter);
    if (!name || QFileInfo(*name).fileName().isEmpty()) {
        return std::nullopt;
    }
    return name;
}

}  // namespace lp::platform
