// The download control's path and redirect rules get addresses and paths from
// pages and servers.
#include "fuzzcheck.h"

#include "download/dlrules.h"

#include <cmath>

namespace
{
bool hasSeparator(const QString &text)
{
    return text.contains(QLatin1Char('/')) || text.contains(QLatin1Char('\\'));
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const QString a = takeText(in, 256);
    const QString b = takeText(in, 32);
    const qint64 bytesRead = in.ConsumeIntegral<qint64>();
    const qint64 bytesMax = in.ConsumeIntegral<qint64>();

    const QString last = DlRules::lastPart(a, b);
    FUZZ_CHECK(a.endsWith(last));
    if (!b.isEmpty() && a.contains(b))
        FUZZ_CHECK(!last.contains(b) && a.size() >= last.size() + b.size());
    if (!a.contains(b) || b.isEmpty())
        FUZZ_CHECK(last == a);

    const QString joined = DlRules::joinPath(a, b);
    FUZZ_CHECK(joined.startsWith(a) && joined.endsWith(b));
    FUZZ_CHECK(joined.size() == a.size() + b.size() + ((!a.isEmpty() && (a.endsWith(QLatin1Char('/')) || a.endsWith(QLatin1Char('\\')))) ? 0 : 1));

    const DlRules::SplitPath split = DlRules::splitSaveFilePath(a);
    FUZZ_CHECK(split.folder + split.title == a);
    FUZZ_CHECK(!hasSeparator(split.title));
    FUZZ_CHECK(split.folder.isEmpty() || split.folder.endsWith(QLatin1Char('/')) || split.folder.endsWith(QLatin1Char('\\')));

    // A redirected file is saved under a name that cannot leave its folder.
    const QString title = DlRules::redirectFileTitle(a);
    FUZZ_CHECK(!hasSeparator(title) && a.endsWith(title));

    const QString local = DlRules::localPath(a);
    FUZZ_CHECK(local.size() == a.size() && !local.contains(QLatin1Char('\\')));

    const float fraction = DlRules::progressFraction(bytesRead, bytesMax);
    FUZZ_CHECK(std::isfinite(fraction));
    if (bytesMax <= 0)
        FUZZ_CHECK(fraction == 0.0f);

    // Whatever a server sends, only a body with a movie's signature passes.
    const std::string head = in.ConsumeBytesAsString(in.ConsumeIntegralInRange<size_t>(0, 12));
    if (DlRules::isFlashMovie(QByteArrayView(head.data(), qsizetype(head.size())), bytesRead))
        FUZZ_CHECK(head.size() >= 8 && bytesRead >= 8
                   && (head.rfind("FWS", 0) == 0 || head.rfind("CWS", 0) == 0 || head.rfind("ZWS", 0) == 0));

    DlRules::redirectedText(a);
    DlRules::writeFailedText(a, b);
    return 0;
}
