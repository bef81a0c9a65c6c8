// Small pieces every benchmark needs: the process's own CPU time, and dialogs that
// never wait for a click.
#pragma once

#include <sys/resource.h>

#include <optional>

#include "platform/dialogs.h"

namespace lp::bench {

// User and system CPU seconds this process has used.
inline double ownCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Message boxes are only counted; every question is answered "no" or cancelled.
class CountingDialogs : public platform::Dialogs {
public:
    void message(QWidget*, const QString&, platform::MessageIcon, const QString&) override {
        ++messages;
    }
    bool ask(QWidget*, const QString&, const QString&) override { return false; }
    std::optional<QString> input(QWidget*, const QString&, const QString&,
                                 const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> saveFileName(QWidget*, const QString&) override { return std::nullopt; }
    std::optional<QString> appendFileName(QWidget*, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> openFileName(QWidget*, const QString&) override { return std::nullopt; }
    std::optional<platform::PrinterChoice> choosePrinter(QWidget*) override { return std::nullopt; }
    int messages = 0;
};

}  // namespace lp::bench
