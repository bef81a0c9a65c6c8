// The exchange engine on a virtual clock, driven step by step by the input: bytes
// from the meter, time passing, live polls, keys, clock sets, memory commands, probes
// of its own, cancels, the port going away and coming back. Whatever happens:
//  - every submitted exchange and every memory command ends exactly once;
//  - with the meter silent, the link falls idle within bounded time;
//  - afterwards the link takes a new poll and a frame brings the meter back.
#include <QCoreApplication>
#include <vector>

#include "fuzz_input.h"
#include "fuzz_transport.h"
#include "link/key_commands.h"
#include "link/live_poller.h"
#include "link/meter_link.h"
#include "memory/memory_commands.h"
#include "platform/virtual_clock.h"

using namespace lp;

namespace {

// Sends "?" and takes what waits after a pause of the input's choosing.
class Probe final : public link::Exchange {
public:
    explicit Probe(int waitMs) : waitMs_(waitMs) {}
    QString name() const override { return QStringLiteral("probe"); }

protected:
    void begin() override {
        send("?");
        wait(waitMs_, [this] {
            reply() = takeAll();
            finish();
        });
    }

private:
    int waitMs_;
};

const QByteArray kFrame("\x00\x42\x06\x53\x00", 5);

struct Rig {
    platform::VirtualClock clock;
    fuzz::FuzzTransport portA{clock};
    fuzz::FuzzTransport portB{clock};
    fuzz::FuzzTransport* port = &portA;
    link::MeterLink link{portA, clock};
    link::LivePoller poller{link};
    memory::MemoryCommands memory{link};

    std::vector<int> probeEnds;  // ends heard, per probe in submit order
    std::vector<link::ExchangeId> probes;
    int clockSets = 0;
    int clockSetEnds = 0;
    int commands = 0;
    int commandEnds = 0;
    int frames = 0;

    Rig() {
        auto ended = [this] { ++commandEnds; };
        QObject::connect(&memory, &memory::MemoryCommands::statusRead, ended);
        QObject::connect(&memory, &memory::MemoryCommands::idCodeSent, ended);
        QObject::connect(&memory, &memory::MemoryCommands::samplingIntervalSent, ended);
        QObject::connect(&memory, &memory::MemoryCommands::meterClockRead, ended);
        QObject::connect(&memory, &memory::MemoryCommands::setTableRead, ended);
        QObject::connect(&memory, &memory::MemoryCommands::downloadEnded, ended);
        QObject::connect(&memory, &memory::MemoryCommands::failed, ended);
        QObject::connect(&poller, &link::LivePoller::frameReceived, [this] { ++frames; });
    }

    void probe(int waitMs) {
        const size_t index = probeEnds.size();
        probeEnds.push_back(0);
        const link::ExchangeId id = link.submit(
            std::make_unique<Probe>(waitMs),
            [this, index](const link::ExchangeEnd&) { LP_FUZZ_CHECK(++probeEnds[index] == 1); });
        LP_FUZZ_CHECK(id != 0);
        probes.push_back(id);
    }

    void memoryCommand(fuzz::FuzzInput& in) {
        const int which = in.byte() % 6;
        switch (which) {
            case 0:
                memory.readStatus();
                break;
            case 1:
                if (!memory.sendIdCode(QString::fromLatin1(in.bytes(in.byte() % 8)))) {
                    return;  // refused: nothing queued
                }
                break;
            case 2:
                if (!memory.sendSamplingInterval(QString::fromLatin1(in.bytes(in.byte() % 8)))) {
                    return;
                }
                break;
            case 3:
                memory.readMeterClock();
                break;
            case 4:
                memory.readSetTable(static_cast<int16_t>(in.word()));
                break;
            default: {
                const int set = static_cast<int16_t>(in.word());
                const qint32 records = static_cast<qint32>(in.word()) << 4 | in.byte() % 16;
                memory.download(set, records);
                break;
            }
        }
        ++commands;
    }

    // The link looks exchanges up by id in its queue, which suits the handful a user
    // can queue; an input submits at most this many, so its length buys bytes and steps.
    static constexpr int kMaxSubmits = 2000;
    int submits = 0;

    void step(fuzz::FuzzInput& in) {
        const int what = in.byte() % 12;
        const bool submitting = what == 4 || what == 5 || what == 6 || what == 8 || what == 10;
        if (submitting && ++submits > kMaxSubmits) {
            return;
        }
        switch (what) {
            case 0:
                port->inject(in.bytes(1 + in.byte() % 32));
                break;
            case 1:
                port->inject(in.bytes(1 + in.word() % 4096));
                break;
            case 2:
            case 3:
                clock.advance(in.word() % 4000);
                break;
            case 4:
                poller.tick();
                break;
            case 5:
                link::pressKey(link, static_cast<link::MeterKey>(in.byte() % 8));
                break;
            case 6:
                memoryCommand(in);
                break;
            case 7:
                memory.cancel();
                break;
            case 8:
                probe(in.word() % 1000);
                break;
            case 9: {
                if (!probes.empty()) {
                    const link::ExchangeId id = probes[in.word() % probes.size()];
                    const bool wasPending = link.pending(id);
                    LP_FUZZ_CHECK(link.cancel(id) == wasPending);
                    LP_FUZZ_CHECK(!link.pending(id));
                }
                break;
            }
            case 10:
                ++clockSets;
                link::setMeterClock(link, [this](bool) { ++clockSetEnds; });
                break;
            default:
                if ((in.byte() & 1) != 0) {
                    port->lose();
                    LP_FUZZ_CHECK(link.portLost() && !link.busy());
                } else {
                    port = port == &portA ? &portB : &portA;
                    link.replacePort(*port);
                    LP_FUZZ_CHECK(!link.portLost() && !link.busy());
                }
                break;
        }
        QCoreApplication::sendPostedEvents();
    }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput in(data, size);
    auto rig = std::make_unique<Rig>();
    while (!in.empty()) {
        rig->step(in);
    }

    // The meter falls silent: everything that waits gives up within the silence limits.
    for (int i = 0; i < 200 && rig->link.busy(); ++i) {
        rig->clock.advance(5000);
        QCoreApplication::sendPostedEvents();
    }
    LP_FUZZ_CHECK(!rig->link.busy());
    LP_FUZZ_CHECK(!rig->memory.busy());
    LP_FUZZ_CHECK(rig->commandEnds == rig->commands);
    LP_FUZZ_CHECK(rig->clockSetEnds == rig->clockSets);
    for (const int ends : rig->probeEnds) {
        LP_FUZZ_CHECK(ends == 1);
    }

    // A new poll goes out and its frame comes back.
    if (rig->link.portLost()) {
        rig->port = rig->port == &rig->portA ? &rig->portB : &rig->portA;
        rig->link.replacePort(*rig->port);
    }
    rig->port->answerPollsWith(kFrame);
    const int framesBefore = rig->frames;
    LP_FUZZ_CHECK(rig->poller.tick());
    rig->clock.advance(1000);
    QCoreApplication::sendPostedEvents();
    LP_FUZZ_CHECK(rig->frames == framesBefore + 1);
    LP_FUZZ_CHECK(rig->poller.state() == link::LinkState::Linked);
    LP_FUZZ_CHECK(!rig->link.busy());
    return 0;
}
