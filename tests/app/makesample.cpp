// Writes a realistic fare table, for the smoke test and the screenshots:
//   farewright_make_sample PATH [ROUTE_NAME]
// Stop s sells ticket s; the fare from the stop of ticket k rises with the distance.
#include "cli/terminalplatform.h"
#include "document/fileformats.h"
#include "files/binaryfile.h"
#include "model/faretable.h"

#include <QCoreApplication>

namespace {

// The stops from the terminus out, separated by blanks.
const char* const Stops = "駅前バスターミナル 中央一丁目 市役所前 県立病院 本町通り 桜ヶ丘団地 "
                          "北小学校前 緑町 運動公園 郷土資料館 新田 東高校前 水道局 みなと大橋 "
                          "漁港 海浜公園 灯台入口 岬の湯温泉";

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    FareTable table;
    table.SetCell(1, 1, args.value(2, QStringLiteral("みなと線（駅前〜岬の湯温泉）")));
    const QStringList stops = QString::fromUtf8(Stops).split(u' ');
    for (int s = 1; s <= stops.size(); ++s) {
        const int row = s + 1;
        table.SetCell(row, 1, stops[s - 1]);
        table.SetCell(row, 2, s);
        for (int k = 1; k <= s; ++k)
            table.SetCell(row, 2 + k, 170 + 30 * (s - k) + 10 * ((s - k) / 3));
    }
    TerminalPlatform platform(true);
    // Without a path (or with one of no known type) there is no writer: exit status 1.
    const FileType* type = fileTypeForPath(args.value(1));
    return type && type->writer(table, platform, args[1]) == Outcome::Done ? 0 : 1;
}
