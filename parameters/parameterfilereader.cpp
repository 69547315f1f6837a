#include "parameterfilereader.h"

#include "workbook.h"

#include "link/readwrite.h"

#include <QFile>
#include <QSet>
#include <QXmlStreamReader>

namespace {
const QString kFunctionNumber = QStringLiteral("99X");
const QLatin1String kPr("Pr");
const QLatin1String kDefaultValue("DefaultValue");
const QLatin1String kCurrentValue("CurrentValue");
const QLatin1String kGroupPrefix("Group:");

using Result = ParameterFileReader::Result;
using Status = ParameterFileReader::Status;

Result refused(const QString &why)
{
    Result r;
    r.status = Status::Mismatch;
    r.error = why;
    return r;
}

// Collects entries and refuses what a saved file never holds: a parameter
// twice, too many parameters, values longer than any drive value.
class EntryList
{
public:
    bool add(const ParameterFileEntry &entry, QString *why)
    {
        if (m_entries.size() >= ParameterFileReader::kMaxEntries) {
            *why = QStringLiteral("more than %1 parameters").arg(ParameterFileReader::kMaxEntries);
            return false;
        }
        if (entry.value.size() > ParameterFileReader::kMaxValueLength) {
            *why = QStringLiteral("the value of P.%1 is too long").arg(entry.number);
            return false;
        }
        if (m_seen.contains(entry.number)) {
            *why = QStringLiteral("P.%1 appears twice").arg(entry.number);
            return false;
        }
        m_seen.insert(entry.number);
        m_entries.append(entry);
        return true;
    }
    QList<ParameterFileEntry> take() { return m_entries; }

private:
    QList<ParameterFileEntry> m_entries;
    QSet<QString> m_seen;
};

// The XML parameter file: a root named by the model, one Pr<n> element per
// parameter holding DefaultValue<n> (optional, not read) and CurrentValue<n>.
// Anything else (other elements, text between elements, deeper nesting, a
// document type with an internal subset, entity references) is refused; the
// reader does not fetch external entities.
class XmlParser
{
public:
    XmlParser(const QByteArray &bytes, const ParameterFileReader::IdentityCheck &identity)
        : m_xml(bytes), m_identity(identity)
    {
        m_xml.setNamespaceProcessing(false);
    }

    Result run()
    {
        if (!toRoot() || !readBody() || !readTrailer())
            return refused(m_why);
        if (m_xml.hasError())
            return refused(m_xml.errorString());
        Result r;
        r.status = Status::Ok;
        r.entries = m_entries.take();
        return r;
    }

private:
    bool fail(const QString &why)
    {
        if (m_why.isEmpty())
            m_why = m_xml.hasError() ? m_xml.errorString() : why;
        return false;
    }

    // Tokens allowed between elements: comments, processing instructions
    // and white space.
    bool isFiller(QXmlStreamReader::TokenType token) const
    {
        return token == QXmlStreamReader::Comment ||
               token == QXmlStreamReader::ProcessingInstruction ||
               (token == QXmlStreamReader::Characters && m_xml.isWhitespace());
    }

    bool toRoot()
    {
        while (!m_xml.atEnd()) {
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            if (token == QXmlStreamReader::StartElement)
                return m_identity(m_xml.qualifiedName().toString()) ||
                       fail(QStringLiteral("the file belongs to another model"));
            if (token == QXmlStreamReader::DTD) {
                // Our files carry "<!DOCTYPE InvParameter>" only; an internal
                // subset is where entity bombs live.
                if (m_xml.text().contains(QLatin1Char('[')))
                    return fail(QStringLiteral("document type with declarations"));
                continue;
            }
            if (token != QXmlStreamReader::StartDocument && !isFiller(token))
                return fail(QStringLiteral("no root element"));
        }
        return fail(QStringLiteral("no root element"));
    }

    bool readBody()
    {
        while (!m_xml.atEnd()) {
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            if (token == QXmlStreamReader::EndElement)
                return true;
            if (isFiller(token))
                continue;
            if (token != QXmlStreamReader::StartElement)
                return fail(QStringLiteral("unexpected content in the root element"));
            const QString name = m_xml.qualifiedName().toString();
            const QString number = name.mid(kPr.size());
            if (!name.startsWith(kPr) || !ParameterFileReader::isParameterNumber(number))
                return fail(QStringLiteral("unexpected element %1").arg(name));
            if (!readParameter(number))
                return false;
        }
        return fail(QStringLiteral("the file ends inside the root element"));
    }

    bool readParameter(const QString &number)
    {
        ParameterFileEntry entry{number, QString(), QString()};
        bool haveDefault = false, haveCurrent = false;
        while (!m_xml.atEnd()) {
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            if (token == QXmlStreamReader::EndElement)
                break;
            if (isFiller(token))
                continue;
            const QString name = m_xml.qualifiedName().toString();
            QString text;
            if (token != QXmlStreamReader::StartElement)
                return fail(QStringLiteral("unexpected content in Pr%1").arg(number));
            if (name == kDefaultValue + number && !haveDefault) {
                haveDefault = true;
                if (!readText(&text))
                    return false;
            } else if (name == kCurrentValue + number && !haveCurrent) {
                haveCurrent = true;
                if (!readText(&entry.value))
                    return false;
            } else {
                return fail(QStringLiteral("unexpected element %1 in Pr%2").arg(name, number));
            }
        }
        if (m_xml.atEnd())
            return fail(QStringLiteral("the file ends inside Pr%1").arg(number));
        if (!haveCurrent)
            return fail(QStringLiteral("Pr%1 has no current value").arg(number));
        QString why;
        return m_entries.add(entry, &why) || fail(why);
    }

    // The text of a value element, in pieces, refused once it is longer
    // than any value can be.
    bool readText(QString *text)
    {
        while (!m_xml.atEnd()) {
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            if (token == QXmlStreamReader::EndElement)
                return true;
            if (token == QXmlStreamReader::Characters) {
                if (text->size() + m_xml.text().size() > ParameterFileReader::kMaxValueLength)
                    return fail(QStringLiteral("a value is too long"));
                text->append(m_xml.text());
            } else if (token != QXmlStreamReader::Comment) {
                return fail(QStringLiteral("unexpected content in a value"));
            }
        }
        return fail(QStringLiteral("the file ends inside a value"));
    }

    bool readTrailer()
    {
        while (!m_xml.atEnd()) {
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            if (token == QXmlStreamReader::EndDocument)
                return true;
            if (!isFiller(token))
                return fail(QStringLiteral("content after the root element"));
        }
        return !m_xml.hasError() || fail(QString());
    }

    QXmlStreamReader m_xml;
    const ParameterFileReader::IdentityCheck &m_identity;
    EntryList m_entries;
    QString m_why;
};

// Reads the sheet rows from row 3 to the last used row.
class SheetReader
{
public:
    SheetReader(const Workbook &book, bool groupLayout) : m_book(book), m_groups(groupLayout) {}

    Result run()
    {
        const int last = m_book.firstUsedRow() + m_book.usedRowCount() - 1;
        QString why;
        for (int row = 3; row <= last; ++row)
            if (!readRow(row, &why))
                return refused(why);
        Result r;
        r.status = Status::Ok;
        r.entries = m_entries.take();
        return r;
    }

private:
    bool readRow(int row, QString *why)
    {
        const QString p = m_book.text(row, m_groups ? 2 : 1).trimmed();
        const QString value = m_book.text(row, m_groups ? 4 : 3);
        QString group = m_groups ? m_book.text(row, 1) : QString();
        // Table rows without a parameter leave their sheet row empty.
        if (p.isEmpty() && value.isEmpty() && group.isEmpty())
            return true;
        const QString number = p.mid(2);
        if (!p.startsWith(QLatin1String("P.")) || !ParameterFileReader::isParameterNumber(number)) {
            *why = QStringLiteral("row %1 holds no parameter number").arg(row);
            return false;
        }
        if (m_groups) {
            if (!group.startsWith(kGroupPrefix)) {
                *why = QStringLiteral("row %1 holds no group code").arg(row);
                return false;
            }
            group = group.mid(kGroupPrefix.size());
        }
        return m_entries.add({number, value, group}, why);
    }

    const Workbook &m_book;
    bool m_groups;
    EntryList m_entries;
};
}  // namespace

bool ParameterFileReader::isParameterNumber(const QString &text)
{
    if (text == kFunctionNumber)
        return true;
    if (text.isEmpty() || text.size() > 4 || (text.size() > 1 && text.at(0) == QLatin1Char('0')))
        return false;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return text.toInt() < ReadWrite::kAddressLimit;
}

ParameterFileReader::Result ParameterFileReader::readXml(const QString &fileName,
                                                         const IdentityCheck &identity)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        Result r;
        r.status = Status::Unreadable;
        r.error = file.errorString();
        return r;
    }
    // Read with a limit: the file may be a device or grow while it is read.
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (bytes.size() > kMaxFileBytes)
        return refused(QStringLiteral("the file is larger than any parameter file"));
    return parseXml(bytes, identity);
}

ParameterFileReader::Result ParameterFileReader::parseXml(const QByteArray &bytes,
                                                          const IdentityCheck &identity)
{
    XmlParser parser(bytes, identity);
    return parser.run();
}

ParameterFileReader::Result ParameterFileReader::readWorkbook(const QString &fileName,
                                                              bool groupLayout,
                                                              const IdentityCheck &identity)
{
    // A file that cannot be opened is told apart from one that opens but is
    // damaged or not a workbook at all: the user is to fix the first and
    // choose another file for the second.
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        Result r;
        r.status = Status::Unreadable;
        r.error = file.errorString();
        return r;
    }
    file.close();
    Workbook book;
    QString error;
    if (!book.open(fileName, &error))
        return refused(error);
    if (!identity(book.text(1, 1)))
        return refused(QStringLiteral("the file belongs to another model"));
    SheetReader sheet(book, groupLayout);
    return sheet.run();
}
