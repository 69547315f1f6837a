// ThreadSanitizer build only. Qt's mutexes, semaphores, read-write locks,
// wait conditions and thread joins are implemented inside libQt5Core, which
// is not instrumented: ThreadSanitizer sees neither the lock nor the unlock
// and takes every access they protect for a data race. The link step routes
// our calls to them (-Wl,--wrap, see sanitizers.cmake) through these
// functions, which call the real ones and tell ThreadSanitizer which
// happens-before edge each call makes. Nothing here changes what Qt does.
#include <QDeadlineTimer>
#include <QMutex>
#include <QReadWriteLock>
#include <QSemaphore>
#include <QThread>
#include <QVariant>
#include <QWaitCondition>

extern "C" {
void __tsan_acquire(void *addr);
void __tsan_release(void *addr);

void __real__ZN6QMutex4lockEv(QMutex *m);
void __real__ZN6QMutex6unlockEv(QMutex *m);
bool __real__ZN6QMutex7tryLockEi(QMutex *m, int timeout);

void __real__ZN10QSemaphore7acquireEi(QSemaphore *s, int n);
void __real__ZN10QSemaphore7releaseEi(QSemaphore *s, int n);
bool __real__ZN10QSemaphore10tryAcquireEi(QSemaphore *s, int n);
bool __real__ZN10QSemaphore10tryAcquireEii(QSemaphore *s, int n, int timeout);

void __real__ZN14QReadWriteLock11lockForReadEv(QReadWriteLock *l);
void __real__ZN14QReadWriteLock12lockForWriteEv(QReadWriteLock *l);
bool __real__ZN14QReadWriteLock14tryLockForReadEv(QReadWriteLock *l);
bool __real__ZN14QReadWriteLock14tryLockForReadEi(QReadWriteLock *l, int timeout);
bool __real__ZN14QReadWriteLock15tryLockForWriteEv(QReadWriteLock *l);
bool __real__ZN14QReadWriteLock15tryLockForWriteEi(QReadWriteLock *l, int timeout);
void __real__ZN14QReadWriteLock6unlockEv(QReadWriteLock *l);

bool __real__ZN14QWaitCondition4waitEP6QMutex14QDeadlineTimer(QWaitCondition *c, QMutex *m,
                                                               QDeadlineTimer deadline);
bool __real__ZN14QWaitCondition4waitEP6QMutexm(QWaitCondition *c, QMutex *m, unsigned long ms);
void __real__ZN14QWaitCondition7wakeOneEv(QWaitCondition *c);
void __real__ZN14QWaitCondition7wakeAllEv(QWaitCondition *c);

void __real__ZN7QThread5startENS_8PriorityE(QThread *t, QThread::Priority p);
bool __real__ZN7QThread4waitE14QDeadlineTimer(QThread *t, QDeadlineTimer deadline);
bool __real__ZN7QThread4waitEm(QThread *t, unsigned long ms);

// Mutexes: an unlock orders everything before it before the next lock.
void __wrap__ZN6QMutex4lockEv(QMutex *m)
{
    __real__ZN6QMutex4lockEv(m);
    __tsan_acquire(m);
}
void __wrap__ZN6QMutex6unlockEv(QMutex *m)
{
    __tsan_release(m);
    __real__ZN6QMutex6unlockEv(m);
}
bool __wrap__ZN6QMutex7tryLockEi(QMutex *m, int timeout)
{
    const bool locked = __real__ZN6QMutex7tryLockEi(m, timeout);
    if (locked)
        __tsan_acquire(m);
    return locked;
}

// Semaphores: a release orders everything before it before the acquire that
// takes the permit.
void __wrap__ZN10QSemaphore7acquireEi(QSemaphore *s, int n)
{
    __real__ZN10QSemaphore7acquireEi(s, n);
    __tsan_acquire(s);
}
void __wrap__ZN10QSemaphore7releaseEi(QSemaphore *s, int n)
{
    __tsan_release(s);
    __real__ZN10QSemaphore7releaseEi(s, n);
}
bool __wrap__ZN10QSemaphore10tryAcquireEi(QSemaphore *s, int n)
{
    const bool taken = __real__ZN10QSemaphore10tryAcquireEi(s, n);
    if (taken)
        __tsan_acquire(s);
    return taken;
}
bool __wrap__ZN10QSemaphore10tryAcquireEii(QSemaphore *s, int n, int timeout)
{
    const bool taken = __real__ZN10QSemaphore10tryAcquireEii(s, n, timeout);
    if (taken)
        __tsan_acquire(s);
    return taken;
}

// Read-write locks, conservatively: every unlock releases, every lock acquires.
void __wrap__ZN14QReadWriteLock11lockForReadEv(QReadWriteLock *l)
{
    __real__ZN14QReadWriteLock11lockForReadEv(l);
    __tsan_acquire(l);
}
void __wrap__ZN14QReadWriteLock12lockForWriteEv(QReadWriteLock *l)
{
    __real__ZN14QReadWriteLock12lockForWriteEv(l);
    __tsan_acquire(l);
}
bool __wrap__ZN14QReadWriteLock14tryLockForReadEv(QReadWriteLock *l)
{
    const bool locked = __real__ZN14QReadWriteLock14tryLockForReadEv(l);
    if (locked)
        __tsan_acquire(l);
    return locked;
}
bool __wrap__ZN14QReadWriteLock14tryLockForReadEi(QReadWriteLock *l, int timeout)
{
    const bool locked = __real__ZN14QReadWriteLock14tryLockForReadEi(l, timeout);
    if (locked)
        __tsan_acquire(l);
    return locked;
}
bool __wrap__ZN14QReadWriteLock15tryLockForWriteEv(QReadWriteLock *l)
{
    const bool locked = __real__ZN14QReadWriteLock15tryLockForWriteEv(l);
    if (locked)
        __tsan_acquire(l);
    return locked;
}
bool __wrap__ZN14QReadWriteLock15tryLockForWriteEi(QReadWriteLock *l, int timeout)
{
    const bool locked = __real__ZN14QReadWriteLock15tryLockForWriteEi(l, timeout);
    if (locked)
        __tsan_acquire(l);
    return locked;
}
void __wrap__ZN14QReadWriteLock6unlockEv(QReadWriteLock *l)
{
    __tsan_release(l);
    __real__ZN14QReadWriteLock6unlockEv(l);
}

// A wait gives the mutex up and takes it back; a wake orders what the waker
// did before the waiter's return.
bool __wrap__ZN14QWaitCondition4waitEP6QMutex14QDeadlineTimer(QWaitCondition *c, QMutex *m,
                                                               QDeadlineTimer deadline)
{
    __tsan_release(m);
    const bool woken = __real__ZN14QWaitCondition4waitEP6QMutex14QDeadlineTimer(c, m, deadline);
    __tsan_acquire(c);
    __tsan_acquire(m);
    return woken;
}
bool __wrap__ZN14QWaitCondition4waitEP6QMutexm(QWaitCondition *c, QMutex *m, unsigned long ms)
{
    __tsan_release(m);
    const bool woken = __real__ZN14QWaitCondition4waitEP6QMutexm(c, m, ms);
    __tsan_acquire(c);
    __tsan_acquire(m);
    return woken;
}
void __wrap__ZN14QWaitCondition7wakeOneEv(QWaitCondition *c)
{
    __tsan_release(c);
    __real__ZN14QWaitCondition7wakeOneEv(c);
}
void __wrap__ZN14QWaitCondition7wakeAllEv(QWaitCondition *c)
{
    __tsan_release(c);
    __real__ZN14QWaitCondition7wakeAllEv(c);
}

// Threads: start orders the starter's past before run() (Qt starts threads
// through pthread_create, which ThreadSanitizer sees, but the hand-over of
// the QThread object goes through Qt's own lock); the end of run() is
// ordered before a wait() that saw the thread finish.
void __wrap__ZN7QThread5startENS_8PriorityE(QThread *t, QThread::Priority p)
{
    static const char *const kHooked = "_vantreo_tsan_hooked";
    if (!t->property(kHooked).toBool()) {
        t->setProperty(kHooked, true);
        QObject::connect(t, &QThread::finished, [t] { __tsan_release(t); });
    }
    __tsan_release(t);
    __real__ZN7QThread5startENS_8PriorityE(t, p);
}
bool __wrap__ZN7QThread4waitE14QDeadlineTimer(QThread *t, QDeadlineTimer deadline)
{
    const bool done = __real__ZN7QThread4waitE14QDeadlineTimer(t, deadline);
    if (done)
        __tsan_acquire(t);
    return done;
}
bool __wrap__ZN7QThread4waitEm(QThread *t, unsigned long ms)
{
    const bool done = __real__ZN7QThread4waitEm(t, ms);
    if (done)
        __tsan_acquire(t);
    return done;
}
}
