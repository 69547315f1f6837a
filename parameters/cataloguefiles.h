#pragma once

#include <QList>
#include <QPair>
#include <QString>

// The small text files of the folder InvParameter/ that go with the
// catalogues: Version.txt (catalogue version per series), INVParameter_num.txt
// (highest parameter number per series) and ReadPar.txt (parameters a batch
// write leaves alone).
class CatalogueFiles
{
public:
    // The file under InvParameter/; a file of that name directly in the data
    // folder is taken when InvParameter/ has none.
    static QString path(const QString &name);
    // InvParameter/ + series letter + the catalogue suffix of a language
    // ("_InvParameter_Eng.xml", "_InvParameter.xml", "_InvParameter_Big.xml").
    static QString cataloguePath(char series, int language);
    // hideparameter/ + series code + "HideParameter.xml"; empty for series
    // that have none.
    static QString hiddenParameterPath(char series);

    // Lines of Version.txt as letter and text ("F-1.00"); false when the
    // file cannot be opened.
    static bool readVersionLines(QList<QPair<QString, QString>> *lines);

    // The rows a batch read takes for `series`: the last INVParameter_num.txt
    // line of the series, plus one. False (with the file name and the
    // system's error text) when the file cannot be opened; `rows` is left
    // alone when no line names the series.
    static bool readRowLimit(char series, int *rows, QString *fileName, QString *error);

    // The numbers ReadPar.txt lists for `series`. False (with the file name
    // and the error text) when the file cannot be opened.
    static bool readSkipList(char series, QList<int> *numbers, QString *fileName,
                             QString *error);
};
