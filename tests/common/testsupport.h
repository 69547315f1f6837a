#pragma once

#include "base/messagetable.h"
#include "base/sharedstate.h"
#include "base/userinteraction.h"
#include "link/checksums.h"
#include "link/faketransport.h"
#include "link/linkstate.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QMutex>
#include <QPair>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

// Records every message and progress step instead of showing it.
class RecordingInteraction : public UserInteraction
{
public:
    struct Message {
        QString kind, title, text;
        QThread *thread;
        QStringList buttons;  // for "choice" messages
    };

    void warning(const QString &title, const QString &text) override { add("warning", title, text); }
    void critical(const QString &title, const QString &text) override { add("critical", title, text); }
    void information(const QString &title, const QString &text) override
    {
        add("information", title, text);
    }
    Answer question(const QString &title, const QString &text, bool, bool) override
    {
        add("question", title, text);
        return nextAnswer;
    }
    // Answers with `nextChoice`, or with the default button while it is -2.
    int choose(Icon, const QString &title, const QString &text, const QStringList &buttons,
               int defaultButton) override
    {
        add("choice", title, text, buttons);
        return nextChoice == -2 ? defaultButton : nextChoice;
    }

    void progressStart(const ProgressSetup &setup) override
    {
        QMutexLocker lock(&mutex);
        progress = setup;
        progressValues.clear();
        progressOpen = true;
        ++progressStarts;
    }
    void progressSetRange(int minimum, int maximum) override
    {
        QMutexLocker lock(&mutex);
        progress.minimum = minimum;
        progress.maximum = maximum;
    }
    void progressSetValue(int value) override
    {
        QMutexLocker lock(&mutex);
        progressValues.append(value);
    }
    // Cancelled once `cancelAfterValues` values have been set (never while -1).
    bool progressCancelled() override
    {
        QMutexLocker lock(&mutex);
        return cancelAfterValues >= 0 && progressValues.size() >= cancelAfterValues;
    }
    void progressEnd() override
    {
        QMutexLocker lock(&mutex);
        progressOpen = false;
    }

    QList<Message> messages() const
    {
        QMutexLocker lock(&mutex);
        return list;
    }
    QList<Message> messagesOfKind(const QString &kind) const
    {
        QList<Message> found;
        for (const Message &m : messages())
            if (m.kind == kind)
                found.append(m);
        return found;
    }
    void clear()
    {
        QMutexLocker lock(&mutex);
        list.clear();
        progressValues.clear();
        progress = ProgressSetup();
        progressStarts = 0;
        progressOpen = false;
    }
    // clear() and the scripted answers back to their defaults.
    void reset()
    {
        clear();
        nextAnswer = Answer::Yes;
        nextChoice = -2;
        cancelAfterValues = -1;
    }

    Answer nextAnswer = Answer::Yes;
    int nextChoice = -2;
    int cancelAfterValues = -1;
    ProgressSetup progress;
    QList<int> progressValues;
    int progressStarts = 0;
    bool progressOpen = false;

private:
    void add(const char *kind, const QString &title, const QString &text,
             const QStringList &buttons = QStringList())
    {
        QMutexLocker lock(&mutex);
        list.append({QString::fromLatin1(kind), title, text, QThread::currentThread(), buttons});
    }
    mutable QMutex mutex;
    QList<Message> list;
};

// Collects the link error codes emitted while it lives.
class ErrorRecorder
{
public:
    ErrorRecorder()
    {
        m_connection = QObject::connect(LinkEvents::instance(), &LinkEvents::showErrorInfo,
                                        [this](int code) {
                                            QMutexLocker lock(&m_mutex);
                                            m_codes.append(code);
                                        });
    }
    ~ErrorRecorder() { QObject::disconnect(m_connection); }
    // What was reported so far, also by threads that have reported without
    // this thread's event loop having run since.
    QList<int> codes() const
    {
        LinkEvents::deliverPending();
        QMutexLocker lock(&m_mutex);
        return m_codes;
    }
    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_codes.clear();
    }

private:
    QMetaObject::Connection m_connection;
    mutable QMutex m_mutex;
    QList<int> m_codes;
};

// A data folder of the test's own with the files it writes.
class DataDir
{
public:
    DataDir() { setDataDirectory(m_dir.path()); }
    ~DataDir() { setDataDirectory(QString()); }
    QString path() const { return m_dir.path(); }
    void write(const QString &relative, const QByteArray &content)
    {
        const QString file = m_dir.filePath(relative);
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile f(file);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(content);
    }
    void copyShipped(const QString &relative)
    {
        QFile in(QStringLiteral(VANTREO_SOURCE_DATA "/") + relative);
        if (in.open(QIODevice::ReadOnly))
            write(relative, in.readAll());
    }

private:
    QTemporaryDir m_dir;
};

// Hex text ("01 03 01 2C") to bytes.
inline QByteArray bytesOf(const char *hex)
{
    return QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
}

// Appends the Modbus CRC, low byte first.
inline QByteArray withCrc(const QByteArray &body)
{
    const quint16 crc = modbusCrc(body);
    return body + QByteArray(1, char(crc & 0xFF)) + QByteArray(1, char(crc >> 8));
}

// A Modbus ASCII frame: ':' + text + LRC + CR LF, the LRC worked out here
// from the bytes the hex text encodes, not with the program's own helper.
inline QByteArray asciiFrame(const QByteArray &text)
{
    int sum = 0;
    for (char b : QByteArray::fromHex(text))
        sum += quint8(b);
    const QByteArray lrc =
        QByteArray::number((0x100 - (sum & 0xFF)) & 0xFF, 16).toUpper().rightJustified(2, '0');
    return ':' + text + lrc + "\r\n";
}

// Puts a fresh fake port on the link and restores the start-up link state.
inline std::shared_ptr<FakeTransport> installFakePort()
{
    auto fake = std::make_shared<FakeTransport>();
    fake->open();
    linkState().reset();
    linkState().setSerialPort(fake);
    return fake;
}
