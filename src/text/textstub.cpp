// Placeholder until the text exchange lands: both operations refuse with a message.
#include "model/platform.h"
#include "textexport.h"
#include "textimport.h"

Outcome ExportText(FareTable&, Platform& platform, const QString&)
{
    platform.showFailure(QStringLiteral("テキスト形式はまだ使えません。"));
    return Outcome::Failed;
}

Outcome LoadText(FareTable&, Platform& platform, const QString&)
{
    platform.showFailure(QStringLiteral("テキスト形式はまだ使えません。"));
    return Outcome::Failed;
}
