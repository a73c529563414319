// The few POSIX calls of the format libraries, on top of the Windows API. Force-included into
// every source of the Windows build of ostrel and quilmar; the Linux build never sees it.
#pragma once
#ifdef _WIN32

#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <sys/types.h>
#include <time.h>
#include <windows.h>

// Every file the libraries open carries O_CLOEXEC: on Windows that is a binary (never
// translated) handle that child processes do not inherit.
#ifndef O_CLOEXEC
#define O_CLOEXEC (_O_BINARY | _O_NOINHERIT)
#endif
#ifndef EWOULDBLOCK
#define EWOULDBLOCK EAGAIN
#endif
#ifndef LOCK_EX
#define LOCK_SH 1
#define LOCK_EX 2
#define LOCK_NB 4
#define LOCK_UN 8
#endif

using loff_t = long long;

// An exclusive (or shared) lock of the whole file, without waiting: another holder gives
// EWOULDBLOCK, a file system without locks EINVAL. Released when the file is closed.
inline int flock(int fd, int operation) {
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE) {
        errno = EBADF;
        return -1;
    }
    OVERLAPPED whole{};
    if (operation & LOCK_UN) {
        return UnlockFileEx(handle, 0, MAXDWORD, MAXDWORD, &whole) ? 0 : (errno = EINVAL, -1);
    }
    DWORD flags = (operation & LOCK_EX) ? LOCKFILE_EXCLUSIVE_LOCK : 0;
    if (operation & LOCK_NB) {
        flags |= LOCKFILE_FAIL_IMMEDIATELY;
    }
    if (LockFileEx(handle, flags, 0, MAXDWORD, MAXDWORD, &whole)) {
        return 0;
    }
    errno = GetLastError() == ERROR_LOCK_VIOLATION ? EWOULDBLOCK : EINVAL;
    return -1;
}

// Reads or writes at `offset` and leaves the file position as it was, as pread/pwrite do.
inline ssize_t velnorPositionedTransfer(int fd, void* buffer, size_t size, long long offset,
                                        bool writing) {
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE || offset < 0) {
        errno = handle == INVALID_HANDLE_VALUE ? EBADF : EINVAL;
        return -1;
    }
    LARGE_INTEGER zero{}, position{};
    if (!SetFilePointerEx(handle, zero, &position, FILE_CURRENT)) {
        errno = EIO;
        return -1;
    }
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(static_cast<unsigned long long>(offset) >> 32);
    const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD done = 0;
    const BOOL ok = writing ? WriteFile(handle, buffer, want, &done, &at)
                            : ReadFile(handle, buffer, want, &done, &at);
    const DWORD error = ok ? 0 : GetLastError();
    SetFilePointerEx(handle, position, nullptr, FILE_BEGIN);
    if (!ok && !(error == ERROR_HANDLE_EOF && !writing)) {
        errno = error == ERROR_DISK_FULL ? ENOSPC : EIO;
        return -1;
    }
    return static_cast<ssize_t>(done);
}

inline ssize_t pread(int fd, void* buffer, size_t size, long long offset) {
    return velnorPositionedTransfer(fd, buffer, size, offset, false);
}

inline ssize_t pwrite(int fd, const void* buffer, size_t size, long long offset) {
    return velnorPositionedTransfer(fd, const_cast<void*>(buffer), size, offset, true);
}

// No copy inside the kernel: the callers fall back to their buffered copy.
inline ssize_t copy_file_range(int, loff_t*, int, loff_t*, size_t, unsigned) {
    errno = ENOSYS;
    return -1;
}

inline struct tm* localtime_r(const time_t* time, struct tm* result) {
    return localtime_s(result, time) == 0 ? result : nullptr;
}

#endif  // _WIN32
