#include "common/peerrequired.h"
#include "parameters/biffwriter.h"
#include "parameters/compoundfile.h"
#include "parameters/workbook.h"

#include "common/xlrdpeer.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Offset of the n-th record with `id` in a BIFF stream, or -1.
int findRecord(const QByteArray &stream, quint16 id, int n = 0)
{
    for (int pos = 0; pos + 4 <= stream.size();) {
        const quint16 type = qFromLittleEndian<quint16>(stream.constData() + pos);
        const int length = qFromLittleEndian<quint16>(stream.constData() + pos + 2);
        if (type == 0 && length == 0)
            break;
        if (type == id && n-- == 0)
            return pos;
        pos += 4 + length;
    }
    return -1;
}

QByteArray record(quint16 id, const QByteArray &body)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(id, bytes.data());
    qToLittleEndian(quint16(body.size()), bytes.data() + 2);
    return bytes + body;
}

void put16(QByteArray &bytes, int at, quint16 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

void put32(QByteArray &bytes, int at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

WorkbookCells sampleCells()
{
    WorkbookCells cells;
    cells.insert(workbookCellKey(0, 0), QStringLiteral("InvParameter-ZN-020-5.5K"));
    cells.insert(workbookCellKey(1, 0), QStringLiteral("P.0"));
    cells.insert(workbookCellKey(1, 1), 50.0);
    cells.insert(workbookCellKey(2, 0), QStringLiteral("频率"));
    return cells;
}

// The largest resident set this process has had, in kB.
long peakResidentKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

class TestWorkbook : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }


    // Runs the olefile peer on `file`: "Workbook SIZE" when the container
    // has no defect, "skip" when olefile is absent.
    static QString olefileCheck(const QString &file)
    {
        QProcess peer;
        peer.start("/usr/bin/python3", {VANTREO_SOURCE_TESTS "/peers/olefile_check.py", file});
        if (!peer.waitForFinished(60000))
            peer.kill();
        if (peer.exitCode() == 2)
            return QStringLiteral("skip");
        return QString::fromUtf8(peer.readAllStandardOutput() + peer.readAllStandardError())
            .trimmed();
    }

    static QString openError(const QString &file)
    {
        Workbook book;
        QString error;
        if (book.open(file, &error))
            return QString();
        return error.isEmpty() ? QStringLiteral("(no reason)") : error;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void roundTripText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("before");  // texts of 30 characters stored first
        QTest::newRow("ascii") << QStringLiteral("InvParameter-ZM-043-7.5K") << 0;
        QTest::newRow("latin-1") << QStringLiteral("Vitesse réglée à 50 Hz") << 0;
        QTest::newRow("chinese") << QStringLiteral("加速时间 (频率设定)") << 0;
        QTest::newRow("traditional") << QStringLiteral("頻率設定") << 0;
        QTest::newRow("surrogate pair") << QStringLiteral("温度 😀 ok") << 0;
        QTest::newRow("digits stay text") << QStringLiteral("0050.00") << 0;
        QTest::newRow("blanks") << QStringLiteral("  P. 12  ") << 0;
        QTest::newRow("long ascii, continued") << QString(12000, QLatin1Char('x')) << 0;
        QTest::newRow("long chinese, continued") << QString(6000, QChar(0x9891)) << 0;
        // A long text that would start near the end of a record starts a
        // record of its own, so that it spans two records, not three.
        QTest::newRow("long text after short ones") << QString(16000, QLatin1Char('y')) << 240;
        QTest::newRow("long chinese after short ones") << QString(8000, QChar(0x6C34)) << 240;
    }

    void roundTripText()
    {
        QFETCH(QString, text);
        QFETCH(int, before);
        Workbook out;
        QVERIFY(out.setText(1, 1, QStringLiteral("head")));
        for (int i = 0; i < before; ++i)
            QVERIFY(out.setText(1, 2 + i, QStringLiteral("filler %1").arg(i).leftJustified(30, '.')));
        QVERIFY(out.setText(2, 3, text));
        QVERIFY(out.setText(3, 1, QStringLiteral("tail")));
        QString error;
        QVERIFY2(out.save(path("text.xls"), &error), qPrintable(error));
        Workbook in;
        QVERIFY2(in.open(path("text.xls"), &error), qPrintable(error));
        QCOMPARE(in.text(2, 3), text);
        QCOMPARE(in.text(1, 1), QStringLiteral("head"));
        QCOMPARE(in.text(3, 1), QStringLiteral("tail"));
        QCOMPARE(in.text(2, 2), QString());
        const QJsonObject peer = xlrdRead(path("text.xls"));
        if (!peer.contains("skip")) {
            QVERIFY2(peer.contains("cells"), qPrintable(peer.value("error").toString()));
            const QJsonArray cells = peer.value("cells").toArray();
            QCOMPARE(cells.size(), 3 + before);
            for (const QJsonValue &cell : cells) {
                const QJsonArray c = cell.toArray();
                QCOMPARE(c.at(3).toString(), in.text(c.at(0).toInt(), c.at(1).toInt()));
            }
        }
    }

    // Long texts start a record of their own, so one of these has a
    // surrogate pair exactly where the record ends: it moves whole into the
    // next record (a reader decoding each record's part alone would fail).
    void surrogatePairsAtRecordBoundaries()
    {
        Workbook out;
        for (int k = 4100; k < 4116; ++k) {
            const QString text = QString(k, QChar(0x4E2D)) + QStringLiteral("😀") +
                                 QString(50, QChar(0x6587));
            QVERIFY(out.setText(k - 4099, 1, text));
        }
        QString error;
        QVERIFY2(out.save(path("pairs.xls"), &error), qPrintable(error));
        Workbook in;
        QVERIFY2(in.open(path("pairs.xls"), &error), qPrintable(error));
        for (int k = 4100; k < 4116; ++k)
            QCOMPARE(in.text(k - 4099, 1).mid(k, 2), QStringLiteral("😀"));
        const QJsonObject peer = xlrdRead(path("pairs.xls"));
        if (peer.contains("skip"))
            PEER_MISSING("python3-xlrd is not installed");
        QVERIFY2(peer.contains("cells"), qPrintable(peer.value("error").toString()));
        const QJsonArray cells = peer.value("cells").toArray();
        QCOMPARE(cells.size(), 16);
        for (const QJsonValue &cell : cells)
            QCOMPARE(cell.toArray().at(3).toString(), in.text(cell.toArray().at(0).toInt(), 1));
    }

    void roundTripNumber_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("integer") << 5.0 << "5";
        QTest::newRow("half") << 0.5 << "0.5";
        QTest::newRow("two decimals") << 12.34 << "12.34";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative") << -7.25 << "-7.25";
        QTest::newRow("large") << 123456789.0 << "123456789";
        QTest::newRow("tiny") << 1e-7 << "1e-07";
        QTest::newRow("inexact sum") << 0.1 + 0.2 << "0.30000000000000004";
        QTest::newRow("huge") << 1e300 << "1e+300";
        QTest::newRow("not a number") << qQNaN() << "nan";
        QTest::newRow("infinite") << qInf() << "inf";
    }

    void roundTripNumber()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        Workbook out;
        QVERIFY(out.setNumber(4, 2, value));
        QString error;
        QVERIFY2(out.save(path("number.xls"), &error), qPrintable(error));
        Workbook in;
        QVERIFY2(in.open(path("number.xls"), &error), qPrintable(error));
        QCOMPARE(in.text(4, 2), text);
        if (qIsFinite(value))
            QCOMPARE(in.text(4, 2).toDouble(), value);  // the shortest text is exact
    }

    void usedRange_data()
    {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::newRow("empty sheet") << QList<int>{} << 1 << 1;
        QTest::newRow("one cell") << QList<int>{5} << 5 << 1;
        QTest::newRow("gap") << QList<int>{2, 10} << 2 << 9;
        QTest::newRow("from the top") << QList<int>{1, 2, 3} << 1 << 3;
        QTest::newRow("last row") << QList<int>{65536} << 65536 << 1;
    }

    void usedRange()
    {
        QFETCH(QList<int>, rows);
        QFETCH(int, first);
        QFETCH(int, count);
        Workbook out;
        for (int row : rows)
            QVERIFY(out.setText(row, 1 + row % 7, QStringLiteral("r%1").arg(row)));
        QCOMPARE(out.firstUsedRow(), first);
        QCOMPARE(out.usedRowCount(), count);
        QString error;
        QVERIFY2(out.save(path("range.xls"), &error), qPrintable(error));
        Workbook in;
        QVERIFY2(in.open(path("range.xls"), &error), qPrintable(error));
        QCOMPARE(in.firstUsedRow(), first);
        QCOMPARE(in.usedRowCount(), count);
        for (int row : rows)
            QCOMPARE(in.text(row, 1 + row % 7), QStringLiteral("r%1").arg(row));
    }

    // A trend-sized sheet and a parameter-sized one: > 1000 rows, texts and
    // numbers, repeated texts stored once.
    void manyCells()
    {
        Workbook out;
        QVERIFY(out.setText(1, 1, QStringLiteral("2024-05-01")));
        for (int row = 3; row < 1503; ++row) {
            QVERIFY(out.setText(row, 1, QStringLiteral("P.%1").arg(row)));
            QVERIFY(out.setText(row, 2, row % 2 ? QStringLiteral("odd") : QStringLiteral("偶")));
            QVERIFY(out.setNumber(row, 3, row * 0.25));
            QVERIFY(out.setText(row, 4, QString()));
        }
        QString error;
        QVERIFY2(out.save(path("many.xls"), &error), qPrintable(error));
        Workbook in;
        QVERIFY2(in.open(path("many.xls"), &error), qPrintable(error));
        QCOMPARE(in.firstUsedRow(), 1);
        QCOMPARE(in.usedRowCount(), 1502);
        for (int row = 3; row < 1503; ++row) {
            QCOMPARE(in.text(row, 1), QStringLiteral("P.%1").arg(row));
            QCOMPARE(in.text(row, 2), row % 2 ? QStringLiteral("odd") : QStringLiteral("偶"));
            QCOMPARE(in.text(row, 3).toDouble(), row * 0.25);
            QCOMPARE(in.text(row, 4), QString());
        }
        const QJsonObject peer = xlrdRead(path("many.xls"));
        if (peer.contains("skip"))
            return;
        QVERIFY2(peer.contains("cells"), qPrintable(peer.value("error").toString()));
        QCOMPARE(peer.value("rows").toInt(), 1502);
        const QJsonArray cells = peer.value("cells").toArray();
        QCOMPARE(cells.size(), 1 + 1500 * 3);
        for (const QJsonValue &cell : cells) {
            const QJsonArray c = cell.toArray();
            const int row = c.at(0).toInt(), column = c.at(1).toInt();
            if (c.at(2).toString() == "number")
                QCOMPARE(c.at(3).toDouble(), row * 0.25);
            else
                QCOMPARE(c.at(3).toString(), in.text(row, column));
        }
    }

    void emptyTextEmptiesTheCell()
    {
        Workbook out;
        QVERIFY(out.setText(2, 2, QStringLiteral("x")));
        QVERIFY(out.setText(7, 1, QStringLiteral("y")));
        QVERIFY(out.setText(2, 2, QString()));
        QCOMPARE(out.firstUsedRow(), 7);
        QCOMPARE(out.usedRowCount(), 1);
        QVERIFY(out.save(path("emptied.xls")));
        Workbook in;
        QVERIFY(in.open(path("emptied.xls")));
        QCOMPARE(in.text(2, 2), QString());
        QCOMPARE(in.firstUsedRow(), 7);
    }

    void refusedCells_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("length");
        QTest::newRow("row 0") << 0 << 1 << 1;
        QTest::newRow("row 65537") << 65537 << 1 << 1;
        QTest::newRow("column 0") << 1 << 0 << 1;
        QTest::newRow("column 257") << 1 << 257 << 1;
        QTest::newRow("text too long") << 1 << 1 << Workbook::kMaxTextLength + 1;
    }

    // A cell the format cannot hold makes the save fail instead of silently
    // losing it, and leaves no file behind.
    void refusedCells()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, length);
        Workbook out;
        QVERIFY(out.setText(1, 1, QStringLiteral("kept")));
        QVERIFY(!out.setText(row, column, QString(length, QLatin1Char('a'))));
        QString error;
        QVERIFY(!out.save(path("refused.xls"), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(path("refused.xls")));
        QCOMPARE(out.text(1, 1), QStringLiteral("kept"));
    }

    // Texts up to the cell limit are written correctly (an independent reader
    // gets them back). Those spread over more than two records are beyond
    // the reading library and are refused with a reason instead of misread.
    void longestTexts()
    {
        const QString wide(Workbook::kMaxTextLength, QChar(0x6E29));
        const QString narrow(Workbook::kMaxTextLength, QLatin1Char('n'));
        Workbook out;
        QVERIFY(out.setText(1, 1, wide));
        QVERIFY(out.setText(2, 1, narrow));
        QVERIFY(out.save(path("longest.xls")));
        QVERIFY(!openError(path("longest.xls")).isEmpty());
        const QJsonObject peer = xlrdRead(path("longest.xls"));
        if (peer.contains("skip"))
            PEER_MISSING("python3-xlrd is not installed");
        QVERIFY2(peer.contains("cells"), qPrintable(peer.value("error").toString()));
        const QJsonArray cells = peer.value("cells").toArray();
        QCOMPARE(cells.size(), 2);
        QCOMPARE(cells.at(0).toArray().at(3).toString(), wide);
        QCOMPARE(cells.at(1).toArray().at(3).toString(), narrow);
    }

    void xlrdReadsOurFile()
    {
        Workbook out;
        const WorkbookCells cells = sampleCells();
        out.setText(1, 1, cells.value(workbookCellKey(0, 0)).toString());
        out.setText(2, 1, QStringLiteral("P.0"));
        out.setNumber(2, 2, 50.0);
        out.setNumber(2, 3, 12.34);
        out.setText(3, 1, QStringLiteral("频率"));
        out.setText(3, 3, QStringLiteral("Current value"));
        QVERIFY(out.save(path("peer.xls")));
        const QString container = olefileCheck(path("peer.xls"));
        QVERIFY2(container == "skip" || container == "Workbook 4096", qPrintable(container));
        const QJsonObject peer = xlrdRead(path("peer.xls"));
        if (peer.contains("skip"))
            PEER_MISSING("python3-xlrd is not installed");
        QVERIFY2(peer.contains("cells"), qPrintable(peer.value("error").toString()));
        const QJsonDocument expected = QJsonDocument::fromJson(
            R"({"sheets": 1, "rows": 3, "columns": 3, "cells": [
                [1, 1, "text", "InvParameter-ZN-020-5.5K"],
                [2, 1, "text", "P.0"], [2, 2, "number", 50.0], [2, 3, "number", 12.34],
                [3, 1, "text", "频率"], [3, 3, "text", "Current value"]]})");
        QCOMPARE(QJsonDocument(peer).toJson(), expected.toJson());
    }

    void libreOfficeReadsOurFile()
    {
        QString office = QStandardPaths::findExecutable("libreoffice");
        if (office.isEmpty())
            office = QStandardPaths::findExecutable("soffice");
        if (office.isEmpty())
            QSKIP("LibreOffice is not installed; this second independent check is optional");
        Workbook out;
        out.setText(1, 1, QStringLiteral("InvParameter-ZN-020-5.5K"));
        out.setText(2, 1, QStringLiteral("频率"));
        out.setNumber(2, 2, 12.34);
        out.setText(3, 2, QString(9000, QLatin1Char('z')));
        QVERIFY(out.save(path("office.xls")));
        QProcess lo;
        // A profile of its own, so that a running LibreOffice is not involved.
        lo.start(office, {"-env:UserInstallation=file://" + path("office-profile"), "--headless",
                          "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76", "--outdir",
                          path("csv"), path("office.xls")});
        QVERIFY(lo.waitForFinished(120000));
        const QString csv = QString::fromUtf8(readAll(path("csv/office.csv")));
        const QStringList lines = csv.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0).trimmed(), QStringLiteral("InvParameter-ZN-020-5.5K,"));
        QCOMPARE(lines.at(1).trimmed(), QStringLiteral("频率,12.34"));
        QCOMPARE(lines.at(2).trimmed(), QStringLiteral(",") + QString(9000, QLatin1Char('z')));
    }

    // A workbook written by another program (xlwt, see
    // tests/data/make_foreign_workbook.py): shared strings, RK and MULRK
    // numbers, an empty cell, a second sheet that is not read.
    void readsForeignWorkbook()
    {
        Workbook in;
        QString error;
        QVERIFY2(in.open(VANTREO_SOURCE_TESTS "/data/foreign_xlwt.xls", &error), qPrintable(error));
        QCOMPARE(in.text(1, 1), QStringLiteral("InvParameter-ZM-043-7.5K"));
        QCOMPARE(in.text(2, 3), QStringLiteral("Current value"));
        QCOMPARE(in.firstUsedRow(), 1);
        QCOMPARE(in.usedRowCount(), 42);
        for (int i = 0; i < 40; ++i) {
            const int row = i + 3;
            QCOMPARE(in.text(row, 1), QStringLiteral("P.%1").arg(i));
            QCOMPARE(in.text(row, 2), i == 20 ? QStringLiteral("频率设定")
                                              : QString::number(i * 1.25, 'f', 2));
            const double number = i % 3 ? i * 0.5 : i * 1000 - 7000;
            QCOMPARE(in.text(row, 3), i == 25 ? QString() : QString::number(number));
        }
        QCOMPARE(in.text(100, 10), QString());
    }

    // A workbook converted from tests/data/foreign_calc.csv by LibreOffice
    // ("soffice --headless --infilter=CSV:44,34,76,1 --convert-to 'xls:MS
    // Excel 97'"): a stream short enough to sit in the mini stream, beside
    // other streams; numeric texts of the CSV became numbers.
    void readsCalcWorkbook()
    {
        Workbook in;
        QString error;
        QVERIFY2(in.open(VANTREO_SOURCE_TESTS "/data/foreign_calc.xls", &error), qPrintable(error));
        QCOMPARE(in.firstUsedRow(), 1);
        QCOMPARE(in.usedRowCount(), 6);
        const QStringList expected = {
            "InvParameter-ZM-043-7.5K", "", "",
            "Trad. P mode", "Default value", "Current value",
            "P.0", "50", "12.34",
            "P.1", "频率设定", "0.5",
            "P.2", "", "7",
            "P.3", "Hz", "-1.25"};
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(in.text(1 + i / 3, 1 + i % 3), expected.at(i));
    }

    void badFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("text renamed") << QByteArray("P.0,50\nP.1,60\n");
        QTest::newRow("xml renamed") << QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE InvParameter>\n");
        QByteArray signatureOnly("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
        QTest::newRow("signature only") << signatureOnly;
        signatureOnly.append(QByteArray(4000, '\0'));
        QTest::newRow("signature and zeros") << signatureOnly;
        QTest::newRow("a BIFF stream without container")
            << BiffWriter::workbookStream(sampleCells());
    }

    void badFiles()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(writeAll(path("bad.xls"), bytes));
        QVERIFY(!openError(path("bad.xls")).isEmpty());
    }

    void missingFile()
    {
        QVERIFY(!openError(path("does-not-exist.xls")).isEmpty());
        QVERIFY(!openError(m_dir.path()).isEmpty());
    }

    // Cut at every length short of the whole: refused, never a crash.
    void truncatedFiles()
    {
        Workbook out;
        for (int row = 1; row < 300; ++row)
            out.setText(row, 1, QStringLiteral("text %1 文字").arg(row));
        QVERIFY(out.save(path("whole.xls")));
        const QByteArray whole = readAll(path("whole.xls"));
        QVERIFY(openError(path("whole.xls")).isEmpty());
        for (int length = 0; length < whole.size(); length += (length < 1100 ? 1 : 61)) {
            QVERIFY(writeAll(path("cut.xls"), whole.left(length)));
            QVERIFY2(!openError(path("cut.xls")).isEmpty(), qPrintable(QString::number(length)));
        }
    }

    void randomNoise()
    {
        QRandomGenerator random(20240501);
        for (int size : {1, 511, 512, 4096, 20000}) {
            QByteArray noise(size, '\0');
            for (char &c : noise)
                c = char(random.bounded(256));
            QVERIFY(writeAll(path("noise.xls"), noise));
            QVERIFY(!openError(path("noise.xls")).isEmpty());
        }
    }

    void randomDamage_data()
    {
        QTest::addColumn<QString>("file");
        Workbook out;
        for (int row = 1; row < 120; ++row) {
            out.setText(row, 1, QStringLiteral("参数 %1").arg(row));
            out.setNumber(row, 2, row / 4.0);
        }
        QVERIFY(out.save(path("clean.xls")));
        QTest::newRow("ours") << path("clean.xls");
        QTest::newRow("xlwt") << VANTREO_SOURCE_TESTS "/data/foreign_xlwt.xls";
        QTest::newRow("calc") << VANTREO_SOURCE_TESTS "/data/foreign_calc.xls";
    }

    // Valid files with a few bytes changed, in the container and inside the
    // workbook stream: any outcome but a crash or a hang will do. Set
    // VANTREO_FUZZ_ROUNDS for a longer run.
    void randomDamage()
    {
        QFETCH(QString, file);
        const QByteArray clean = readAll(file);
        QByteArray stream;
        QVERIFY(CompoundFile::extractWorkbook(clean, &stream, nullptr));
        QVERIFY(openError(file).isEmpty());
        QRandomGenerator random(20240501);
        const int rounds = qEnvironmentVariableIntValue("VANTREO_FUZZ_ROUNDS");
        for (int round = 0; round < (rounds > 0 ? rounds : 300); ++round) {
            const bool inStream = round % 2;
            QByteArray damaged = inStream ? stream : clean;
            for (int hits = 1 + random.bounded(4); hits > 0; --hits)
                damaged[random.bounded(damaged.size())] = char(random.bounded(256));
            if (inStream)
                damaged = CompoundFile::wrapWorkbook(damaged);
            QVERIFY(writeAll(path("damaged.xls"), damaged));
            openError(path("damaged.xls"));
        }
    }

    // Streams that a plain reader would trust: each is refused.
    void hostileStreams_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QString>("reason");
        const QByteArray base = BiffWriter::workbookStream(sampleCells());
        const int dimensions = findRecord(base, 0x0200);
        const int sst = findRecord(base, 0x00FC);
        const int labelSst = findRecord(base, 0x00FD);
        const int sheetBof = findRecord(base, 0x0809, 1);
        QVERIFY(dimensions > 0 && sst > 0 && labelSst > 0 && sheetBof > 0);

        QByteArray s = base;
        put32(s, dimensions + 4 + 4, 65536);
        put16(s, dimensions + 4 + 10, 256);
        QTest::newRow("largest extent of the format") << s << "too large";
        s = base;
        put32(s, dimensions + 4 + 4, 0xFFFFFFFF);
        QTest::newRow("extent beyond the format") << s << "exceeds the format";
        s = base;
        put32(s, sst + 4 + 4, 0x7FFFFFFF);
        QTest::newRow("string count beyond the data") << s << "string table";
        s = base;
        put16(s, sst + 4 + 8, 0xFFFF);
        QTest::newRow("string longer than its record") << s << "string table";
        s = base;
        put32(s, labelSst + 4 + 6, 999);
        QTest::newRow("string index out of range") << s << "cannot be decoded";
        s = base;
        put16(s, 4, 0x0500);
        QTest::newRow("BIFF5 workbook") << s << "BIFF8";
        s = base;
        put16(s, 6, 0x0020);
        QTest::newRow("chart substream first") << s << "BIFF8";
        s = base;
        s.insert(findRecord(base, 0x023E),
                 record(0x0204, QByteArray::fromHex("000000000F00FFFF00414243")));
        QTest::newRow("label longer than its record") << s << "cell record";
        s = base;
        s.insert(findRecord(base, 0x00E0), record(0x041E, QByteArray::fromHex("A400FF7F0041")));
        QTest::newRow("number format longer than its record") << s << "number format";
        s = base;
        s.insert(findRecord(base, 0x0042), record(0x002F, QByteArray(6, '\0')));
        QTest::newRow("password-protected") << s << "password";
        s = base;
        s.insert(sst, record(0x00FC, QByteArray::fromHex("0000000000000000")));
        QTest::newRow("second string table") << s << "string table";
        s = base;
        put16(s, labelSst + 2, 4);
        QTest::newRow("cell record too short") << s << "cell record";
        s = base;
        s.insert(findRecord(base, 0x023E),
                 record(0x0203, QByteArray(14, '\0')).replace(4, 2, "\x50\x00", 2));
        QTest::newRow("cell outside the declared extent") << s << "cannot be decoded";
        s = base;
        put16(s, labelSst + 2, 9000);
        QTest::newRow("record longer than the format") << s << "longer than the format";
        s = base;
        s.truncate(labelSst + 8);
        QTest::newRow("record cut off") << s << "truncated";
    }

    void hostileStreams()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QString, reason);
        QVERIFY(writeAll(path("hostile.xls"), CompoundFile::wrapWorkbook(stream)));
        const long before = peakResidentKb();
        const QString error = openError(path("hostile.xls"));
        QVERIFY2(error.contains(reason), qPrintable(error));
        // Refused before anything grows with what the file claims.
        QVERIFY2(peakResidentKb() - before < 32 * 1024, qPrintable(error));
    }

    // Broken containers around a good stream.
    void hostileContainers_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray stream = BiffWriter::workbookStream(sampleCells());
        const QByteArray base = CompoundFile::wrapWorkbook(stream);
        // Our layout: header, FAT in sector 0, directory in 1, stream from 2.
        QByteArray b = base;
        put32(b, 512 + 4 * 2, 2);
        QTest::newRow("stream chain loops") << b;
        b = base;
        put32(b, 48, 5000);
        QTest::newRow("directory outside the file") << b;
        b = base;
        put32(b, 44, 0xFFFFFFFF);
        QTest::newRow("FAT sector count absurd") << b;
        b = base;
        put32(b, 76, 4000);
        QTest::newRow("FAT sector outside the file") << b;
        b = base;
        put16(b, 30, 7);
        QTest::newRow("sector size 128") << b;
        b = base;
        put32(b, 44, 200);  // more FAT sectors than the header holds
        put32(b, 68, 2);
        put32(b, 72, 1);
        put32(b, 3 * 512 - 4, 2);  // a DIFAT sector that names itself next
        QTest::newRow("DIFAT chain loops") << b;
        b = base;
        put32(b, 1024 + 128 + 120, 0x7FFFFFFF);
        QTest::newRow("stream size beyond the file") << b;
        b = base;
        put32(b, 1024 + 128 + 120, 100);
        QTest::newRow("small stream without mini stream") << b;
        b = base;
        b.replace(1024 + 128, 16, QByteArray("B\0o\0o\0k\0\0\0", 10) + QByteArray(6, '\0'));
        QTest::newRow("no Workbook stream") << b;
    }

    void hostileContainers()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(writeAll(path("container.xls"), bytes));
        QVERIFY(!openError(path("container.xls")).isEmpty());
    }

    // The stream grows past the 109 FAT sectors the header indexes, so the
    // FAT is found through DIFAT sectors.
    void largeFileUsesDifat()
    {
        Workbook out;
        for (int row = 1; row <= 48000; ++row)
            for (int column = 1; column <= 9; ++column)
                out.setNumber(row, column, row + column / 16.0);
        QString error;
        QVERIFY2(out.save(path("large.xls"), &error), qPrintable(error));
        const QByteArray bytes = readAll(path("large.xls"));
        QVERIFY(bytes.size() > 109 * 128 * 512);
        QVERIFY(qFromLittleEndian<quint32>(bytes.constData() + 72) > 0);
        const QString container = olefileCheck(path("large.xls"));
        if (container != "skip") {
            QByteArray stream;
            QVERIFY(CompoundFile::extractWorkbook(bytes, &stream, nullptr));
            QCOMPARE(container, QStringLiteral("Workbook %1").arg(stream.size()));
        }
        Workbook in;
        QVERIFY2(in.open(path("large.xls"), &error), qPrintable(error));
        QCOMPARE(in.usedRowCount(), 48000);
        QCOMPARE(in.text(48000, 9), QStringLiteral("48000.5625"));
        QCOMPARE(in.text(1, 1), QStringLiteral("1.0625"));
    }

    void saveReplacesTheFile()
    {
        Workbook first;
        first.setText(1, 1, QStringLiteral("first"));
        QVERIFY(first.save(path("replace.xls")));
        Workbook second;
        second.setText(1, 1, QStringLiteral("second"));
        QVERIFY(second.save(path("replace.xls")));
        Workbook in;
        QVERIFY(in.open(path("replace.xls")));
        QCOMPARE(in.text(1, 1), QStringLiteral("second"));
    }

    // The write fails half-way for real (the process may not write files
    // past 8 kB): the old file stays byte for byte and no temporary file is
    // left behind.
    void failedSaveKeepsTheOldFile()
    {
        QDir dir(path("atomic"));
        QVERIFY(dir.mkpath("."));
        const QString target = dir.filePath("params.xls");
        Workbook old;
        old.setText(1, 1, QStringLiteral("old contents"));
        QVERIFY(old.save(target));
        const QByteArray before = readAll(target);
        QVERIFY(before.size() <= 8192);

        Workbook big;
        for (int row = 1; row <= 3000; ++row)
            big.setText(row, 1, QStringLiteral("new contents %1").arg(row));
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 8192;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        QString error;
        const bool saved1 = big.save(target, &error);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!saved1);
        QVERIFY(!error.isEmpty());
        QCOMPARE(readAll(target), before);
        QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden), QStringList{"params.xls"});
        QVERIFY(big.save(target, &error));  // and it works once it can
    }

    void saveIntoMissingFolderFails()
    {
        Workbook out;
        out.setText(1, 1, QStringLiteral("x"));
        QString error;
        QVERIFY(!out.save(path("no/such/folder/x.xls"), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!out.save(m_dir.path(), &error));  // a folder is no file name
    }

    void openReplacesAndCloseEmpties()
    {
        Workbook out;
        out.setText(9, 9, QStringLiteral("stale"));
        QVERIFY(out.save(path("a.xls")));
        Workbook book;
        book.setText(1, 1, QStringLiteral("before"));
        QVERIFY(book.open(path("a.xls")));
        QCOMPARE(book.text(1, 1), QString());
        QCOMPARE(book.text(9, 9), QStringLiteral("stale"));
        QVERIFY(writeAll(path("junk.xls"), "junk"));
        QVERIFY(!book.open(path("junk.xls")));
        QCOMPARE(book.text(9, 9), QString());
        QVERIFY(book.open(path("a.xls")));
        book.close();
        QCOMPARE(book.text(9, 9), QString());
        QCOMPARE(book.usedRowCount(), 1);
    }

    void missingApplicationMessage()
    {
        QCOMPARE(Workbook::missingApplicationMessage(),
                 QStringLiteral("EXCEL application not found!"));
    }
};

QTEST_GUILESS_MAIN(TestWorkbook)
#include "tst_workbook.moc"
