// The save dialog every record file writer uses: a confirmed name becomes
// SaveFileName (FileChosen when it has a file part); a cancel clears FileChosen only.
#pragma once

#include <QString>
#include <optional>

#include "app/state/program_state.h"
#include "platform/dialogs.h"

class QWidget;

namespace lp::records {

// Returns the confirmed name, or nullopt when the dialog was cancelled.
std::optional<QString> ShowSaveDialog(platform::Dialogs& dialogs, QWidget* parent,
                                      app::ProgramState& state);

}  // namespace lp::records
