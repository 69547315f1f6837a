#pragma once

#include <QByteArray>
#include <QString>

// How a protocol writes its frames: binary (Modbus RTU) or characters
// (Modbus ASCII, the native protocol). Binary frames also get the pause
// before each attempt.
enum class FrameForm { Bytes, Text };

// Sees every frame the drivers put on the line and every answer, for a frame
// log (the command-line tool's --trace; a window of the program may show the
// same). Registered on the link state. ReadWrite::exchange calls it for each
// attempt on the thread that exchanges (the GUI, the link worker, a polling
// thread), while it holds the port lock: an observer must be thread-safe,
// must return quickly and must never use the link (any driver call would
// wait for the lock it is called under).
class FrameObserver
{
public:
    virtual ~FrameObserver() = default;
    virtual void frameSent(const QByteArray &frame, int station, FrameForm form) = 0;
    // `answer` is empty when nothing came in the read window.
    virtual void frameReceived(const QByteArray &answer, int station, FrameForm form) = 0;
};

// The bytes as a log shows them: "01 03 01 2C" for the binary form; for text
// the characters, with CR, LF, TAB and backslash escaped as in C and any other
// control or non-ASCII byte as \xHH.
QString frameText(const QByteArray &bytes, FrameForm form);

// One line of a frame log, without the line end: milliseconds, '>' sent or
// '<' received, the station and the frame ("(no answer)" for an empty one).
QString frameLogLine(qint64 ms, bool sent, int station, const QByteArray &bytes, FrameForm form);
