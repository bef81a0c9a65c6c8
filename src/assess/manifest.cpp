#include "assess/manifest.h"

#include "assess/file_sha256.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace lp::assess {
namespace {

const QString kProgram = QStringLiteral("program");
const QString kVersion = QStringLiteral("version");
const QString kCommandLine = QStringLiteral("command_line");
const QString kOptions = QStringLiteral("options");
const QString kFiles = QStringLiteral("files");
const QString kPath = QStringLiteral("path");
const QString kSize = QStringLiteral("size");
const QString kSha256 = QStringLiteral("sha256");
const QString kProfile = QStringLiteral("profile");
const QString kName = QStringLiteral("name");
const QString kValues = QStringLiteral("values");

QJsonObject fileJson(const ManifestFile& file) {
    return {{kPath, file.path}, {kSize, file.size}, {kSha256, file.sha256}};
}

std::optional<ManifestFile> fileOfJson(const QJsonObject& file) {
    if (!file.value(kPath).isString() || !file.value(kSha256).isString()) {
        return std::nullopt;
    }
    return ManifestFile{file.value(kPath).toString(), qint64(file.value(kSize).toDouble()),
                        file.value(kSha256).toString()};
}

// The size and hash of a file as it is now; why not, when it cannot be read.
std::variant<ManifestFile, QString> hashedFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
    }
    const std::optional<QByteArray> digest = sha256Of(file);
    if (!digest) {
        return QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
    }
    return ManifestFile{QFileInfo(path).absoluteFilePath(), file.size(),
                        QString::fromLatin1(digest->toHex())};
}

const QString kRdf = QStringLiteral("http://www.w3.org/1999/02/22-rdf-syntax-ns#");
const QString kManifestElement = QStringLiteral("manifest");
// An XMP packet's header and trailer (XMP, part 3: packets are found by scanning).
const QByteArray kPacketHeader = QByteArrayLiteral("<?xpacket begin=");
const QByteArray kPacketTrailer = QByteArrayLiteral("<?xpacket end=");

QByteArray compactJson(const Manifest& manifest) {
    return QJsonDocument(manifestJson(manifest)).toJson(QJsonDocument::Compact);
}

// The manifest a packet holds: the text of lp:manifest, or the attribute of that name
// on rdf:Description (the short form XMP tools may rewrite a simple property to).
std::optional<Manifest> manifestInPacket(const QByteArray& packet) {
    QXmlStreamReader xml(packet);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        QString text;
        if (xml.namespaceUri() == kManifestNamespace && xml.name() == kManifestElement) {
            text = xml.readElementText();
        } else if (xml.namespaceUri() == kRdf && xml.name() == QStringLiteral("Description") &&
                   xml.attributes().hasAttribute(kManifestNamespace, kManifestElement)) {
            text = xml.attributes().value(kManifestNamespace, kManifestElement).toString();
        } else {
            continue;
        }
        if (xml.hasError()) {
            return std::nullopt;
        }
        const QJsonDocument json = QJsonDocument::fromJson(text.toUtf8());
        return json.isObject() ? manifestOfJson(json.object()) : std::nullopt;
    }
    return std::nullopt;
}

// How many of the folders above the file names agree, from the nearest up.
int sharedFolders(const QString& a, const QString& b) {
    const QStringList left = QFileInfo(a).absoluteFilePath().split(u'/');
    const QStringList right = QFileInfo(b).absoluteFilePath().split(u'/');
    int shared = 0;
    while (shared + 1 < left.size() && shared + 1 < right.size() &&
           left[left.size() - 2 - shared] == right[right.size() - 2 - shared]) {
        ++shared;
    }
    return shared;
}

}  // namespace

std::variant<std::vector<ManifestFile>, QString> hashedFiles(const QStringList& paths) {
    std::vector<ManifestFile> files;
    for (const QString& path : paths) {
        std::variant<ManifestFile, QString> file = hashedFile(path);
        if (const QString* failure = std::get_if<QString>(&file)) {
            return *failure;
        }
        files.push_back(std::get<ManifestFile>(std::move(file)));
    }
    return files;
}

QJsonObject manifestJson(const Manifest& manifest) {
    QJsonArray files;
    for (const ManifestFile& file : manifest.files) {
        files.append(fileJson(file));
    }
    QJsonObject json{{kProgram, manifest.program},
                     {kVersion, manifest.version},
                     {kCommandLine, QJsonArray::fromStringList(manifest.commandLine)},
                     {kOptions, manifest.options},
                     {kFiles, files}};
    if (const std::optional<ManifestProfile>& profile = manifest.profile) {
        QJsonObject entry = fileJson(profile->file);
        entry.insert(kName, profile->name);
        entry.insert(kValues, profile->values);
        json.insert(kProfile, entry);
    }
    return json;
}

ManifestProfile manifestProfile(const QString& name, const QString& path, const QByteArray& bytes,
                                const QJsonObject& values) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const QByteArray digest = sha256Of(buffer).value_or(QByteArray());
    return {name,
            {QFileInfo(path).absoluteFilePath(), bytes.size(), QString::fromLatin1(digest.toHex())},
            values};
}

std::optional<Manifest> manifestOfJson(const QJsonObject& object) {
    if (!object.value(kProgram).isString() || !object.value(kFiles).isArray()) {
        return std::nullopt;
    }
    Manifest manifest;
    manifest.program = object.value(kProgram).toString();
    manifest.version = object.value(kVersion).toString();
    for (const QJsonValue& word : object.value(kCommandLine).toArray()) {
        manifest.commandLine << word.toString();
    }
    manifest.options = object.value(kOptions).toObject();
    for (const QJsonValue& value : object.value(kFiles).toArray()) {
        const std::optional<ManifestFile> file = fileOfJson(value.toObject());
        if (!file) {
            return std::nullopt;
        }
        manifest.files.push_back(*file);
    }
    if (const QJsonObject profile = object.value(kProfile).toObject(); !profile.isEmpty()) {
        const std::optional<ManifestFile> file = fileOfJson(profile);
        if (!file) {
            return std::nullopt;
        }
        manifest.profile = ManifestProfile{profile.value(kName).toString(), *file,
                                           profile.value(kValues).toObject()};
    }
    return manifest;
}

QJsonObject manifestOptions(
    const std::vector<std::pair<QString, std::optional<QString>>>& options) {
    QJsonObject listed;
    for (const auto& [name, value] : options) {
        if (!value) {
            listed.insert(name, true);
        } else if (const QJsonValue before = listed.value(name); before.isString()) {
            listed.insert(name, QJsonArray{before, *value});
        } else if (before.isArray()) {
            QJsonArray values = before.toArray();
            values.append(*value);
            listed.insert(name, values);
        } else {
            listed.insert(name, *value);
        }
    }
    return listed;
}

QString commandLineText(const QStringList& words) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./=:,+@%-]+$"));
    QStringList quoted;
    for (const QString& word : words) {
        quoted << (plain.match(word).hasMatch()
                       ? word
                       : QStringLiteral("'") +
                             QString(word).replace(u'\'', QStringLiteral("'\\''")) +
                             QStringLiteral("'"));
    }
    return quoted.join(u' ');
}

QByteArray manifestXmp(const Manifest& manifest) {
    QByteArray packet;
    QXmlStreamWriter xml(&packet);
    xml.setAutoFormatting(true);
    xml.writeProcessingInstruction(
        QStringLiteral("xpacket"),
        QStringLiteral("begin=\"\uFEFF\" id=\"W5M0MpCehiHzreSzNTczkc9d\""));
    xml.writeNamespace(QStringLiteral("adobe:ns:meta/"), QStringLiteral("x"));
    xml.writeStartElement(QStringLiteral("adobe:ns:meta/"), QStringLiteral("xmpmeta"));
    xml.writeNamespace(kRdf, QStringLiteral("rdf"));
    xml.writeStartElement(kRdf, QStringLiteral("RDF"));
    const QString dc = QStringLiteral("http://purl.org/dc/elements/1.1/");
    const QString xmp = QStringLiteral("http://ns.adobe.com/xap/1.0/");
    xml.writeStartElement(kRdf, QStringLiteral("Description"));
    xml.writeNamespace(dc, QStringLiteral("dc"));
    xml.writeNamespace(xmp, QStringLiteral("xmp"));
    xml.writeNamespace(kManifestNamespace, QStringLiteral("lp"));
    xml.writeAttribute(kRdf, QStringLiteral("about"), QString());
    xml.writeTextElement(dc, QStringLiteral("format"), QStringLiteral("application/pdf"));
    xml.writeTextElement(xmp, QStringLiteral("CreatorTool"),
                         manifest.program + u' ' + manifest.version);
    xml.writeTextElement(kManifestNamespace, kManifestElement,
                         QString::fromUtf8(compactJson(manifest)));
    xml.writeEndElement();  // rdf:Description
    xml.writeEndElement();  // rdf:RDF
    xml.writeEndElement();  // x:xmpmeta
    xml.writeProcessingInstruction(QStringLiteral("xpacket"), QStringLiteral("end=\"r\""));
    return packet.trimmed() + '\n';  // the header first, as scanners expect
}

std::optional<Manifest> manifestInPdf(const QByteArray& pdf) {
    std::optional<Manifest> found;
    qsizetype from = 0;
    while ((from = pdf.indexOf(kPacketHeader, from)) >= 0) {
        const qsizetype trailer = pdf.indexOf(kPacketTrailer, from);
        const qsizetype close = trailer < 0 ? -1 : pdf.indexOf("?>", trailer);
        if (close < 0) {
            break;
        }
        if (std::optional<Manifest> manifest = manifestInPacket(pdf.mid(from, close + 2 - from))) {
            found = std::move(manifest);  // a later packet is a later update of the file
        }
        from = close + 2;
    }
    return found;
}

QByteArray manifestAttachment(const Manifest& manifest) {
    return QJsonDocument(manifestJson(manifest)).toJson(QJsonDocument::Indented);
}

std::vector<FileCheck> checkFiles(const Manifest& manifest, const QStringList& paths) {
    std::vector<FileCheck> checks;
    std::vector<bool> used(size_t(paths.size()), false);
    for (const ManifestFile& listed : manifest.files) {
        QString path = listed.path;
        if (!paths.isEmpty()) {
            const QString name = QFileInfo(listed.path).fileName();
            qsizetype best = -1;
            for (qsizetype i = 0; i < paths.size(); ++i) {
                if (!used[size_t(i)] && QFileInfo(paths[i]).fileName() == name &&
                    (best < 0 || sharedFolders(paths[i], listed.path) >
                                     sharedFolders(paths[best], listed.path))) {
                    best = i;
                }
            }
            path.clear();
            if (best >= 0) {
                used[size_t(best)] = true;
                path = paths[best];
            }
        }
        FileCheck check{path.isEmpty() ? listed.path : path, listed, FileMatch::Missing};
        if (!path.isEmpty() && !listed.sha256.isEmpty()) {
            const std::variant<ManifestFile, QString> now = hashedFile(path);
            if (const ManifestFile* file = std::get_if<ManifestFile>(&now)) {
                check.match = file->sha256 == listed.sha256 && file->size == listed.size
                                  ? FileMatch::Matches
                                  : FileMatch::Differs;
            }
        }
        checks.push_back(check);
    }
    return checks;
}

}  // namespace lp::assess
