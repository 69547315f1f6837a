#pragma once

#include <QStringList>

#include <type_traits>

class MonitorThread;

// The pages as the monitor thread calls them, and the rule that keeps those
// calls away from freed or half-destroyed pages.
//
// For page authors:
// - Derive the page from DialPageSink and/or TrendPageSink and create it as
//   MonitorPage<YourPage> (`new MonitorPage<DialWindow>(parent)`); the
//   monitor thread attaches nothing else.
// - Delete the page whenever you like, attached or not: MonitorPage's
//   destructor runs before yours and detaches the page first, waiting for a
//   call into it that is in progress. No call starts after that.
// - The calls run on the monitor thread (showDriveInfo on the thread that
//   starts monitoring), under the lock every attach and detach takes. Copy
//   the numbers and return: never wait for another thread there (no blocking
//   queued call, no lock that a thread holds while it attaches, detaches or
//   deletes a page), and never use the link.
// - Detaching from inside a call is allowed; it returns at once, as the only
//   call in progress is the caller's own.

// What ties a page to the monitor thread that calls it.
class PageLink
{
public:
    PageLink(const PageLink &) = delete;
    PageLink &operator=(const PageLink &) = delete;

    // Returns once no call into the page is in progress (other than the
    // caller's own), and none starts afterwards. Nothing when not attached.
    void detachFromMonitor();

protected:
    PageLink() = default;
    ~PageLink() = default;

private:
    friend class MonitorThread;
    MonitorThread *m_monitor = nullptr;  // under the page lock
};

class DialPageSink : public PageLink
{
public:
    virtual ~DialPageSink() = default;
    // End of a complete cycle: the values of the requested quantities are new.
    virtual void takeSample() = 0;
    // The identity record: drive, version, current, voltage (and extra) texts.
    virtual void showDriveInfo(const QStringList &record) = 0;
};

class TrendPageSink : public PageLink
{
public:
    virtual ~TrendPageSink() = default;
    virtual void sampleChannels() = 0;
    virtual void showDriveInfo(const QStringList &record) = 0;
};

// A page the monitor thread can be given. Final, so that its destructor is
// the first to run: the page is detached while all of it still exists.
template <class Page>
class MonitorPage final : public Page
{
    static constexpr bool kDial = std::is_base_of_v<DialPageSink, Page>;
    static constexpr bool kTrend = std::is_base_of_v<TrendPageSink, Page>;
    static_assert(kDial || kTrend, "a monitor page is a dial page or a trend page");

public:
    using Page::Page;
    ~MonitorPage() override
    {
        if constexpr (kDial)
            static_cast<DialPageSink *>(this)->detachFromMonitor();
        if constexpr (kTrend)
            static_cast<TrendPageSink *>(this)->detachFromMonitor();
    }
};
