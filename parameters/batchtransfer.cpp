#include "batchtransfer.h"

#include "cataloguefiles.h"
#include "parametertable.h"
#include "parametertransfer.h"
#include "rangetext.h"
#include "unitscale.h"

#include "base/messagetable.h"
#include "base/sharedstate.h"
#include "base/userinteraction.h"
#include "link/linkstate.h"

#include <QCoreApplication>

namespace {

void warnUnreadable(const QString &fileName, const QString &error)
{
    userInteraction()->warning(messageText(20),
                               BatchTransfer::tr("Cannot read file %1:\n%2.").arg(fileName, error));
}

bool gapDiscovery() { return isSeriesFeature(QStringLiteral("Parameter_readP21")); }
}  // namespace

struct BatchTransfer::ReadPass {
    ProgressScope &progress;
    Result &result;
    int end;
    int row = 0;
    int gap = -1;
    bool gaps = false;
    bool linkLost = false;
};

int BatchTransfer::rowsToRead() const
{
    int rows = m_table.parameterCount();
    QString fileName, error;
    if (!CatalogueFiles::readRowLimit(seriesLetter(), &rows, &fileName, &error))
        warnUnreadable(fileName, error);
    return rows;
}

BatchTransfer::Result BatchTransfer::readAll()
{
    Result result;
    LinkState &link = linkState();
    link.quietReads = true;
    m_scale.setScaleAsMultiplier(false);
    const bool gaps = gapDiscovery();
    if (gaps && !m_scale.readP21Scale()) {
        link.quietReads = false;
        return result;
    }
    const int end = rowsToRead();
    ProgressScope progress({QString(), tr("Cancel"), tr("Reading parameters..."), 0, end});
    ReadPass pass{progress, result, end, 0, -1, gaps, false};
    Step step = Step::Next;
    while (pass.row < pass.end && m_table.hasNumberCell(pass.row)) {
        step = readRow(pass);
        if (step == Step::Stop || step == Step::Cancelled)
            break;
    }
    finishRead(pass, step);
    return result;
}

BatchTransfer::Step BatchTransfer::readRow(ReadPass &pass)
{
    const int row = pass.row;
    if (ParameterTable::isFunctionRowText(m_table.text(row, ParameterTable::NumberColumn))) {
        m_table.setText(row, ParameterTable::CurrentColumn, QStringLiteral("0"));
        ++pass.row;
        pass.progress.step();
        return Step::Next;
    }
    bool numeric = false;
    const int q = m_table.numberText(row).toInt(&numeric);
    // Function and identity registers (P.994 and above) are not read. They
    // are passed over rather than ending the read: in P order a four-digit
    // number sorts among the others (P.1401 between P.140 and P.141).
    if (!numeric || q > ParameterTable::kHighestWritable) {
        ++pass.row;
        return Step::Next;
    }
    if (pass.gaps && ++pass.gap < q)
        return readGapRow(pass, pass.gap);
    QString text = m_transfer.readValueText(q, UnitScale::Unknown::NoScale);
    const bool failed = text == QLatin1String("-1");
    if (failed) {
        text = QStringLiteral("--");
        pass.result.failed.append(q);
    } else if (q == 188) {
        text = ParameterTransfer::padVersion(text);
    }
    m_table.setText(row, ParameterTable::CurrentColumn, text);
    ++pass.row;
    pass.progress.step();
    // A dead line would cost three attempts per row and report each one.
    if (failed && linkState().linkLost) {
        pass.linkLost = true;
        return Step::Stop;
    }
    return pass.progress.cancelled() ? Step::Cancelled : Step::Next;
}

// A number the table lacks: a row is added when the drive knows it.
BatchTransfer::Step BatchTransfer::readGapRow(ReadPass &pass, int number)
{
    QString text = m_transfer.readValueText(number, UnitScale::Unknown::EmptyUnit);
    if (text == QLatin1String("-1")) {
        --pass.end;
        pass.progress.step();
        pass.linkLost = linkState().linkLost;
        return pass.linkLost ? Step::Stop : Step::Again;
    }
    const QString dash = QStringLiteral("--");
    ParameterRow row{m_table.text(pass.row, ParameterTable::GroupColumn), QString::number(number),
                     dash, dash, dash, dash, false, false};
    m_table.insertParameterRow(row, pass.row);
    if (number == 188)
        text = ParameterTransfer::padVersion(text);
    m_table.setText(pass.row, ParameterTable::CurrentColumn, text);
    ++pass.row;
    pass.progress.step();
    return pass.progress.cancelled() ? Step::Cancelled : Step::Next;
}

void BatchTransfer::finishRead(ReadPass &pass, Step last)
{
    if (last != Step::Cancelled) {
        pass.progress.setRange(0, pass.end);
        pass.progress.setValue(pass.end);
    }
    pass.result.status = last == Step::Cancelled ? Result::Status::Cancelled
                         : pass.linkLost               ? Result::Status::LinkLost
                                                       : Result::Status::Completed;
    if (pass.result.cutShort())
        markUnread(pass);
    m_table.setParameterCount(m_table.rowCount());
    m_table.refreshUnitIndex();
    linkState().quietReads = false;
    m_scale.resetP21Scale();
}

// The rows a stopped read did not reach would otherwise keep the values of an
// earlier read, which the user and a saved file would take for the drive's.
// Rows the read never asks the drive for (function rows, P.994 and above) keep
// what they show.
void BatchTransfer::markUnread(const ReadPass &pass)
{
    for (int row = pass.row; row < pass.end && m_table.hasNumberCell(row); ++row) {
        if (ParameterTable::isFunctionRowText(m_table.text(row, ParameterTable::NumberColumn)))
            continue;
        bool numeric = false;
        const int number = m_table.numberText(row).toInt(&numeric);
        if (numeric && number <= ParameterTable::kHighestWritable)
            m_table.setText(row, ParameterTable::CurrentColumn, QStringLiteral("--"));
    }
}

BatchTransfer::Result BatchTransfer::writeAll(bool settingColumn)
{
    Result result;
    LinkState &link = linkState();
    link.quietReads = true;
    m_scale.setScaleAsMultiplier(true);
    if (gapDiscovery() && !m_scale.readP21Scale()) {
        endWrite();
        return result;
    }
    const int count = m_table.parameterCount();
    ProgressScope progress({QString(), tr("Cancel"), tr("Writing parameters..."), 0, count});
    result.status = Result::Status::Completed;
    for (int row = 0; row < count; ++row) {
        if (!m_table.hasNumberCell(row))
            break;
        const Step step = writeRow(row, settingColumn, result, progress);
        if (step == Step::Stop || step == Step::Cancelled)
            break;
    }
    if (result.status == Result::Status::Completed)
        progress.setValue(count);
    endWrite();
    return result;
}

BatchTransfer::Step BatchTransfer::writeRow(int row, bool settingColumn, Result &result,
                                            ProgressScope &progress)
{
    const QString value = m_table.text(
        row, settingColumn ? ParameterTable::SettingColumn : ParameterTable::CurrentColumn);
    if (ParameterTable::isFunctionRowText(m_table.text(row, ParameterTable::NumberColumn))) {
        m_transfer.runFunctionValue(value);
        return Step::Next;
    }
    bool numeric = false;
    const int number = m_table.numberText(row).toInt(&numeric);
    if (!numeric || skippedByList(number) || skippedBySeries(number))
        return Step::Next;
    // A blank (a function register's cell after a file was opened) is no value.
    // The driver's reason is shown in the question itself: one box per
    // failed row, and none left behind once the batch has gone on.
    // A value that is no number is never sent. One outside the catalogue's
    // range is: a set read from a drive goes back whole, and the drive, not
    // the catalogue's text, has the last word on it.
    LinkErrorCapture reasons;
    const QString range = m_table.text(row, ParameterTable::RangeColumn);
    const bool valueIsNumber = RangeText::check(range, value) != RangeText::Verdict::NotANumber;
    const QString refusal =
        value.trimmed().isEmpty() || valueIsNumber ? QString() : m_table.settingRefusal(row, value);
    if (!value.trimmed().isEmpty() &&
        (!refusal.isEmpty() ||
         !m_transfer.writeParameter(number, value, m_table.text(row, ParameterTable::UnitColumn)))) {
        result.failed.append(number);
        QString text = QStringLiteral("P.") + QString::number(number) + tr(" Write error!");
        if (!refusal.isEmpty())
            text += QLatin1Char('\n') + refusal;
        for (int code : reasons.take())
            if (!messageText(code).isEmpty() && !text.contains(messageText(code)))
                text += QLatin1Char('\n') + messageText(code);
        const int choice = userInteraction()->choose(UserInteraction::Icon::Warning,
                                                     messageText(20), text,
                                                     {tr("Continue"), tr("Cancel")}, 0);
        if (choice != 0) {
            result.status = Result::Status::Cancelled;
            return Step::Stop;
        }
        if (linkState().linkLost) {
            result.status = Result::Status::LinkLost;
            return Step::Stop;
        }
    } else if (!value.trimmed().isEmpty()) {
        readBack(row, number, result);
    }
    progress.step();
    if (progress.cancelled()) {
        result.status = Result::Status::Cancelled;
        return Step::Cancelled;
    }
    return Step::Next;
}

// What the drive holds now goes to "Current value": the user sees the write
// took, in the drive's own rounding, and the setting's mark clears.
void BatchTransfer::readBack(int row, int number, Result &result)
{
    m_scale.setScaleAsMultiplier(false);
    const QString text = m_transfer.readValueText(number, UnitScale::Unknown::NoScale);
    m_scale.setScaleAsMultiplier(true);
    if (text == QLatin1String("-1"))
        return;
    m_table.setText(row, ParameterTable::CurrentColumn,
                    number == 188 ? ParameterTransfer::padVersion(text) : text);
    result.readBack.append(number);
}

// ReadPar.txt is read for every row, so that an edit takes effect at once;
// when it cannot be read, each row says so and nothing is skipped by it.
bool BatchTransfer::skippedByList(int number) const
{
    QList<int> numbers;
    QString fileName, error;
    if (!CatalogueFiles::readSkipList(seriesLetter(), &numbers, &fileName, &error)) {
        warnUnreadable(fileName, error);
        return false;
    }
    return numbers.contains(number);
}

bool BatchTransfer::skippedBySeries(int number)
{
    const char series = seriesLetter();
    auto feature = [](const char *key) { return isSeriesFeature(QLatin1String(key)); };
    switch (number) {
    case 90: return series == 'A' || series == 'L' || series == 'X';
    case 125: return feature("Parameter_writeP125");
    case 100: return feature("Parameter_writeP100");
    case 188: return feature("Parameter_writeP188");
    case 292:
    case 293: return feature("Parameter_writeP292");
    case 164:
    case 165: return feature("Parameter_writeP164");
    default: return false;
    }
}

void BatchTransfer::endWrite()
{
    linkState().quietReads = false;
    m_scale.resetP21Scale();
    m_scale.setScaleAsMultiplier(false);
}
