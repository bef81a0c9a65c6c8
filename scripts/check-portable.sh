#!/usr/bin/env bash
# Fails when the operating system is called outside src/platform, so that a port to
# another system needs new platform files only (README.md, "Porting"). Prints every
# offending line.
#
#  - src/ and tools/ include no system header (unistd.h, fcntl.h, signal.h, termios.h,
#    sys/*.h, cups/*.h, ...) and call no POSIX function (::isatty, ::kill, sigaction,
#    ...) outside src/platform. tools/sim_server is left out: it serves the simulated
#    meter on a pseudo-terminal, a POSIX program by nature (so are the tests and benches
#    that drive real processes with signals, FIFOs and pseudo-terminals).
#  - In src/platform such a header is included only by a system's own implementation
#    file, *_posix.cpp (Linux and macOS) or *_cups.cpp (the print queue), and by
#    large_array.cpp, whose huge pages are Linux's alone behind __linux__ with ordinary
#    memory elsewhere.
set -euo pipefail
cd "$(dirname "$0")/.."

headers='^[[:space:]]*#[[:space:]]*include[[:space:]]*<(unistd|fcntl|signal|termios|poll|pwd|grp|pty|dirent|dlfcn|pthread|spawn|syslog|netdb|sched|libgen|(sys|netinet|arpa|linux|cups)/[a-z_]+)\.h>'
# Names a program of its own hardly gives a function, called with or without "::"; and
# the short ones (read, close, ...) only when called as the global "::read(".
calls='(^|[^A-Za-z0-9_:.>])(::)?(isatty|dup2?|fcntl|flock|sigaction|sigemptyset|ioctl|socketpair|pipe2?|mkfifo|mknod|getpid|getppid|umask|fsync|fdatasync|fork|exec[lv]p?e?|waitpid|tcgetattr|tcsetattr|mmap|munmap|madvise|getrlimit|setrlimit|sysconf)\(|(^|[^A-Za-z0-9_:])::(kill|signal|open|close|read|write|stat|fstat|lstat|unlink|rename|chmod|access)\('

bad=0
report() {
    echo "$1: $2"
    bad=1
}

while IFS= read -r hit; do
    report "$hit" "a system header or call outside src/platform; put it behind a platform header"
done < <(grep -rnE "$headers|$calls" src tools --include='*.h' --include='*.cpp' |
    grep -vE '^(src/platform|tools/sim_server)/' || true)

while IFS= read -r hit; do
    file=${hit%%:*}
    case "$file" in
        *_posix.cpp | *_cups.cpp | src/platform/large_array.cpp) continue ;;
    esac
    report "$hit" "a system header in a shared platform file; it belongs in a *_posix.cpp"
done < <(grep -rnE "$headers" src/platform --include='*.h' --include='*.cpp' || true)

if [[ $bad -ne 0 ]]; then
    echo "Portability check failed: see the lines above (README.md, \"Porting\")." >&2
    exit 1
fi
echo "Portability check: the system is called in src/platform's system files only."
