#pragma once

#include "base/drivetarget.h"
#include "base/stopsignal.h"

#include <QByteArray>
#include <QMutex>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class ReadWrite;

// What the RAM page and its reader share: per channel whether it is read
// (the page sets it from its check boxes, also during a run), the last
// value read and whether the last read succeeded. A value is whole bytes of
// drive memory, unsigned: a 32-bit location whose first byte is 0x80 or more
// is a large positive number, never a negative one, and 0xFFFF or
// 0xFFFFFFFF is a value like any other. After a failed read the value is
// the one before it; `ok` tells. Owned jointly by the page and its readers
// (a reader may still finish an exchange after the page has gone).
struct RamChannels {
    static constexpr int kCount = 2;

    std::atomic<bool> read[kCount] = {{true}, {true}};
    std::atomic<quint32> value[kCount] = {{0}, {0}};
    std::atomic<bool> ok[kCount] = {{true}, {true}};
};

// Receives the samples of complete passes, on the reader's thread.
class RamSampleSink
{
public:
    virtual ~RamSampleSink() = default;
    // `flags` holds one byte per channel, not zero for each channel the pass
    // read; the values are in the channels.
    virtual void sampleRam(const QByteArray &flags) = 0;
};

// Reads up to two locations of drive memory over and over with the current
// driver's packed read, as fast as the line allows, until told to stop.
// A pass reads the flagged channels in order and ends at the first failure;
// only a complete pass is handed to the sink. It never gives up by itself:
// with the line down it keeps trying, a short pause between failed passes,
// and it says so once per run of failures of a channel (the driver reports
// the first, the rest are read silently until that channel reads again).
//
// No widgets. Its owner never waits for it: stopAndDetach() returns at once
// and retire() hands a reader still inside an exchange over to be deleted
// once its run has ended. A new run after a stop takes a fresh reader.
class RamThread : public QThread
{
    Q_OBJECT
public:
    explicit RamThread(std::shared_ptr<RamChannels> channels, QObject *parent = nullptr);
    // Stops and waits for the read in flight; owners that must not wait
    // use stopAndDetach() and retire() instead.
    ~RamThread() override;

    // Where channel i reads: a register address and a byte count (1, 2, 4).
    // Taken at the start of each pass.
    void setChannel(int i, int address, int count);
    int address(int i) const;
    int count(int i) const;

    // Called with each complete pass until stopAndDetach(); may be changed
    // while the thread runs.
    void setSink(RamSampleSink *sink);
    // The driver to read with (currentDriver() by default), asked each pass.
    void setDriverSource(std::function<ReadWrite *()> source);

    // Clears the stop flag and starts reading `target`'s drive; every
    // exchange of the run goes to its station, whatever station is chosen
    // later. Never waits: false when a run is still ending or the reader
    // has been detached (take a fresh reader then). A run already going on
    // is kept; true when it reads the same target.
    bool startReading(const DriveTarget &target);
    // The drive of the last run started.
    DriveTarget target() const;
    // Sets the stop flag; returns at once. The pass in progress ends
    // after its current exchange.
    void requestStop();
    // requestStop(), and lets go of the sink and of the channels' values:
    // once it has returned neither is touched again by this reader, also
    // when its exchange in flight answers later. Waits for a sampleRam()
    // in progress (it only copies numbers), never for the line.
    void stopAndDetach();
    bool isDetached() const { return m_detached.load(); }
    // requestStop(), then waits until the thread has ended (at most the
    // exchange in flight).
    void stopAndWait();
    bool stopRequested() const { return m_stop.requested(); }

    // One pass on the calling thread, whatever the stop flag says; true
    // when it was complete (and sampled). Not while the thread runs.
    bool runPass();

    // Takes a reader its owner is done with: it is stopped and detached,
    // then deleted at once when not running, else soon after its run has
    // ended (the GUI thread's event loop looks every few milliseconds while
    // any is left). Those still running when the application object goes
    // are waited for and deleted then. Call on the GUI thread.
    static void retire(RamThread *reader);
    // Retired readers not yet deleted.
    static int retiredCount();
    // Waits for every retired reader to end and deletes it (done at exit).
    static void deleteRetired();

    // The pause after a failed pass.
    static constexpr int kRetryPauseMs = 100;

protected:
    void run() override;

private:
    // A pass; a `stoppable` one ends early once a stop is asked for.
    bool pass(bool stoppable);
    std::optional<quint32> readChannel(ReadWrite *driver, int i);
    // Stores channel i's outcome unless detached; false then.
    bool publish(int i, std::optional<quint32> value);

    const std::shared_ptr<RamChannels> m_channels;
    // Guards the sink and every store of a value: detaching waits for
    // the one in progress only.
    QMutex m_sinkMutex;
    RamSampleSink *m_sink = nullptr;
    std::atomic<bool> m_detached{false};
    std::function<ReadWrite *()> m_driver;
    std::atomic<int> m_address[RamChannels::kCount] = {{0}, {0}};
    std::atomic<int> m_count[RamChannels::kCount] = {{1}, {1}};
    StopSignal m_stop;
    // Set before start(), read by the thread it starts.
    DriveTarget m_target;
    // Per channel, set after a failed read: its further failures are not
    // reported until one of its reads succeeds. The reader's thread only.
    bool m_failing[RamChannels::kCount] = {false, false};
};
