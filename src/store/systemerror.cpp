#include "store/systemerror.h"

#include <cerrno>
#include <cstring>

namespace tsumiki {

QString describeSystemError(int error) {
    switch (error) {
        case ENOSPC:
            return QStringLiteral("空き容量が不足しています");
        case EDQUOT:
            return QStringLiteral("ディスクの使用量が上限に達しています");
        case EACCES:
        case EPERM:
            return QStringLiteral("書き込みが許可されていません");
        case EROFS:
            return QStringLiteral("読み取り専用の場所のため書き込めません");
        case EFBIG:
            return QStringLiteral("ファイルが大きすぎます");
        case EIO:
            return QStringLiteral("ディスクの読み書きでエラーが発生しました");
        case ENOENT:
        case ENOTDIR:
            return QStringLiteral("ファイルまたはフォルダが見つかりません");
        case EXDEV:
            return QStringLiteral("別のドライブへは移動できません");
        case EMFILE:
        case ENFILE:
            return QStringLiteral("開いているファイルが多すぎます");
        case ENAMETOOLONG:
            return QStringLiteral("ファイル名が長すぎます");
        case EBUSY:
        case ETXTBSY:
            return QStringLiteral("ファイルが使用中です");
        default:
            break;
    }
    // Anything rarer keeps the system's own words, so the reason can still be looked up.
    return QStringLiteral("システムエラー %1: %2").arg(error).arg(QString::fromLocal8Bit(std::strerror(error)));
}

}  // namespace tsumiki
