#pragma once

#include "serialline.h"
#include "transport.h"

#include <QList>
#include <QMutex>

#include <atomic>
#include <deque>
#include <functional>

// A scriptable port for tests and benchmarks. It records every frame written
// and plays answers back byte by byte on a clock of its own: each answer's
// first byte arrives `delayMs` after the request, the next ones every
// `byteIntervalMs`. The clock advances only while the reader waits, so timing
// is exact and tests run fast; `setRealTime` makes the waits real as well.
class FakeTransport : public Transport, private SerialLine
{
public:
    struct Reply {
        QByteArray bytes;          // empty: no answer at all
        double delayMs = 0;
        double byteIntervalMs = 0;
    };
    using Responder = std::function<QList<Reply>(const QByteArray &request)>;

    FakeTransport();

    // Answers for the next requests, in order; they take precedence over the responder.
    void enqueueReply(const Reply &reply);
    void enqueueReply(const QByteArray &bytes, double delayMs = 0, double byteIntervalMs = 0);
    void enqueueSilence();
    void setResponder(Responder responder);
    // Bytes that arrive unasked, at the current time plus `delayMs`.
    void injectBytes(const QByteArray &bytes, double delayMs = 0);

    QList<QByteArray> writes() const;
    // The frames written since the last call (or clearWrites), and forgets them.
    QList<QByteArray> takeWrites();
    void clearWrites();
    QList<AnswerReadStats> readStats() const;
    // How many attempts started while another one was still running.
    int overlaps() const { return m_overlaps.load(); }
    double nowMs() const;

    void setRealTime(bool on) { m_realTime = on; }
    void setOpenFails(bool fails) { m_openFails = fails; }
    void setFailWrites(bool fails) { m_failWrites = fails; }
    void setPollIntervalMs(int ms) { m_pollMs = ms; }
    // Whether frames written and read results are kept (on by default); a
    // port that serves a long session (the demo) keeps nothing.
    void setRecording(bool on);
    // Once open, the line runs with `forced` whatever was applied (a device
    // that refuses some settings).
    void setForcedSettings(const LineSettings &forced);

    bool open() override;
    void close() override;
    bool isOpen() const override;
    QString portName() const override { return QStringLiteral("fake"); }
    QString errorString() const override;
    bool applySettings(const LineSettings &settings) override;
    LineSettings settings() const override;
    int transact(const QByteArray &frame, int wanted, char *buf, int bufSize,
                 const AnswerTest &shortWhole = {}) override;
    void settle() override;
    void pauseMs(int ms) override { waitMs(ms); }
    // Polls spent waiting out late answers before exchanges.
    int settlePolls() const { return m_settlePolls.load(); }

private:
    struct Timed {
        char byte;
        double at;
    };

    void discardInput() override;
    bool writeAll(const QByteArray &frame) override;
    void waitMs(int ms) override;
    qint64 bytesWaiting() override;
    qint64 readInto(char *buf, qint64 max) override;
    qint64 peekInto(char *buf, qint64 max) override;
    int pollIntervalMs() const override { return m_pollMs; }

    void schedule(const QByteArray &bytes, double start, double interval);

    mutable QMutex m_mutex;
    bool m_recording = true;
    bool m_forced = false;
    LineSettings m_forcedSettings;
    QList<Reply> m_queue;
    Responder m_responder;
    QList<QByteArray> m_writes;
    QList<AnswerReadStats> m_stats;
    std::deque<Timed> m_pending;
    double m_now = 0;
    LineSettings m_settings;
    bool m_open = false;
    std::atomic<bool> m_realTime{false};
    std::atomic<bool> m_openFails{false};
    std::atomic<bool> m_failWrites{false};
    std::atomic<int> m_pollMs{1};
    std::atomic<int> m_active{0};
    std::atomic<int> m_overlaps{0};
    std::atomic<bool> m_unsettled{false};
    std::atomic<int> m_settlePolls{0};
};
