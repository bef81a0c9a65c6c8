// A settings file of the test's own, in a temporary folder: what the windows remember
// goes there and nowhere else.
#pragma once

#include <QSettings>
#include <QTemporaryDir>
#include <memory>

#include "platform/settings_place.h"

namespace lp::test {

struct TempSettings {
    QTemporaryDir folder;
    std::unique_ptr<QSettings> settings = platform::openSettings(folder.path());
    operator QSettings&() { return *settings; }
};

}  // namespace lp::test
