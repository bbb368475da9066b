#include "platform/FileError.h"

#include <QtGlobal>

#include <cerrno>

QString DescribeFileError(int error, FileAccess access)
{
    const bool writing = access == FileAccess::Write;
    switch (error) {
    case ENOSPC:
        return QStringLiteral("the disk is full");
    case EDQUOT:
        return QStringLiteral("the disk space allowed to your account is used up");
    case EROFS:
        return writing
                   ? QStringLiteral("its folder is on a read-only disk or file system, where nothing can be written")
                   : QStringLiteral("it is on a read-only file system that refuses it");
    case EACCES:
    case EPERM:
        return writing ? QStringLiteral("you have no permission to write there (the file or its folder is read-only)")
                       : QStringLiteral("you have no permission to read it");
    case EFBIG:
        return QStringLiteral("it would be larger than the system allows a file to be");
    case EIO:
        return QStringLiteral("the disk reported an input/output error");
    case ENOENT:
        return writing ? QStringLiteral("its folder does not exist") : QStringLiteral("it does not exist");
    case 0:
        return QStringLiteral("the system gave no reason");
    default:
        break;
    }
    QString text = qt_error_string(error);
    if (text.size() > 1 && text[0].isUpper() && text[1].isLower())
        text[0] = text[0].toLower();
    return text;
}
