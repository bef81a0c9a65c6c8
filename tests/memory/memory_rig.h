// A scripted meter on a virtual clock with the memory commands and the live poll on
// its link, shared by the memory command suites.
#pragma once

#include <QSignalSpy>
#include <algorithm>

#include "fake_transport.h"
#include "link/live_poller.h"
#include "memory/memory_commands.h"
#include "memory_test_bytes.h"
#include "platform/virtual_clock.h"

Q_DECLARE_METATYPE(lp::memory::MemoryCommand)

namespace lp::test {

inline const QByteArray kStart = bytes({0x09, 0x03, 0x15, 0x14, 0x05, 0x09});
inline const QByteArray kStatus = bytes({0x04, 0xD2, 0, 8, 3, 0, 0x04, 0x00, 0, 2});
inline const QByteArray kFrame("\x00\x42\x06\x53\x00", 5);

struct Rig {
    platform::VirtualClock clock;
    FakeTransport port{clock};
    link::MeterLink link{port, clock};
    link::LivePoller poller{link};
    app::ProgramState state;
    memory::MemoryCommands commands{link, state};
    QSignalSpy progress{&commands, &memory::MemoryCommands::progress};
    QSignalSpy failed{&commands, &memory::MemoryCommands::failed};
    QSignalSpy cancelled{&commands, &memory::MemoryCommands::cancelled};
    QSignalSpy ended{&commands, &memory::MemoryCommands::downloadEnded};

    QString lastProgress() const {
        return progress.isEmpty() ? QString() : progress.last()[0].toString();
    }
    QStringList progressTexts() const {
        QStringList out;
        for (const auto& p : progress) {
            out << p[0].toString();
        }
        return out;
    }
    memory::DownloadedSet lastSet() const { return ended.last()[0].value<memory::DownloadedSet>(); }
    // The line is free again and the live poll gets a frame.
    bool pollsResume() {
        if (link.busy() || commands.busy()) {
            return false;
        }
        port.setResponder([](const QByteArray& w) { return w == " " ? kFrame : QByteArray(); });
        QSignalSpy frames(&poller, &link::LivePoller::frameReceived);
        if (!poller.tick()) {
            return false;
        }
        clock.advance(200);
        return frames.size() == 1;
    }
};

// A meter that answers a download the way the real one does: after "K" and the set
// number the first part, after each "Z" the next 2048 bytes. `cut` stops it after that
// many bytes in all.
struct ScriptedSet {
    QByteArray image;
    qsizetype sent = 0;
    qsizetype cut = -1;
    bool gotK = false;

    QByteArray answer(const QByteArray& written) {
        if (written == "K") {
            gotK = true;
            return {};
        }
        if (gotK && written.size() == 1 && written != "Z") {
            gotK = false;
            return give(image.size() % 2048);
        }
        if (written == "Z") {
            return give(2048);
        }
        return {};
    }
    QByteArray give(qsizetype n) {
        qsizetype end = std::min(image.size(), sent + n);
        if (cut >= 0) {
            end = std::min(end, cut);
        }
        const QByteArray out = image.mid(sent, end - sent);
        sent += n;
        return out;
    }
};

inline QByteArray setOf(int records) {
    return setImage(kStart, 0x46, 2, plainRecords(records));
}

}  // namespace lp::test
