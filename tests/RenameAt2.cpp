// The test binary's renameat2, which every caller in it uses in place of the C
// library's: the code under test (linked in statically) and Qt's own renames alike. It
// makes the system call and passes on the kernel's answer as it is, as musl does.
// glibc's wrapper reports a kernel's ENOSYS as EINVAL, so without this a test that
// makes the kernel refuse renameat2 with ENOSYS would reach the callers' EINVAL
// handling twice and their ENOSYS handling never. Where renameat2 is to be had, as on
// every kernel the tests run on unfiltered, both wrappers behave alike.

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/syscall.h>
#include <unistd.h>

extern "C" int renameat2(int oldDirFd, const char* oldPath, int newDirFd, const char* newPath,
                         unsigned int flags) noexcept
{
    // Without flags both C libraries make the older call.
    if (flags == 0)
        return ::renameat(oldDirFd, oldPath, newDirFd, newPath);
    // syscall() returns -1 with the kernel's errno.
    return int(::syscall(SYS_renameat2, oldDirFd, oldPath, newDirFd, newPath, flags));
}
