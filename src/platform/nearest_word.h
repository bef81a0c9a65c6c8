// The word a user probably meant: an option or command name typed with a letter or two
// wrong ("--prot" for "--port"), and the hint that names it. Both programs' command
// lines use it.
#pragma once

#include <QString>
#include <QStringList>

namespace lp::platform {

// The word of `known` nearest to `typed` in edits, when it is near enough to be what
// was meant (at most 2 edits, and fewer than half the word); empty otherwise.
[[nodiscard]] QString nearestWord(const QString& typed, const QStringList& known);

// " (did you mean --port?)" after a mistake when a nearest word is known; empty when
// `nearest` is.
[[nodiscard]] QString didYouMean(const QString& nearest);

}  // namespace lp::platform
