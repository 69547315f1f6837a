#pragma once

#include "transport.h"

#include <QByteArray>

// The primitive operations of one port, used only by the thread that owns it.
// The polled answer read is built on them, so the real port and the fake one
// share its rules.
class SerialLine
{
public:
    virtual ~SerialLine() = default;
    virtual void discardInput() = 0;
    virtual bool writeAll(const QByteArray &frame) = 0;
    // Waits `ms` milliseconds while incoming bytes are collected.
    virtual void waitMs(int ms) = 0;
    // Bytes received and not yet read; -1 when the port failed.
    virtual qint64 bytesWaiting() = 0;
    // Reads up to `max` bytes; -1 when the port failed.
    virtual qint64 readInto(char *buf, qint64 max) = 0;
    // Copies up to `max` waiting bytes and leaves them waiting; -1 when the
    // port failed.
    virtual qint64 peekInto(char *buf, qint64 max) = 0;
    // 1 ms, or 2 ms when the line runs at 4800 baud.
    virtual int pollIntervalMs() const = 0;
};

// How the last answer read ended (for tests and benchmarks).
struct AnswerReadStats {
    int polls = 0;
    bool timedOut = false;
};

// Quiet polls after which a complete answer is taken (a short one as well
// when it is a whole answer all the same), and after which an incomplete one
// is given up.
constexpr int kQuietPollsComplete = 2;
constexpr int kQuietPollsIncomplete = 51;
// A line that never stops sending must not hold the caller forever.
constexpr int kMaxPolls = 2000;

// The polled response read: wait for the count of waiting bytes to settle,
// then take them (never more than `bufSize`). Fewer than `wanted` bytes are
// taken early when `shortWhole` finds them a whole answer. Returns the count
// taken, or -1.
int readAnswer(SerialLine &line, char *buf, int bufSize, int wanted,
               AnswerReadStats *stats = nullptr, const AnswerTest &shortWhole = {});

// Waits until no byte has come for a whole read window (kQuietPollsIncomplete
// polls, at most kMaxPolls in all) and drops everything that came. Returns
// the polls it took, or -1 when the port failed.
int settleLine(SerialLine &line);

// One attempt on a line: drop stale input, write, read the answer.
int transactOn(SerialLine &line, const QByteArray &frame, int wanted, char *buf, int bufSize,
               AnswerReadStats *stats = nullptr, const AnswerTest &shortWhole = {});
