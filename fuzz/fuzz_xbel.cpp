// The XML parameter file (.xbel): bit 0 of byte 0 chooses whether the
// identity check accepts only "InvParameter-ZM-043-7.5K" or every root; the
// rest is the document. A file is taken whole or refused whole.
#include "parameterfilechecks.h"

using Reader = ParameterFileReader;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    fuzz::IdentityProbe probe{QStringLiteral("InvParameter-ZM-043-7.5K"), bool(data[0] & 1)};
    const QByteArray bytes = fuzz::bytes(data + 1, size - 1);
    const Reader::Result result = Reader::parseXml(bytes, probe.check());
    // Parsing reads no file: a document is taken or found malformed.
    fuzz::check(result.status == Reader::Status::Ok || result.status == Reader::Status::Mismatch);
    fuzz::checkResult(result, probe, false);
    if (result.status != Reader::Status::Ok)
        return 0;
    // Cut before its last '>' (the root's end tag or a trailing comment),
    // an accepted document is cut short and refused.
    const int last = bytes.lastIndexOf('>');
    fuzz::check(last >= 0);
    fuzz::check(Reader::parseXml(bytes.left(last), probe.check()).status != Reader::Status::Ok);
    return 0;
}
