// The manifest of an assessment or a report: what made it (program and version, the
// equivalent command line, every option) and every input file's path, size and
// SHA-256, so that anyone can check later that it came from the files it names. It
// goes into `assess --json`, the report's last page and the PDF's XMP metadata, from
// which `verify` reads it back.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>
#include <vector>

namespace lp::assess {

struct ManifestFile {
    QString path;  // as given, made absolute
    qint64 size = 0;
    QString sha256;  // lower-case hex
};

struct Manifest {
    QString program;  // "levelpanel-cli"
    QString version;
    QStringList commandLine;  // the equivalent command line, one argument each
    QJsonObject options;      // every option, by name
    std::vector<ManifestFile> files;
};

// The files hashed; why a file cannot be read (named) when one cannot.
[[nodiscard]] std::variant<std::vector<ManifestFile>, QString> hashedFiles(
    const QStringList& paths);

[[nodiscard]] QJsonObject manifestJson(const Manifest& manifest);
[[nodiscard]] std::optional<Manifest> manifestOfJson(const QJsonObject& object);

// The XMP packet that carries the manifest in a PDF, and the manifest read back from a
// PDF's bytes (by scanning for the packet, as XMP readers do); none when it has none.
[[nodiscard]] QByteArray manifestXmp(const Manifest& manifest);
[[nodiscard]] std::optional<Manifest> manifestInPdf(const QByteArray& pdf);

// How a file of the manifest compares with the file on disk now.
enum class FileMatch { Matches, Differs, Missing };
struct FileCheck {
    QString path;
    FileMatch match = FileMatch::Missing;
};
// The manifest's files checked against `paths` (matched by file name when given,
// else the manifest's own paths).
[[nodiscard]] std::vector<FileCheck> checkFiles(const Manifest& manifest, const QStringList& paths);

}  // namespace lp::assess
