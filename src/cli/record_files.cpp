#include "cli/record_files.h"

namespace lp::cli {

QString recordFileName(const QString& out, std::optional<QDate> day, int part) {
    const qsizetype slash = out.lastIndexOf(u'/');
    const qsizetype dot = out.lastIndexOf(u'.');
    // A dot that starts the file name (".sdm") or sits in a folder name is no suffix.
    const bool hasSuffix = dot > slash + 1;
    QString name = hasSuffix ? out.left(dot) : out;
    if (day) {
        name += u'-' + day->toString(QStringLiteral("yyyy-MM-dd"));
    }
    if (part > 1) {
        name += u'-' + QString::number(part);
    }
    return hasSuffix ? name + out.mid(dot) : name;
}

}  // namespace lp::cli
