#include "platform/dialogs.h"

#include <QFileInfo>

namespace lp::platform {

std::optional<QString> askRecordFileName(Dialogs& dialogs, QWidget* parent) {
    std::optional<QString> name = dialogs.saveFileName(parent, kRecordFileFilter);
    if (!name || QFileInfo(*name).fileName().isEmpty()) {
        return std::nullopt;
    }
    return name;
}

}  // namespace lp::platform
