// Save files come from wherever the player found them, and a broken-off
// download's record from a disk a crash may have left in any state.
#include "fuzzcheck.h"

#include "download/resumerules.h"
#include "player/gamesaves.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // A save that reads is written back byte for byte.
    GameSaves::SolProblem problem = GameSaves::SolProblem::None;
    if (const auto sol = GameSaves::decodeSol(bytes, &problem)) {
        FUZZ_CHECK(problem == GameSaves::SolProblem::None);
        FUZZ_CHECK(GameSaves::encodeSol(*sol) == bytes);
        FUZZ_CHECK(GameSaves::isValidSaveName(sol->name));
    } else {
        FUZZ_CHECK(problem != GameSaves::SolProblem::None);
    }

    // A record that reads names an address and a validator, and asks only
    // for what is missing.
    if (const auto record = DlResume::decodeRecord(bytes)) {
        FUZZ_CHECK(!record->url.isEmpty() && !record->validator.isEmpty());
        FUZZ_CHECK(DlResume::encodeRecord(*record) == bytes);
        const DlResume::Request plan = DlResume::planRequest(record, record->url, 10);
        FUZZ_CHECK(plan.from == 0 || (plan.from == 10 && (record->total < 0 || record->total > 10)));
    }

    // Any Content-Range: only one that continues at the asked byte appends.
    FuzzedDataProvider in(data, size);
    const qint64 from = in.ConsumeIntegralInRange<qint64>(0, 1 << 20);
    const int status = in.ConsumeBool() ? 206 : in.ConsumeIntegralInRange<int>(200, 416);
    const qint64 length = in.ConsumeIntegralInRange<qint64>(-1, 1 << 21);
    const std::string range = in.ConsumeRemainingBytesAsString();
    const DlResume::Answer answer =
        DlResume::judgeAnswer(from, status, QByteArrayView(range.data(), qsizetype(range.size())), length);
    if (answer.outcome == DlResume::Outcome::Append)
        FUZZ_CHECK(status == 206 && QByteArray(range.data(), qsizetype(range.size())).contains(QByteArray::number(from)));
    return 0;
}
