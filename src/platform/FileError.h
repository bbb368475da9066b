#pragma once

#include <QString>

/// What was being done when a file operation failed.
enum class FileAccess {
    Read,
    Write,
};

/// The cause of a failed file operation (an errno value) in words that complete "could not
/// read the file 'x': ..." or "could not write the file 'x': ...": a full disk, a used-up
/// quota, a missing permission and a read-only file system are named as such.
QString DescribeFileError(int error, FileAccess access);
