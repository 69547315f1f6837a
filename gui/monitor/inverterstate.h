#pragma once

#include "lamppanel.h"

#include <atomic>

class AlarmLamps;
class Lamp;
class QLabel;

// "System State": eight lamps for the low eight bits of the drive's status
// word. The monitor thread hands the word in; a 30 ms timer repaints. While
// the alarm bit is set the alarm history is asked for the current alarm on
// every tick; while it is clear the history's lamps are darkened.
class InverterState : public LampPanel
{
    Q_OBJECT
public:
    static constexpr int kLamps = 8;

    // The attached drive's panel.
    explicit InverterState(QWidget *parent = nullptr);
    explicit InverterState(const DriveProfile &drive, QWidget *parent = nullptr);

    // Any thread: the status word, cut to a whole number.
    void setStatusWord(double word);
    int statusWord() const { return m_word.load(); }

    // The alarm history the alarm bit drives (none: nobody is told).
    void setAlarmLamps(AlarmLamps *alarms) { m_alarms = alarms; }

    Lamp *lamp(int bit) const { return m_lamps[bit]; }
    QLabel *caption(int bit) const { return m_captions[bit]; }

public slots:
    void updateStatus() override;

private:
    void retranslate() override;
    void clearWords() override { m_word = 0; }

    std::atomic<int> m_word{0};
    AlarmLamps *m_alarms = nullptr;
};
