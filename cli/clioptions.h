#pragma once

#include "clitool.h"
#include "outputformat.h"

#include "link/comsettings.h"

#include <QString>
#include <QStringList>

// The link options every command shares, as parsed from the command line.
struct CliTool::Options {
    ComSettings settings;
    QString port;
    bool portGiven = false;
    bool dataBitsGiven = false;
    int station = 1;
    int lineEnd = -1;
    QString model;
    bool trace = false;
    OutputFormat::Kind format = OutputFormat::Tsv;
};

// A whole number in [min, max] (decimal, or hex with 0x); false otherwise.
inline bool takeInt(const QString &text, int min, int max, int *value)
{
    bool ok = false;
    const int v = text.toInt(&ok, 0);
    if (!ok || v < min || v > max)
        return false;
    *value = v;
    return true;
}

inline bool pickIndex(const QString &text, const QStringList &choices, int *index)
{
    const int i = choices.indexOf(text.toLower());
    if (i < 0)
        return false;
    *index = i;
    return true;
}
