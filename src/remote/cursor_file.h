// The cursor files of a logger's publishing (records, periods, metadata lines): one
// JSON object a file, replaced at once (written under another name, then renamed), so a
// kill at any moment leaves the old cursor or the new one.
#pragma once

#include <QJsonObject>
#include <QString>
#include <optional>

namespace lp::remote {

// Writes `cursor` as the whole of `path`; `what` names it for the user ("the period
// cursor"). The reason in words when it fails.
[[nodiscard]] std::optional<QString> saveCursorFile(const QString& path, const QJsonObject& cursor,
                                                    const QString& what);

}  // namespace lp::remote
