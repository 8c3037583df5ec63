// Reads arbitrary bytes as a command line of file names (a NUL ends each, as in argv) and checks
// that every byte of a name survives, that a dropped file's URL names the same file, and that a
// name as messages show it holds no control character and no lone surrogate.
#include "fuzzcheck.h"
#include "io/pathbytes.h"
#include "model/messagetext.h"

#include <QUrl>
#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QList<QByteArray> names =
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\0');
    std::vector<const char*> argv;
    for (const QByteArray& name : names)
        argv.push_back(name.constData());
    const QStringList paths = FileIo::decodeArguments(int(argv.size()), argv.data());
    FUZZ_CHECK(paths.size() == names.size());
    for (qsizetype i = 0; i < names.size(); ++i) {
        FUZZ_CHECK(FileIo::encodePath(paths[i]) == names[i]);
        // Well-formed UTF-8 is plain text; any other byte shows as U+FFFD.
        const bool utf8 = QByteArrayView(names[i]).isValidUtf8();
        if (utf8)
            FUZZ_CHECK(paths[i].toUtf8() == names[i]);
        const QString shown = FileIo::displayPath(paths[i]);
        FUZZ_CHECK(utf8 || shown.contains(QChar::ReplacementCharacter));
        FUZZ_CHECK(shown.isValidUtf16());
        for (const QChar c : shown)
            FUZZ_CHECK(!isControlCharacter(c.unicode()));
        const QByteArray absolute = '/' + names[i];
        const QUrl url = QUrl::fromEncoded("file://" + absolute.toPercentEncoding("/"));
        FUZZ_CHECK(FileIo::localFileFromUrl(url) == FileIo::decodePath(absolute));
    }
    return 0;
}
