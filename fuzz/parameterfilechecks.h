#pragma once

#include "fuzzsupport.h"

#include "parameters/parameterfilereader.h"

#include <QSet>

// What both parameter-file readers promise, whatever the file holds.
namespace fuzz {

// The identity check handed to a reader: accepts `identity`, or every text,
// and counts how often it was asked.
struct IdentityProbe {
    QString identity;
    bool acceptAll = false;
    int asked = 0;
    bool accepted = false;

    ParameterFileReader::IdentityCheck check()
    {
        return [this](const QString &stored) {
            ++asked;
            accepted = acceptAll || stored == identity;
            return accepted;
        };
    }
};

// A refused file gives no entries and says why; an accepted one asked the
// identity once and was let in, and holds at most the limits, each parameter
// once with a valid number, group codes only in the group layout.
inline void checkResult(const ParameterFileReader::Result &result, const IdentityProbe &probe,
                        bool groupLayout)
{
    using Reader = ParameterFileReader;
    check(probe.asked <= 1);
    if (result.status != Reader::Status::Ok) {
        check(result.entries.isEmpty());
        check(!result.error.isEmpty());
        return;
    }
    check(probe.asked == 1 && probe.accepted);
    check(result.entries.size() <= Reader::kMaxEntries);
    QSet<QString> numbers;
    for (const ParameterFileEntry &entry : result.entries) {
        check(Reader::isParameterNumber(entry.number));
        check(entry.value.size() <= Reader::kMaxValueLength);
        check(groupLayout || entry.group.isNull());
        numbers.insert(entry.number);
    }
    check(numbers.size() == result.entries.size());
}

}  // namespace fuzz
