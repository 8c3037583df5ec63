// Writes a realistic fare table, for the smoke test and the screenshots:
//   farewright_make_sample PATH [ROUTE_NAME]
// Stop s sells ticket s; the fare from the stop of ticket k rises with the distance.
#include "cli/terminalplatform.h"
#include "commands/fileformats.h"
#include "files/binaryfile.h"
#include "model/faretable.h"

#include <QCoreApplication>
#include <cstdio>

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
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: farewright_make_sample PATH [ROUTE_NAME]\n");
        return 2;
    }
    const QString route =
        args.size() > 2 ? args[2] : QStringLiteral("みなと線（駅前〜岬の湯温泉）");
    FareTable table;
    table.SetCell(1, 1, route);
    const QStringList stops = QString::fromUtf8(Stops).split(u' ');
    for (int s = 1; s <= stops.size(); ++s) {
        const int row = s + 1;
        table.SetCell(row, 1, stops[s - 1]);
        table.SetCell(row, 2, s);
        for (int k = 1; k <= s; ++k)
            table.SetCell(row, 2 + k, 170 + 30 * (s - k) + 10 * ((s - k) / 3));
    }
    TerminalPlatform platform(true);
    const FileOperation save = saveWriterForPath(args[1]);
    if (!save || save(table, platform, args[1]) != Outcome::Done)
        return 1;
    return 0;
}
