#pragma once

// Failures that a real file system reports only at write() or fdatasync() (an interrupted
// write, a disk that fills up or a USB stick pulled out before the data reached it), made on
// demand. Linked into a test program, its write() and fdatasync() stand in for the C
// library's and pass every call on to them unless a failure is armed.
namespace SyscallFaults {

// The next `count` calls to write() fail with errnum, without writing.
void failWrites(int count, int errnum);
// The next call to fdatasync() fails with errnum, after syncing.
void failNextSync(int errnum);

} // namespace SyscallFaults
