// Small helpers shared by the simulator's test suites.
#pragma once

#include <QByteArray>
#include <initializer_list>

namespace lp::test {

inline QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (const int v : values) {
        out.append(static_cast<char>(v));
    }
    return out;
}

}  // namespace lp::test
