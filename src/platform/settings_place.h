// Where this user's settings and profiles are kept: the platform's place for a
// program's configuration, the same for the windows and the command line (on Linux
// ~/.config/LevelPanel, following XDG_CONFIG_HOME). The windows keep what they remember
// in one settings file there; profiles are small files in its "profiles" folder.
#pragma once

#include <QString>
#include <memory>

class QSettings;

namespace lp::platform {

// The folder of the settings file and the profiles folder (not made here).
[[nodiscard]] QString settingsFolder();
// The settings file in `folder` ("levelpanel.conf", INI text, made when first written).
[[nodiscard]] std::unique_ptr<QSettings> openSettings(const QString& folder);
// The profiles' folder in `folder`.
[[nodiscard]] QString profilesFolder(const QString& folder);

}  // namespace lp::platform
