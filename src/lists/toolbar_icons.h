// Small drawn pictures for the list windows' toolbar buttons.
#pragma once

#include <QIcon>
#include <QString>

namespace lp::lists {

// The picture for a toolbar button key: "Save", "Plot", "Ln", "Print", "Csv", "Survey" or "Exit".
[[nodiscard]] QIcon toolbarIcon(const QString& key);

}  // namespace lp::lists
