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
#include <utility>
#include <variant>
#include <vector>

namespace lp::assess {

struct ManifestFile {
    QString path;  // as given, made absolute
    qint64 size = 0;
    QString sha256;  // lower-case hex
};

// The profile the options were taken from (assess/profile.h): its name or file as
// given, the file it was read from with its SHA-256, and every value it held.
struct ManifestProfile {
    QString name;
    ManifestFile file;
    QJsonObject values;
};

struct Manifest {
    QString program;  // "levelpanel-cli"
    QString version;
    QStringList commandLine;  // the equivalent command line, one argument each
    QJsonObject options;      // every option, by name
    std::vector<ManifestFile> files;
    std::optional<ManifestProfile> profile;  // none: no profile was used (no key in the JSON)
};

// The manifest's entry of the profile `name` read from `path` as `bytes`.
[[nodiscard]] ManifestProfile manifestProfile(const QString& name, const QString& path,
                                              const QByteArray& bytes, const QJsonObject& values);

// The files hashed; why a file cannot be read (named) when one cannot.
[[nodiscard]] std::variant<std::vector<ManifestFile>, QString> hashedFiles(
    const QStringList& paths);

[[nodiscard]] QJsonObject manifestJson(const Manifest& manifest);
[[nodiscard]] std::optional<Manifest> manifestOfJson(const QJsonObject& object);

// The options of a command line (names without "--", in the order given; no value for
// a flag) as the manifest lists them: a flag as true, an option given once as its text,
// one given more often as the array of its texts.
[[nodiscard]] QJsonObject manifestOptions(
    const std::vector<std::pair<QString, std::optional<QString>>>& options);

// The command line as one text a POSIX shell reads back into the same words: a word
// with anything but letters, digits and -_./=:,+@% is put in single quotes.
[[nodiscard]] QString commandLineText(const QStringList& words);

// The XMP packet that carries the manifest in a PDF (written uncompressed, in UTF-8):
// dc:format, xmp:CreatorTool (program and version) and the manifest's JSON as the text
// of lp:manifest in kManifestNamespace. The manifest read back from a PDF's bytes,
// scanning for XMP packets as XMP readers do (the last one that holds a manifest);
// none when no packet does.
inline const QString kManifestNamespace = QStringLiteral("urn:levelpanel:manifest:1/");
[[nodiscard]] QByteArray manifestXmp(const Manifest& manifest);
[[nodiscard]] std::optional<Manifest> manifestInPdf(const QByteArray& pdf);
// The name and type of the manifest's JSON attached to a report's PDF besides, for
// those who take it out with a PDF viewer or pdfdetach.
inline const QString kManifestAttachment = QStringLiteral("manifest.json");
inline const QString kManifestAttachmentType = QStringLiteral("application/json");
[[nodiscard]] QByteArray manifestAttachment(const Manifest& manifest);

// How a file of the manifest compares with the file on disk now.
enum class FileMatch { Matches, Differs, Missing };
struct FileCheck {
    QString path;         // the file looked at
    ManifestFile listed;  // as the manifest lists it
    FileMatch match = FileMatch::Missing;
};
// The manifest's files checked against `paths` (matched by file name when given: of
// several of one name, the one whose folders agree with the listed path's the furthest
// up, each given path used once; else the manifest's own paths). A file the manifest
// lists without a hash (standard input) cannot be found again: missing.
[[nodiscard]] std::vector<FileCheck> checkFiles(const Manifest& manifest, const QStringList& paths);

}  // namespace lp::assess
