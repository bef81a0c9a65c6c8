// A stream the program writes as it goes, its standard output: every write is checked
// and handed to the system whole (a short write is finished, an interrupted one
// retried), and the first failure is kept with its reason, so that a command can tell
// at its end whether all it wrote arrived.
#pragma once

#include <QIODevice>
#include <QString>
#include <optional>

namespace lp::platform {

class StreamOutput final : public QIODevice {
    Q_OBJECT
public:
    // Writes to the open file descriptor `fd`, which stays open afterwards.
    explicit StreamOutput(int fd, QObject* parent = nullptr);

    [[nodiscard]] bool isSequential() const override { return true; }
    // Why a write failed, as writeFailureText() tells it ("the disk is full (...)");
    // none while every write went out.
    [[nodiscard]] std::optional<QString> failure() const { return failure_; }
    // Whether the failure is that the reader went away (a pipe's reader ended).
    [[nodiscard]] bool readerGone() const { return readerGone_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    int fd_;
    std::optional<QString> failure_;
    bool readerGone_ = false;
};

// A write to a pipe without a reader fails (readerGone) instead of ending the process:
// for the whole process, from the call on.
void ignoreBrokenPipes();

}  // namespace lp::platform
