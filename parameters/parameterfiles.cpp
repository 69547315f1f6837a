#include "parameterfiles.h"

#include "atomicfile.h"
#include "parameterfilereader.h"
#include "parameterfilewriter.h"
#include "parametermerge.h"
#include "parametertable.h"

#include "base/messagetable.h"
#include "base/sharedstate.h"
#include "base/userinteraction.h"

#include <QCoreApplication>
#include <QDir>

namespace {
constexpr int kMessageWarning = 20;
const QString kIdentityPrefix = QStringLiteral("InvParameter-");


void warn(const QString &text) { userInteraction()->warning(messageText(kMessageWarning), text); }

QString shownName(const QString &fileName) { return QDir::toNativeSeparators(fileName); }

// The model as the identity carries it: ZM-K dual ratings lose their "/",
// which an XML element name cannot hold.
QString identityModel()
{
    QString model = modelString();
    if (seriesLetter() == 'G' && model.count(QLatin1Char('/')) == 1)
        model.remove(QLatin1Char('/'));
    return model;
}

bool sameEntries(const QList<ParameterFileEntry> &a, const QList<ParameterFileEntry> &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i)
        if (a.at(i).number != b.at(i).number || a.at(i).value != b.at(i).value)
            return false;
    return true;
}
}  // namespace

ParameterFiles::Format ParameterFiles::formatOf(const QString &fileName)
{
    const QString extension = fileName.mid(fileName.lastIndexOf(QLatin1Char('.')) + 1);
    if (!fileName.contains(QLatin1Char('.')))
        return Format::None;
    if (extension == QLatin1String("xbel"))
        return Format::Xml;
    if (extension == QLatin1String("xls"))
        return Format::Workbook;
    return Format::None;
}

QString ParameterFiles::endingsText()
{
    return tr("a parameter file's name ends in .xls or .xbel");
}

QString ParameterFiles::identityText() { return kIdentityPrefix + identityModel(); }

bool ParameterFiles::identityMatches(const QString &stored)
{
    // With no drive identified no file can be the right one.
    if (modelString().isEmpty())
        return false;
    QString rest = stored;
    rest.remove(kIdentityPrefix);
    QString model = modelString();
    if (seriesLetter() == 'G')
        model.remove(QLatin1Char('/'));
    return rest == model;
}

bool ParameterFiles::save(const QString &fileName)
{
    if (modelString().isEmpty()) {
        warn(tr("Nothing can be saved."));
        return false;
    }
    const Format format = formatOf(fileName);
    if (format == Format::None) {
        warnUnwritable(fileName, endingsText());
        return false;
    }
    if (!confirmSaveAfterCutShortRead())
        return false;
    return format == Format::Xml ? saveXml(fileName) : saveWorkbook(fileName);
}

// A file is kept to be written into a drive later: rows the read never
// reached must not pass for the drive's values unnoticed.
bool ParameterFiles::confirmSaveAfterCutShortRead() const
{
    if (!m_readCutShort)
        return true;
    return userInteraction()->question(tr("Message"),
                                       tr("The last batch read was cut short: rows marked -- "
                                          "were not read from the drive. Save anyway?"),
                                       true, false) == UserInteraction::Answer::Yes;
}

void ParameterFiles::warnUnwritable(const QString &fileName, const QString &error)
{
    warn(tr("Cannot write file %1:\n%2.").arg(shownName(fileName), error));
}

// The document is read back before it replaces anything: a model name that
// cannot name an element, or a value XML cannot carry, must not leave a file
// that loses values when it is opened.
bool ParameterFiles::saveXml(const QString &fileName)
{
    const QString identity = identityText();
    const QList<int> rows = ParameterFileWriter::rowsToSave(m_table, seriesLetter() == 'A');
    const QByteArray bytes = ParameterFileWriter::xml(m_table, identity, rows);
    const ParameterFileReader::Result check = ParameterFileReader::parseXml(
        bytes, [&identity](const QString &stored) { return stored == identity; });
    if (check.status != ParameterFileReader::Status::Ok ||
        !sameEntries(check.entries, ParameterFileWriter::entriesOf(m_table, rows))) {
        warnUnwritable(fileName, tr("the parameters of %1 cannot be stored in this format")
                                     .arg(modelString()));
        return false;
    }
    QString error;
    if (!writeFileAtomically(fileName, bytes, &error)) {
        warnUnwritable(fileName, error);
        return false;
    }
    return true;
}

bool ParameterFiles::saveWorkbook(const QString &fileName)
{
    QString error;
    if (!ParameterFileWriter::saveWorkbook(m_table, identityText(), seriesLetter() == 'A',
                                           fileName, &error)) {
        warnUnwritable(fileName, error);
        return false;
    }
    return true;
}

bool ParameterFiles::open(const QString &fileName)
{
    const Format format = formatOf(fileName);
    if (format == Format::None) {
        warn(tr("Cannot read file %1:\n%2.").arg(shownName(fileName), endingsText()));
        return false;
    }
    const auto identity = [](const QString &stored) { return identityMatches(stored); };
    const bool xml = format == Format::Xml;
    const ParameterFileReader::Result file =
        xml ? ParameterFileReader::readXml(fileName, identity)
            : ParameterFileReader::readWorkbook(fileName, seriesLetter() == 'A', identity);
    if (file.status == ParameterFileReader::Status::Unreadable) {
        warn(tr("Cannot read file %1:\n%2.").arg(shownName(fileName), file.error));
        return false;
    }
    if (file.status == ParameterFileReader::Status::Mismatch) {
        warn(xml ? tr("The file is not a XBEL file or the type doesn't match .")
                 : tr("The file is not a XLS file or the type doesn't match ."));
        return false;
    }
    ParameterMerge merge(m_table,
                         xml ? ParameterMerge::xmlRules() : ParameterMerge::workbookRules());
    merge.apply(file.entries, seriesLetter() == 'A');
    m_table.setParameterCount(m_table.rowCount());
    m_table.refreshUnitIndex();
    return true;
}
