#pragma once

#include "link/faketransport.h"
#include "link/portsetup.h"

#include <QFile>
#include <QStringList>

#include <functional>
#include <memory>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

// A scripted port that reports the name it was made for.
class NamedFakePort : public FakeTransport
{
public:
    explicit NamedFakePort(const QString &name) : m_name(name) {}
    QString portName() const override { return m_name; }

private:
    QString m_name;
};

// Puts scripted ports in place of serial ports while it lives: a port opens
// when its name is in `openable`, every other one refuses.
class ScriptedPorts
{
public:
    ScriptedPorts()
    {
        PortSetup::setTransportFactory([this](const QString &name) {
            requested.append(name);
            auto port = std::make_shared<NamedFakePort>(name);
            port->setOpenFails(!openable.contains(name));
            if (takesOnly8N1)
                port->setForcedSettings(plain8N1(port->settings()));
            made.append(port);
            return port;
        });
    }
    ~ScriptedPorts() { PortSetup::setTransportFactory({}); }

    // 8 data bits, no parity, one stop bit at the baud rate of `asked`.
    static LineSettings plain8N1(LineSettings asked)
    {
        asked.dataBits = 8;
        asked.parity = 'N';
        asked.stopBits = 1;
        return asked;
    }

    std::shared_ptr<NamedFakePort> last() const { return made.isEmpty() ? nullptr : made.last(); }

    QStringList openable;
    // Ports that open run with 8N1 whatever is asked (as some adapters and
    // pseudo-terminals do).
    bool takesOnly8N1 = false;
    QStringList requested;
    QList<std::shared_ptr<NamedFakePort>> made;
};

// Runs `work` where `dir` cannot be written: the folder is made read-only
// and, since root writes anyway, the work runs in a child process without
// root's rights. Returns 1 when the work succeeded, 0 when it failed, -1
// when the platform cannot arrange this.
inline int runWithReadOnlyDir(const QString &dir, const std::function<bool()> &work)
{
#ifdef Q_OS_UNIX
    const QFile::Permissions before = QFile::permissions(dir);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                   QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0) {
            const gid_t nobody = 65534;
            if (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0)
                _exit(3);
        }
        _exit(work() ? 1 : 0);
    }
    int status = 0;
    const bool waited = child > 0 && waitpid(child, &status, 0) == child;
    QFile::setPermissions(dir, before);
    if (!waited || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return -1;
    return WEXITSTATUS(status);
#else
    Q_UNUSED(dir)
    Q_UNUSED(work)
    return -1;
#endif
}
