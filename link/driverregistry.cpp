#include "driverregistry.h"

#include "linkstate.h"
#include "readwrite.h"

#include <QMutex>

#include <atomic>
#include <memory>
#include <vector>

namespace {
std::atomic<ReadWrite *> g_current{nullptr};
QMutex g_retiredMutex;
std::vector<std::unique_ptr<ReadWrite>> &retiredDrivers()
{
    static std::vector<std::unique_ptr<ReadWrite>> drivers;
    return drivers;
}
}  // namespace

ReadWrite *currentDriver() { return g_current.load(); }

void setCurrentDriver(ReadWrite *driver)
{
    QMutexLocker lock(&g_retiredMutex);
    if (driver)
        retiredDrivers().emplace_back(driver);
    g_current.store(driver);
    lock.unlock();
    emit LinkEvents::instance()->linkChanged();
}
