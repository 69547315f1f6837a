#include "parameterstate.h"

#include <QMutex>

#include <atomic>

namespace {
QMutex g_mutex;
QString g_catalogueVersion;
QString g_deviceVersion;
QString g_p186Value;
std::atomic<bool> g_versionReadFromDrive{false};
std::atomic<bool> g_resetPending{false};

QString guardedRead(const QString &value)
{
    QMutexLocker lock(&g_mutex);
    return value;
}

void guardedWrite(QString &target, const QString &value)
{
    QMutexLocker lock(&g_mutex);
    target = value;
}
}  // namespace

QString catalogueVersion() { return guardedRead(g_catalogueVersion); }
void setCatalogueVersion(const QString &version) { guardedWrite(g_catalogueVersion, version); }
QString deviceVersion() { return guardedRead(g_deviceVersion); }
void setDeviceVersion(const QString &version) { guardedWrite(g_deviceVersion, version); }

double catalogueVersionNumber() { return catalogueVersion().toDouble(); }

bool versionReadFromDrive() { return g_versionReadFromDrive.load(); }
void setVersionReadFromDrive(bool fromDrive) { g_versionReadFromDrive.store(fromDrive); }

QString p186Value() { return guardedRead(g_p186Value); }
void setP186Value(const QString &value) { guardedWrite(g_p186Value, value); }

bool parameterResetPending() { return g_resetPending.load(); }
void setParameterResetPending(bool pending) { g_resetPending.store(pending); }

void resetParameterState()
{
    setCatalogueVersion(QString());
    setDeviceVersion(QString());
    setP186Value(QString());
    setVersionReadFromDrive(false);
    setParameterResetPending(false);
}
