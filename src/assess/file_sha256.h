// The SHA-256 of a file's bytes, by OpenSSL's libcrypto: it uses the processor's SHA
// instructions where there are any, about ten times as fast as Qt's own hash on a week
// of records (bench/stats/assess_cli.sh, with --json).
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <optional>

namespace lp::assess {

// The digest (32 bytes) of what is left to read of `device`; none when reading fails.
[[nodiscard]] std::optional<QByteArray> sha256Of(QIODevice& device);

}  // namespace lp::assess
