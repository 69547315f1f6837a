#pragma once

// What the status panel asks of the alarm history while it watches the
// drive's alarm bit: read and show the current alarm while the bit is set,
// darken the alarm lamps while it is clear. Both run on the GUI thread.
class AlarmLamps
{
public:
    virtual ~AlarmLamps() = default;
    virtual void showCurrentAlarm() = 0;
    virtual void clearAlarmLamps() = 0;
};
