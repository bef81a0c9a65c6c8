#include "cli/kit/std_streams.h"

#include "cli/command.h"
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

int finishedOutput(QTextStream& out, Talk& talk, int status) {
    out.flush();
    const auto* checked = qobject_cast<const platform::StreamOutput*>(out.device());
    std::optional<QString> failed = checked ? checked->failure() : std::nullopt;
    if (!failed && out.status() != QTextStream::Ok) {
        failed = out.device() ? out.device()->errorString() : QStringLiteral("the write failed");
    }
    if (!failed || (checked && checked->readerGone())) {
        return status;
    }
    talk.error(QStringLiteral("standard output could not be written: %1; what it shows is "
                              "not complete")
                   .arg(*failed));
    return status == kOk ? kFileFailure : status;
}

}  // namespace lp::cli
