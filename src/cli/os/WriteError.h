#pragma once
// Why a write to a C stream failed, as errno says it on every system.

namespace tivolan::cli {

// The errno of the write that has just failed. On Windows a pipe whose
// reader has gone fails with ERROR_NO_DATA, which the C runtime reports as
// EINVAL; it is EPIPE there, as on POSIX systems.
int LastWriteError();

}  // namespace tivolan::cli
