// The captions, grid places and record-grid headers of the three list windows.
#include "lists/record_list_layout.h"

namespace lp::lists {
namespace {

const QString kStoredHeader =
    QStringLiteral("       Date            Time       Value  A/C   BT      Range     O/U");

}  // namespace

RecordListLayout RecordListLayout::list() {
    return {QStringLiteral("List"), 480, 5415, QStringLiteral("Grid1"),
            QStringLiteral("  Date       Time   Value A/C BT  Range  O/U")};
}

RecordListLayout RecordListLayout::hddSavedList() {
    return {QStringLiteral("HDDSavedList"), 480, 5415, QStringLiteral("Grid1"), kStoredHeader};
}

RecordListLayout RecordListLayout::dataList() {
    return {QStringLiteral("DataList"), 1080, 4815, QStringLiteral("Grid"), kStoredHeader};
}

}  // namespace lp::lists
