// The XML parameter file (.xbel): bit 0 of byte 0 chooses whether the
// identity check accepts only "InvParameter-ZM-043-7.5K" or every root; the
// rest is the document. A file is taken whole or refused whole.
#include "fuzzsupport.h"

#include "parameters/parameterfilereader.h"

#include <QSet>

namespace {
const QString kIdentity = QStringLiteral("InvParameter-ZM-043-7.5K");

using Reader = ParameterFileReader;

void checkAccepted(const Reader::Result &result)
{
    fuzz::check(result.entries.size() <= Reader::kMaxEntries);
    QSet<QString> numbers;
    for (const ParameterFileEntry &entry : result.entries) {
        fuzz::check(Reader::isParameterNumber(entry.number));
        fuzz::check(entry.value.size() <= Reader::kMaxValueLength);
        fuzz::check(entry.group.isNull());
        numbers.insert(entry.number);
    }
    // A parameter twice refuses the file.
    fuzz::check(numbers.size() == result.entries.size());
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const bool anyRoot = data[0] & 1;
    const QByteArray bytes = fuzz::bytes(data + 1, size - 1);
    int asked = 0;
    bool accepted = false;
    const Reader::IdentityCheck identity = [&](const QString &stored) {
        ++asked;
        accepted = anyRoot || stored == kIdentity;
        return accepted;
    };
    const Reader::Result result = Reader::parseXml(bytes, identity);
    // Parsing reads no file: a document is taken or found malformed.
    fuzz::check(result.status == Reader::Status::Ok || result.status == Reader::Status::Mismatch);
    fuzz::check(asked <= 1);
    if (result.status != Reader::Status::Ok) {
        fuzz::check(result.entries.isEmpty());
        fuzz::check(!result.error.isEmpty());
        return 0;
    }
    fuzz::check(asked == 1 && accepted);
    checkAccepted(result);
    // Cut before its last '>' (the root's end tag or a trailing comment),
    // an accepted document is cut short and refused.
    const int last = bytes.lastIndexOf('>');
    fuzz::check(last >= 0);
    fuzz::check(Reader::parseXml(bytes.left(last), identity).status != Reader::Status::Ok);
    return 0;
}
