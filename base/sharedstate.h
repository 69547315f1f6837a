#pragma once

#include <QString>
#include <QStringList>

// Process-wide state that is not link state: language, the attached series and
// its feature switches, the model of the current station and where the run-time
// files live. Safe to read from any thread.

// 0 English, 1 simplified Chinese, 2 traditional Chinese.
quint8 languageCode();
void setLanguageCode(quint8 code);

// Series letter of the attached drive; '0' while none is identified. Inside a
// DriveTargetScope (drivetarget.h) this and the model are the target's.
char seriesLetter();
void setSeriesLetter(char letter);

QString modelString();
void setModelString(const QString &model);

// The folder that holds LT.txt, InvType/, InvParameter/ and the other run-time
// files; the executable's folder unless set otherwise.
QString dataDirectory();
void setDataDirectory(const QString &dir);
QString dataPath(const QString &relative);

// Where a file the programs write is kept (iniProtocol.txt, station.txt,
// LT.txt): in the data folder, unless that is the shared data folder of an
// installed copy (share/vantreo, owned by root), where each user gets a folder
// of their own, $XDG_CONFIG_HOME/vantreo (~/.config/vantreo), made on demand.
QString settingsPath(const QString &name);

// Reads the first line of LT.txt; true when it held 0, 1 or 2.
bool loadLanguageCode();

// Reloads InvType/typeInfo.txt; false (and every feature off) when it cannot be read.
bool loadSeriesFeatures();
// Parses the feature table from text, one row per line (used by loadSeriesFeatures).
void setSeriesFeatureText(const QString &text);
// Whether the feature `key` is on for the current series letter.
bool isSeriesFeature(const QString &key);
// The same question for any letter, independent of the current series.
bool isSeriesFeatureFor(char letter, const QString &key);

// Resets everything to the start-up values (used at start-up and by tests).
void resetSharedState();
