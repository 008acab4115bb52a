#include "platform/file_system_messages.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/failure.h"
#include "platform/text.h"

namespace qv {

std::string FileSystemMessage(int systemErrorNumber) {
    switch (systemErrorNumber) {
        case kFileNotFoundNumber:
            return "ﾌｧｲﾙが見つかりません";
        case kBadFileNameNumber:
            return "不正なﾌｧｲﾙ名です";
        case kTooManyOpenFilesNumber:
            return "ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます";
        case kAccessDeniedNumber:
            return "ﾌｧｲﾙへのｱｸｾｽが拒否されました";
        case kReadPastEndNumber:
            return "ﾌｧｲﾙの末尾以降を読み込みました";
        case kDiskFullNumber:
            return "ﾃﾞｨｽｸがいっぱいです";
        case kNotANumberNumber:
            return "入力値が数値ではありません";
        default:
            return "I/O ｴﾗｰ (" + IntToStr(systemErrorNumber) + ")";
    }
}

int SystemErrorNumber(int err) {
    switch (err) {
        case ENOENT:
            return kFileNotFoundNumber;
        case ENOTDIR:
            return kBadFileNameNumber;
        case EMFILE:
        case ENFILE:
            return kTooManyOpenFilesNumber;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return kAccessDeniedNumber;
        case ENOSPC:
        case EDQUOT:
            return kNoSpaceNumber;
        case EIO:
            return kDeviceErrorNumber;
        default:
            break;
    }
    // An errno that happens to equal a number with a text of its own (a network error numbered
    // 100, say) must not show that unrelated text.
    const bool collides = FileSystemMessage(err).rfind("I/O ", 0) != 0 || err == kNoSpaceNumber;
    return collides ? kDeviceErrorNumber : err;
}

namespace {

bool ParentFolderExists(const std::string& path) {
    std::string::size_type slash = path.find_last_of('/');
    std::string parent;
    if (slash == std::string::npos) {
        parent = ".";
    } else if (slash == 0) {
        parent = "/";
    } else {
        parent = path.substr(0, slash);
    }
    struct stat info;
    return stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

void ThrowFileSystemFailure(int err, const std::string& path) {
    int number = SystemErrorNumber(err);
    if (err == ENOENT && !ParentFolderExists(path)) {
        number = kBadFileNameNumber;
    }
    throw Failure(FileSystemMessage(number));
}

}  // namespace qv
