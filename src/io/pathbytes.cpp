#include "pathbytes.h"

#include "model/messagetext.h"

#include <QDir>
#include <QStringDecoder>
#include <QUrl>

namespace FileIo {

namespace {

/** A byte b (0x80…0xFF) outside well-formed UTF-8 stands in a path as U+DC00 + b. */
constexpr char16_t EscapeBase = 0xDC00;

bool isEscapedByte(QChar c)
{
    return c.unicode() >= EscapeBase + 0x80 && c.unicode() <= EscapeBase + 0xFF;
}

/** Whether text[i] begins a surrogate pair (a character beyond U+FFFF, never an escape). */
bool startsPair(QStringView text, qsizetype i)
{
    return text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
}

/** The length of the well-formed UTF-8 sequence at s, n > 0 bytes being left, or 0. */
int utf8SequenceLength(const uchar* s, qsizetype n)
{
    const uchar lead = s[0];
    if (lead < 0x80)
        return 1;
    int length = 0;
    uchar low = 0x80; // the second byte's range: no overlong forms, no surrogates, ≤ U+10FFFF
    uchar high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    } else {
        return 0;
    }
    if (n < length || s[1] < low || s[1] > high)
        return 0;
    for (int i = 2; i < length; ++i)
        if (s[i] < 0x80 || s[i] > 0xBF)
            return 0;
    return length;
}

/** Well-formed UTF-8 as text; unlike QString::fromUtf8(), it keeps a leading U+FEFF. */
QString fromUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom |
                                                     QStringDecoder::Flag::Stateless);
    return decoder(bytes);
}

} // namespace

QString decodePath(QByteArrayView bytes)
{
    const auto* s = reinterpret_cast<const uchar*>(bytes.data());
    QString path;
    qsizetype run = 0; // where the bytes not yet decoded begin
    for (qsizetype i = 0; i < bytes.size();) {
        if (const int length = utf8SequenceLength(s + i, bytes.size() - i)) {
            i += length;
            continue;
        }
        path += fromUtf8(bytes.sliced(run, i - run));
        path += QChar(char16_t(EscapeBase + s[i]));
        run = ++i;
    }
    return path + fromUtf8(bytes.sliced(run));
}

QByteArray encodePath(const QString& path)
{
    QByteArray bytes;
    qsizetype run = 0; // where the characters not yet encoded begin
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (startsPair(path, i)) {
            ++i;
        } else if (isEscapedByte(path[i])) {
            bytes += QStringView(path).sliced(run, i - run).toUtf8();
            bytes += char(path[i].unicode() - EscapeBase);
            run = i + 1;
        }
    }
    return bytes + QStringView(path).sliced(run).toUtf8();
}

QStringList decodeArguments(int argc, const char* const* argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(decodePath(argv[i]));
    return arguments;
}

QString localFileFromUrl(const QUrl& url)
{
    // QUrl::toLocalFile() reads the path as UTF-8 and loses the bytes that are not.
    if (!url.isLocalFile() || !url.host().isEmpty())
        return url.toLocalFile();
    return decodePath(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

QString displayPath(const QString& path)
{
    // Whole, since its end names the file; but a control character in it must not break the
    // message's lines or steer a terminal.
    const QString native = QDir::toNativeSeparators(path);
    QString shown;
    shown.reserve(native.size());
    for (qsizetype i = 0; i < native.size(); ++i) {
        if (startsPair(native, i)) {
            shown += native[i];
            shown += native[++i];
        } else if (isEscapedByte(native[i])) {
            shown += QChar(QChar::ReplacementCharacter);
        } else if (isControlCharacter(native[i].unicode())) {
            appendEscapedControl(shown, native[i].unicode());
        } else {
            shown += native[i];
        }
    }
    return shown;
}

QStringList pathsIn(const QString& dir, const QStringList& folders, const QString& fileName)
{
    const QDir base(dir);
    QStringList paths;
    for (const QString& folder : folders)
        paths.append(QDir::cleanPath(base.absoluteFilePath(folder + u'/' + fileName)));
    paths.removeDuplicates();
    return paths;
}

} // namespace FileIo
