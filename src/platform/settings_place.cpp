#include "platform/settings_place.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace lp::platform {

QString settingsFolder() {
    // Not AppConfigLocation: that follows the program's name, and the windows and the
    // command line are two programs sharing one place.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("LevelPanel"));
}

std::unique_ptr<QSettings> openSettings(const QString& folder) {
    return std::make_unique<QSettings>(QDir(folder).filePath(QStringLiteral("levelpanel.conf")),
                                       QSettings::IniFormat);
}

QString profilesFolder(const QString& folder) {
    return QDir(folder).filePath(QStringLiteral("profiles"));
}

}  // namespace lp::platform
