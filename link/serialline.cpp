#include "serialline.h"

namespace {
// The bytes waiting are looked at, not taken: when they are no whole answer
// the read goes on waiting for the rest.
bool isShortWhole(SerialLine &line, qint64 count, const AnswerTest &shortWhole)
{
    QByteArray waiting(int(count), Qt::Uninitialized);
    const qint64 seen = line.peekInto(waiting.data(), count);
    if (seen <= 0)
        return false;
    waiting.truncate(int(seen));
    return shortWhole(waiting);
}
}  // namespace

int readAnswer(SerialLine &line, char *buf, int bufSize, int wanted, AnswerReadStats *stats,
               const AnswerTest &shortWhole)
{
    AnswerReadStats local;
    qint64 previous = 0;
    int idle = 0;
    for (;;) {
        line.waitMs(line.pollIntervalMs());
        ++local.polls;
        const qint64 count = line.bytesWaiting();
        if (count < 0) {
            if (stats)
                *stats = local;
            return -1;
        }
        if (count > previous) {
            previous = count;
            idle = 0;
        } else {
            ++idle;
            if (count >= wanted && idle >= kQuietPollsComplete)
                break;
            // The bytes cannot change while their count stands still, so
            // they are looked at once per quiet stretch.
            if (count > 0 && count < wanted && idle == kQuietPollsComplete && shortWhole &&
                isShortWhole(line, count, shortWhole))
                break;
            if (count < wanted && idle >= kQuietPollsIncomplete) {
                local.timedOut = true;
                break;
            }
        }
        if (local.polls >= kMaxPolls) {
            local.timedOut = true;
            break;
        }
    }
    if (stats)
        *stats = local;
    const qint64 taken = line.readInto(buf, bufSize);
    if (taken < 0)
        return -1;
    // Bytes beyond the buffer belong to no request; drop them so they cannot
    // be taken for the answer of the next one.
    line.discardInput();
    return int(taken);
}

int settleLine(SerialLine &line)
{
    line.discardInput();
    int polls = 0;
    int idle = 0;
    while (idle < kQuietPollsIncomplete && polls < kMaxPolls) {
        line.waitMs(line.pollIntervalMs());
        ++polls;
        const qint64 count = line.bytesWaiting();
        if (count < 0)
            return -1;
        if (count > 0) {
            line.discardInput();
            idle = 0;
        } else {
            ++idle;
        }
    }
    return polls;
}

int transactOn(SerialLine &line, const QByteArray &frame, int wanted, char *buf, int bufSize,
               AnswerReadStats *stats, const AnswerTest &shortWhole)
{
    line.discardInput();
    if (!line.writeAll(frame))
        return -1;
    return readAnswer(line, buf, bufSize, wanted, stats, shortWhole);
}
