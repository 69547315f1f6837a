#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The inverter type catalogue (InvType/InvType.mgr): the types the type
// dialog offers and, per type, its power ratings. The file starts with a
// fixed head read by position (lines 1 to 6: "[inv_Type]", the TYPE list,
// a free line, "[PW_ID]", POWER and POWER_OLD); after it, a "[type]" header
// followed directly by a POWER line for each type. Reading never fails: a
// missing or damaged file offers fewer types or ratings.
class TypeCatalogue
{
public:
    // A catalogue is a few KB; anything past this is not read.
    static constexpr qint64 kMaxBytes = 1 << 20;

    // Reads the file (an empty catalogue when it is missing or unreadable).
    static TypeCatalogue load(const QString &fileName);
    // The catalogue of the shipped data folder.
    static TypeCatalogue loadShipped();
    static TypeCatalogue parse(const QByteArray &text);

    // The TYPE list of the head, in file order.
    QStringList types() const { return m_types; }
    // The head's POWER and POWER_OLD lists (read, used nowhere else).
    QStringList allPowers() const { return m_allPowers; }
    QStringList oldPowers() const { return m_oldPowers; }
    // The ratings of the POWER line directly after the first "[type]" header,
    // scanning from the top; empty for a type without a section.
    QStringList powersOf(const QString &type) const;

private:
    QStringList m_lines;  // with leading white space removed
    QStringList m_types;
    QStringList m_allPowers;
    QStringList m_oldPowers;
};
