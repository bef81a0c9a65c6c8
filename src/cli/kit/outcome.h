// What a step of a command gives: its value, or why it cannot (a usage mistake or a
// failure, with the exit status it ends the command with and the words for the user).
#pragma once

#include <QString>
#include <utility>
#include <variant>

namespace lp::cli {

// Exit status of a command line that does not fit its command, and of a file, the
// meter or its port that failed.
inline constexpr int kUsageError = 1;
inline constexpr int kFileFailure = 2;

// Why a step cannot give its value: the exit status and the message.
struct Refusal {
    int status = kUsageError;
    QString message;
};

[[nodiscard]] inline Refusal usageMistake(QString message) {
    return {kUsageError, std::move(message)};
}
[[nodiscard]] inline Refusal failed(QString message) {
    return {kFileFailure, std::move(message)};
}

template <class T>
class [[nodiscard]] Outcome {
public:
    Outcome(T value) : held_(std::move(value)) {}            // NOLINT: a value converts
    Outcome(Refusal refusal) : held_(std::move(refusal)) {}  // NOLINT: so does a refusal

    [[nodiscard]] bool ok() const { return held_.index() == 0; }
    [[nodiscard]] explicit operator bool() const { return ok(); }
    [[nodiscard]] const T& operator*() const { return std::get<T>(held_); }
    [[nodiscard]] T& operator*() { return std::get<T>(held_); }
    [[nodiscard]] const T* operator->() const { return &std::get<T>(held_); }
    [[nodiscard]] T* operator->() { return &std::get<T>(held_); }
    [[nodiscard]] const Refusal& refusal() const { return std::get<Refusal>(held_); }

private:
    std::variant<T, Refusal> held_;
};

}  // namespace lp::cli
