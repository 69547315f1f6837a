#pragma once

#include <QCoreApplication>

#include <QList>
#include <QString>

class ParameterTable;
class ParameterTransfer;
class ProgressScope;
class UnitScale;

// Reads every parameter of the table into "Current value" (a row that could
// not be read, or that a read cut short never reached, shows "--"), or writes the
// "Setting value" (or "Current value") column to the drive, inside a progress
// dialog. Runs in the thread that owns the table; the link's quietReads flag
// marks the whole run.
class BatchTransfer
{
    Q_DECLARE_TR_FUNCTIONS(CParameter)

public:
    struct Result {
        enum class Status { Completed, NotStarted, Cancelled, LinkLost };
        Status status = Status::NotStarted;
        QList<int> failed;  // parameters that could not be read or written
        QList<int> readBack;  // written parameters whose value was read back

        // Stopped before its end: a read leaves the rows after the stop
        // marked "--", unread.
        bool cutShort() const { return status == Status::Cancelled || status == Status::LinkLost; }
    };

    BatchTransfer(ParameterTable &table, UnitScale &scale, ParameterTransfer &transfer)
        : m_table(table), m_scale(scale), m_transfer(transfer)
    {
    }

    Result readAll();
    Result writeAll(bool settingColumn);

    // Parameters a batch write passes over because of the series (P.90 of
    // series 'A', 'L' and 'X', and the feature-switched ones).
    static bool skippedBySeries(int number);

private:
    struct ReadPass;
    enum class Step { Next, Again, Stop, Cancelled };

    int rowsToRead() const;
    Step readRow(ReadPass &pass);
    Step readGapRow(ReadPass &pass, int number);
    void finishRead(ReadPass &pass, Step last);
    void markUnread(const ReadPass &pass);

    void readBack(int row, int number, Result &result);
    bool skippedByList(int number) const;
    Step writeRow(int row, bool settingColumn, Result &result, ProgressScope &progress);
    void endWrite();

    ParameterTable &m_table;
    UnitScale &m_scale;
    ParameterTransfer &m_transfer;
};
