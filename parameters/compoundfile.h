#pragma once

#include <QByteArray>
#include <QString>

// The OLE2 compound document that carries the "Workbook" stream of an .xls
// file: a 512-byte header, the sector allocation table (FAT, indexed by the
// header and by DIFAT sectors when it outgrows the header), a directory and
// the stream's sector chain.
class CompoundFile
{
public:
    // A compound document holding `stream` as "Workbook" in regular sectors.
    // A stream shorter than 4096 bytes is padded with zeros to 4096: streams
    // that short would have to live in the mini stream otherwise. Zero bytes
    // after the last EOF record read as the end of the records.
    static QByteArray wrapWorkbook(const QByteArray &stream);
    // What wrapWorkbook() puts before and after a stream of `streamSize`
    // bytes: the document is head + stream + tail, written in pieces without
    // one copy of the whole.
    static QByteArray workbookHead(int streamSize);
    static QByteArray workbookTail(int streamSize);

    // The "Workbook" stream of the document in `file`. Refuses (false, with a
    // reason in `error`) anything damaged: a wrong signature or sector size,
    // sectors beyond the end of the file, broken or looping chains.
    static bool extractWorkbook(const QByteArray &file, QByteArray *stream, QString *error);
};
