#pragma once

#include <QCoreApplication>

#include <QString>

class ParameterTable;

// Parameter files: the parameter table saved as .xbel (XML) or .xls
// (workbook) and loaded back into the "Setting value" column, so that a
// drive's settings can be kept and written into the same kind of drive later.
// Both formats carry the identity of the attached model and are refused for
// any other. Problems are shown through the user interaction, titled
// "Warning". The file dialogs belong to the parameter form; here the file
// name is given.
class ParameterFiles
{
    Q_DECLARE_TR_FUNCTIONS(CParameter)

public:
    enum class Format { None, Xml, Workbook };

    explicit ParameterFiles(ParameterTable &table) : m_table(table) {}

    // The text after the last "." decides: exactly "xbel" or "xls" (so
    // ".XLS" is neither, and such a file is neither written nor read).
    static Format formatOf(const QString &fileName);
    // Says which endings a parameter file may have.
    static QString endingsText();

    // "InvParameter-" and the model; a dual-rated ZM-K model ("185K/200K")
    // is written without its "/".
    static QString identityText();
    // Whether a stored identity names the attached model: every
    // "InvParameter-" is removed and the rest compared with the model
    // (without "/" for ZM-K), case-sensitively. Never while no model is
    // identified.
    static bool identityMatches(const QString &stored);

    // Writes the table to `fileName`, replacing an existing file only when
    // the new one is complete. False when nothing was written: no model
    // identified ("Nothing can be saved."), an extension of neither format
    // (no message), a "No" to the question that follows a batch read cut
    // short, or a write failure ("Cannot write file %1:\n%2.").
    bool save(const QString &fileName);

    // Whether the last batch read stopped before its end (lost link or
    // cancelled), so that rows marked "--" were not read from the drive.
    // A complete batch read and a catalogue load clear it.
    bool readCutShort() const { return m_readCutShort; }
    void setReadCutShort(bool cutShort) { m_readCutShort = cutShort; }

    // Loads the file's values into "Setting value" ("Current value" keeps
    // what was read from the drive). The whole file is read and checked
    // first, and the table is left unchanged when it is refused: a file that
    // cannot be opened gets "Cannot read file %1:\n%2.", one that names
    // another model, is damaged or malformed the mismatch warning of its format.
    bool open(const QString &fileName);

private:
    bool saveXml(const QString &fileName);
    bool saveWorkbook(const QString &fileName);
    void warnUnwritable(const QString &fileName, const QString &error);
    bool confirmSaveAfterCutShortRead() const;

    ParameterTable &m_table;
    bool m_readCutShort = false;
};
