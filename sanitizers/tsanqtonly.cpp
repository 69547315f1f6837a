// ThreadSanitizer build only. Drops the data-race reports that come from the
// threads of Qt's global pool and show no code of this program.
//
// QtGui converts a large picture (a form's window icon, say) in parts on
// that pool. Its threads run Qt's code alone: nothing of ours is ever started
// there. They hand their work over through Qt's internal lists under Qt's
// internal mutex, which ThreadSanitizer cannot see (see README.md), and their
// stacks name nothing but the function that called malloc, memcpy or delete
// (QListData::append, realloc_grow, detach_grow, or no name at all). Those
// cannot go into tsan.supp: a race of ours on a QList has QListData on one of
// its stacks too, beside our own frames.
//
// A report is dropped when at least one access was made on a pool thread
// with its stack restored in full and no frame of the program on it, and no
// access has a frame of the program (the other one is Qt's as well, or its
// stack was no longer in ThreadSanitizer's history). Our code, static
// libraries included, is all linked into the executable and all of it is
// instrumented, so every access made while a function of ours runs has that
// function on its stack. Any report with a frame of ours still stops the test.
//
// ThreadSanitizer asks the program about each report through a weak hook
// (__tsan::OnReport, true meaning "suppressed") and gives its contents through
// its debugging interface.
#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" {
int __tsan_get_report_data(void *report, const char **description, int *count,
                           int *stack_count, int *mop_count, int *loc_count,
                           int *mutex_count, int *thread_count, int *unique_tid_count,
                           void **sleep_trace, unsigned long trace_size);
int __tsan_get_report_mop(void *report, unsigned long idx, int *tid, void **addr, int *size,
                          int *write, int *atomic, void **trace, unsigned long trace_size);
int __tsan_get_report_thread(void *report, unsigned long idx, int *tid, std::uint64_t *os_id,
                             int *running, const char **name, int *parent_tid, void **trace,
                             unsigned long trace_size);
// The executable's code, from the linker's default script.
extern const char __executable_start[];
extern const char etext[];
}

namespace {
constexpr unsigned long kTraceSize = 256;
// The name Qt gives the threads of a QThreadPool.
const char kPoolThreadName[] = "Thread (pooled)";

enum class Stack { Ours, QtOnly, Unknown };

// Whether an access's stack has a frame of the program, has none (restored
// in full), or is not known in full.
__attribute__((no_sanitize_thread)) Stack stackOf(void *report, unsigned long mop, int *tid)
{
    void *addr = nullptr;
    int size = 0;
    int write = 0;
    int atomic = 0;
    void *trace[kTraceSize] = {};
    if (!__tsan_get_report_mop(report, mop, tid, &addr, &size, &write, &atomic, trace,
                               kTraceSize))
        return Stack::Unknown;
    std::size_t frames = 0;
    while (frames < kTraceSize && trace[frames])
        ++frames;
    for (std::size_t i = 0; i < frames; ++i) {
        const char *pc = static_cast<const char *>(trace[i]);
        if (pc >= __executable_start && pc < etext)
            return Stack::Ours;
    }
    // Not restored, or cut: a frame of ours may be missing.
    if (frames == 0 || frames == kTraceSize)
        return Stack::Unknown;
    return Stack::QtOnly;
}

__attribute__((no_sanitize_thread)) bool onPoolThread(void *report, int threads, int tid)
{
    for (int i = 0; i < threads; ++i) {
        int id = -1;
        std::uint64_t osId = 0;
        int running = 0;
        const char *name = nullptr;
        int parent = -1;
        void *trace[1] = {};
        if (!__tsan_get_report_thread(report, static_cast<unsigned long>(i), &id, &osId,
                                      &running, &name, &parent, trace, 1))
            continue;
        if (id == tid)
            return name && std::strcmp(name, kPoolThreadName) == 0;
    }
    return false;
}
}  // namespace

namespace __tsan {
class ReportDesc;

__attribute__((no_sanitize_thread)) bool OnReport(const ReportDesc *rep, bool suppressed)
{
    if (suppressed)
        return true;
    void *report = const_cast<ReportDesc *>(rep);
    const char *description = nullptr;
    int count = 0;
    int stacks = 0;
    int mops = 0;
    int locs = 0;
    int mutexes = 0;
    int threads = 0;
    int tids = 0;
    void *sleep[1] = {};
    if (!__tsan_get_report_data(report, &description, &count, &stacks, &mops, &locs, &mutexes,
                                &threads, &tids, sleep, 1))
        return false;
    if (!description || std::strcmp(description, "data-race") != 0 || mops < 2)
        return false;
    bool qtPoolAccess = false;
    for (int i = 0; i < mops; ++i) {
        int tid = -1;
        const Stack stack = stackOf(report, static_cast<unsigned long>(i), &tid);
        if (stack == Stack::Ours)
            return false;
        if (stack == Stack::QtOnly && onPoolThread(report, threads, tid))
            qtPoolAccess = true;
    }
    return qtPoolAccess;
}
}  // namespace __tsan
