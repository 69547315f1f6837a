#pragma once

#include <QString>

// The eleven drive series: their letter, model code and column in typeInfo.txt.
struct SeriesInfo {
    char letter;
    const char *code;
    int featureColumn;
};

// All series in typeInfo.txt column order.
const SeriesInfo *seriesTable(int *count);
// The column of a letter in typeInfo.txt (1..11), or 0 for an unknown letter.
int seriesFeatureColumn(char letter);
// The model code ("ZN", "ZM-K", ...) of a letter, or an empty text.
QString seriesCode(char letter);

// The series code a model string carries: the text after its first character up
// to the separator in front of the voltage code ("N" in ZN-020-5.5K).
QString modelSeriesCode(const QString &model);

// The series letter a station's model string gives, as the navigation panel
// derives it: ZM-K ("-K") and ZM-KX ("-KX") suffixes first, then the series code.
// Returns `current` when the model names no known series.
char seriesLetterForModel(const QString &model, char current);
