#pragma once

#include <QString>

// What the alarm reads need to know of the attached drive.
struct AlarmDrive {
    char series = '0';
    double version = 0;  // the catalogue version as a number
    QString model;       // the station's model text
    bool readP187 = false;      // P.187 tells the resolution of the frequency item
    bool recordsData = false;   // the drive stores operating data with an alarm
    bool historyByRegister = false;  // history alarm n is selected in register 288

    // The drive now attached (series, version, model, features).
    static AlarmDrive current();
    bool isSeriesA() const { return series == 'A'; }
    // Series whose newest alarm also has the continuing-operation line
    // when the terminals are watched (ZM, ZM-KX, ZM-K from 0.2, ZP2 above
    // 0.6, ZR2 from 0.4).
    bool continuingLineWithTerminals() const;
    // ZM-K from 0.2, ZP2 from 0.6, ZR2 from 0.3, ZM-KX and series A.
    bool offersRamMonitor() const;
    // ZP and ZD do not keep the run time where it can be read.
    bool offersRunTime() const { return series != 'E' && series != 'B'; }
};
