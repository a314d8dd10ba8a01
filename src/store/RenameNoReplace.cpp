#include "store/RenameNoReplace.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

std::error_code renameNoReplace(const QString& from, const QString& to)
{
    const QByteArray source = QFile::encodeName(from), target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return {};
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return std::error_code(errno, std::generic_category());
    if (::link(source.constData(), target.constData()) == 0) {
        ::unlink(source.constData());
        return {};
    }
    if (errno == EEXIST)
        return std::make_error_code(std::errc::file_exists);
    return std::make_error_code(std::errc::operation_not_supported);
}
