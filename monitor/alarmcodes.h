#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Alarm numbers and the abbreviations the program shows for them, one alarm
// a line in InvType/alarmCode.txt ("16-OC1-text": number, abbreviation,
// anything after is ignored). A value: copies go to the link worker.
class AlarmCodeTable
{
public:
    // Reads the file; false (and `error` set, the table unchanged) when it
    // cannot be opened.
    bool load(const QString &fileName, QString *error);
    void setText(const QString &text);
    bool isEmpty() const { return m_lines.isEmpty(); }
    // The abbreviation of the last line whose number is `number`, "" when
    // none. On ZD, ZP and ZP2 drives alarm 112 is always "BI".
    QString lookup(int number, char series) const;

private:
    QList<QStringList> m_lines;
};

// The alarm lamps of a drive, from InvType/alarm.txt: selector lines
// "letter-lowest-highest" each followed by a line of "-"-separated entries;
// every selector of the series whose range holds the version (lowest <= v <
// highest) adds its entries. Lamp i shows entry 2i+1.
namespace AlarmLampList {
QStringList parse(const QString &text, char series, double version);
// A missing file gives no entries.
QStringList read(const QString &fileName, char series, double version);
// The abbreviation of each lamp shown (entries 1, 3, 5, ...).
QStringList lampNames(const QStringList &entries);
}  // namespace AlarmLampList
