// Loaded with LD_PRELOAD into a program under test: a file system without locks, as
// some network and FUSE mounts are, where every flock() fails with ENOLCK.
#include <sys/file.h>

#include <cerrno>

extern "C" int flock(int, int) {
    errno = ENOLCK;
    return -1;
}
