// Descriptors 0, 1 and 2 kept taken, so that no file the program opens gets one of their
// numbers: a file there would receive what is written to that stream, and would be
// closed by a library that closes descriptor 0 by mistake (a refused mosquitto_new() of
// libmosquitto 2.0.11 closes 0 twice).
#pragma once

namespace lp::platform {

// The descriptors of standard input, output and error: these numbers on every system
// (POSIX fixes them, and the C library of Windows keeps them).
inline constexpr int kStandardInput = 0;
inline constexpr int kStandardOutput = 1;
inline constexpr int kStandardError = 2;

// Opens /dev/null on each of 0, 1 and 2 that is closed (a program started with `<&-` or
// `>&-`). Called first thing in main, and after each call into a library that may close
// one of them.
void occupyStandardDescriptors();

}  // namespace lp::platform
