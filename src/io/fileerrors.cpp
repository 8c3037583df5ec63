#include "fileerrors.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace FileIo {

QString systemFailure(int error, Access access)
{
    QString sentence;
    switch (error) {
    case ENOENT:
        sentence = access == Access::Read ? QStringLiteral("ファイルが見つかりません")
                                          : QStringLiteral("保存先のフォルダーが見つかりません");
        break;
    case ENOTDIR:
        sentence = QStringLiteral("パスの途中にフォルダーではないファイルがあります");
        break;
    case EACCES:
    case EPERM:
        sentence = access == Access::Read ? QStringLiteral("ファイルを読む権限がありません")
                                          : QStringLiteral("書き込む権限がありません");
        break;
    case EROFS:
        sentence = QStringLiteral("読み取り専用のファイルシステムのため書き込めません");
        break;
    case ENOSPC:
        sentence = QStringLiteral("ディスクの空き容量が足りません");
        break;
    case EDQUOT:
        sentence = QStringLiteral("ディスク使用量の割り当てを超えるため書き込めません");
        break;
    case EFBIG:
        sentence = QStringLiteral("ファイルの大きさの上限を超えるため書き込めません");
        break;
    case ENAMETOOLONG:
        sentence = QStringLiteral("ファイル名が長すぎます");
        break;
    case EISDIR:
        sentence = QStringLiteral("ファイルではなくフォルダーです");
        break;
    case ELOOP:
        sentence = QStringLiteral("シンボリックリンクが多すぎるか、循環しています");
        break;
    case EIO:
        sentence = QStringLiteral("ディスクの読み書きでエラーが起きました");
        break;
    case ETXTBSY:
        sentence = QStringLiteral("実行中のプログラムのファイルのため書き込めません");
        break;
    case EMFILE:
    case ENFILE:
        sentence = QStringLiteral("開いているファイルが多すぎます");
        break;
    case ENOMEM:
        sentence = QStringLiteral("メモリが足りません");
        break;
    case EBUSY:
        sentence = QStringLiteral("ファイルが使用中です");
        break;
    default:
        sentence = access == Access::Read ? QStringLiteral("ファイルを読み込めません")
                                          : QStringLiteral("ファイルに書き込めません");
        break;
    }
    return QStringLiteral("%1（%2）。").arg(sentence, QString::fromLocal8Bit(std::strerror(error)));
}

QString notUtf8Name()
{
    return QStringLiteral(
               "ファイル名が UTF-8 ではないため、このファイルを扱えません（読めない部分が"
               "「%1」になっています）。convmv などでファイル名を UTF-8 に変えてから、"
               "もう一度お試しください（例: convmv -f cp932 -t utf-8 --notest ファイル名）。")
        .arg(QChar(QChar::ReplacementCharacter));
}

QString missingFailure(int error, const QString& path, Access access)
{
    if (error == ENOENT && path.contains(QChar::ReplacementCharacter))
        return notUtf8Name();
    return systemFailure(error, access);
}

QString notRegularFile(mode_t mode, Access access)
{
    if (S_ISDIR(mode))
        return access == Access::Read
                   ? QStringLiteral("ファイルではなくフォルダーです。")
                   : QStringLiteral("同じ名前のフォルダーがあるため保存できません。");
    QString kind = QStringLiteral("特殊なファイル");
    if (S_ISFIFO(mode))
        kind = QStringLiteral("名前付きパイプ");
    else if (S_ISSOCK(mode))
        kind = QStringLiteral("ソケット");
    else if (S_ISCHR(mode) || S_ISBLK(mode))
        kind = QStringLiteral("デバイスファイル");
    return QStringLiteral(
               "通常のファイルではなく%1です。読み書きできるのは通常のファイルだけです。")
        .arg(kind);
}

QString readOnlyFile()
{
    return QStringLiteral("書き込み禁止のファイルのため上書きできません。別の名前で保存するか、"
                          "ファイルの書き込みを許可してください。");
}

QString folderNotWritable()
{
    return QStringLiteral("保存先のフォルダーに書き込めないため保存できません。"
                          "別の場所に保存してください。");
}

QString noFileName()
{
    return QStringLiteral("ファイル名が指定されていません。");
}

} // namespace FileIo
