#include "records/save_dialog.h"

#include <QFileInfo>

namespace lp::records {

std::optional<QString> ShowSaveDialog(platform::Dialogs& dialogs, QWidget* parent,
                                      app::ProgramState& state) {
    const std::optional<QString> name = dialogs.saveFileName(parent, platform::kRecordFileFilter);
    if (!name) {
        state.FileChosen = false;
        return std::nullopt;
    }
    state.SaveFileName = *name;
    state.FileChosen = !QFileInfo(*name).fileName().isEmpty();
    return name;
}

}  // namespace lp::records
