#pragma once

#include <string>

namespace qv {

// Failure texts for file operations. They are keyed by the numbers the Windows file functions
// report, so that a failure reads the same as the users have always seen it.

// System error numbers with a text of their own.
inline constexpr int kFileNotFoundNumber = 2;
inline constexpr int kBadFileNameNumber = 3;
inline constexpr int kTooManyOpenFilesNumber = 4;
inline constexpr int kAccessDeniedNumber = 5;
inline constexpr int kReadPastEndNumber = 100;
inline constexpr int kDiskFullNumber = 101;
inline constexpr int kNotANumberNumber = 106;
// The system's "disk full" number on writes; it has no text and shows as "I/O ｴﾗｰ (112)".
inline constexpr int kNoSpaceNumber = 112;
// The system's number for a device error (EIO, and any errno that would otherwise collide with
// a number above); shows as "I/O ｴﾗｰ (1117)".
inline constexpr int kDeviceErrorNumber = 1117;

// The user-visible text for a system error number; any number without a text of its own
// (negative ones included) gives "I/O ｴﾗｰ (n)".
std::string FileSystemMessage(int systemErrorNumber);

// The system error number for a Linux errno value. Values without a counterpart are returned
// unchanged, unless they would collide with a number that has a text of its own. Does not look at
// the file system: an ENOENT whose parent folder is missing is told apart by
// ThrowFileSystemFailure.
int SystemErrorNumber(int err);

// Throws Failure with the text for errno `err` met while working on `path`. An ENOENT for a
// path whose parent folder does not exist counts as a bad file name (3).
[[noreturn]] void ThrowFileSystemFailure(int err, const std::string& path);

}  // namespace qv
