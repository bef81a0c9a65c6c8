#include "cli/kit/std_streams.h"

#include "cli/command.h"
#include "cli/kit/cli_arguments.h"
#include "platform/standard_descriptors.h"
#include "platform/stream_output.h"

namespace lp::cli {

StandardStreams::StandardStreams()
    : output_(platform::kStandardOutput),
      safeError_(errorFile_),
      out_(&output_),
      err_(&safeError_) {
    (void)errorFile_.open(platform::kStandardError, QIODevice::WriteOnly | QIODevice::Unbuffered);
}

int finishedOutput(QTextStream& out, QTextStream& err, int status) {
    out.flush();
    const auto* checked = qobject_cast<const platform::StreamOutput*>(out.device());
    std::optional<QString> failed = checked ? checked->failure() : std::nullopt;
    if (!failed && out.status() != QTextStream::Ok) {
        failed = out.device() ? out.device()->errorString() : QStringLiteral("the write failed");
    }
    if (!failed || (checked && checked->readerGone())) {
        return status;
    }
    failure(err, QStringLiteral("standard output could not be written: %1; what it shows is "
                                "not complete")
                     .arg(*failed));
    return status == kOk ? kFileFailure : status;
}

void Talk::line(const QString& text) {
    if (gone_ || quiet_) {
        return;
    }
    err_ << text << "\n";
    err_.flush();
    gone_ = err_.status() != QTextStream::Ok;
}

}  // namespace lp::cli
