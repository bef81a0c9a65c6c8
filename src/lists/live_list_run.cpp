// The live list's numbering and dump rule.
#include "lists/live_list_run.h"

namespace lp::lists {

bool LiveListRun::start() {
    if (listOn_) {
        return false;
    }
    rowCount_ = 0;
    listOn_ = true;
    return true;
}

std::optional<LiveListRun::Row> LiveListRun::take() {
    if (!listOn_) {
        return std::nullopt;
    }
    // Checked before the count moves on, so a dump happens once per multiple even
    // when it fails and the rows stay.
    const bool dump = rowCount_ != 0 && rowCount_ % dumpEvery_ == 0;
    ++rowCount_;
    return Row{rowCount_, dump};
}

QString LiveListRun::dumpFileName(const QDateTime& now) {
    return now.toString(QStringLiteral("MMddhhmmss")) + QStringLiteral(".sdm");
}

}  // namespace lp::lists
