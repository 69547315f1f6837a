#include "common/parameterfixture.h"

#include "parameters/parametercore.h"
#include "parameters/parameterfilereader.h"
#include "parameters/parameterstate.h"

#include <QStandardItemModel>
#include <QtTest>

#include <cmath>
#include <memory>

// Parameter values between the table and a scripted Modbus RTU drive: the
// register conversion, single reads and writes, batch read with gap discovery
// and batch write with its skip rules, parameter functions and error paths.
class TestParamTransfer : public QObject
{
    Q_OBJECT

    using Col = ParameterTable::Column;
    using Status = ParameterCore::BatchResult::Status;

    struct Entry {
        const char *number;
        const char *unit;
        int raw;  // value in the drive; -1: the drive does not hold it
        const char *shown;
    };

    // The catalogue of these tests (series ZM) with the drive's register
    // values and what a read shows for them.
    static QList<Entry> entries()
    {
        return {{"0", "0.1%", 30, "3"},          {"1", "0.01Hz", 12000, "120"},
                {"2", "0.01Hz", 1234, "12.34"},  {"3", "0.01Hz", 65535, "9999"},
                {"4", "1", 7, "7"},              {"6", "0.1s", 55, "5.5"},
                {"7", "Hz", 3, "3"},             {"21", "1", 1, "1"},
                {"90", "1", 2, "2"},             {"125", "1", 4, "4"},
                {"188", "0.01", 110, "1.100"},   {"300", "0.01Hz", -1, "--"},
                {"993", "1", 9, "9"},            {"994", "1", 10, ""},
                {"996", "1", 0, ""},             {"1000", "1", 0, ""}};
    }

    void writeFCatalogue()
    {
        QList<FixtureParameter> list;
        for (const Entry &e : entries())
            list.append({e.number, QStringLiteral("Name ") + e.number, "range", e.unit, "0", ""});
        m_dir->write("InvParameter/F_InvParameter_Eng.xml", catalogueXml(list));
        for (const Entry &e : entries())
            if (e.raw >= 0)
                m_drive->setRegister(QString(e.number).toInt(), quint16(e.raw));
    }

    std::unique_ptr<ParameterCore> loadF(const QString &features = QString())
    {
        setSeriesFeatureText(featureRow("Parameter_NotH", "F") + features);
        attachModel("ZM-043-7.5K");
        m_drive->setRegister(188, 110);
        writeFCatalogue();
        auto core = std::make_unique<ParameterCore>();
        core->loadCatalogue();
        core->loadHiddenParameters();
        m_fake->clearWrites();
        m_drive->clearLog();
        m_ui.clear();
        m_errors->clear();
        return core;
    }

    QStringList column(ParameterCore &core, int col)
    {
        QStringList texts;
        for (int row = 0; row < core.table().rowCount(); ++row)
            texts.append(core.table().text(row, col));
        return texts;
    }

    static QStringList repeated(int n, const QString &text)
    {
        QStringList list;
        for (int i = 0; i < n; ++i)
            list.append(text);
        return list;
    }

    static QByteArray writeFrame(int address, int value)
    {
        QByteArray body = QByteArray::fromHex("0106");
        body.append(char(address >> 8)).append(char(address & 0xFF));
        body.append(char(value >> 8)).append(char(value & 0xFF));
        return withCrc(body);
    }

private slots:
    void init()
    {
        resetSharedState();
        resetParameterState();
        m_dir = std::make_unique<DataDir>();
        m_dir->copyShipped("InvType/FNC.txt");
        m_dir->write("InvParameter/INVParameter_num.txt", "F-2000\nA-2000\nL-2000\n");
        m_dir->write("InvParameter/ReadPar.txt", "H:P1\n");
        m_drive = std::make_unique<RtuDrive>();
        m_fake = useRtuDrive(*m_drive);
        m_errors = std::make_unique<ErrorRecorder>();
        setUserInteraction(&m_ui);
        m_ui.reset();
    }
    void cleanup()
    {
        setUserInteraction(nullptr);
        m_errors.reset();
        linkState().setSerialPort(nullptr);
        m_fake.reset();
        m_dir.reset();
    }

    void toRegisterValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("multiplier");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("99999 is FFFF, not times 100") << "99999" << 100 << true << 0xFFFF;
        QTest::newRow("9999 is FFFF") << "9999" << 10 << true << 0xFFFF;
        QTest::newRow("9999.0 is FFFF") << "9999.0" << 1 << true << 0xFFFF;
        QTest::newRow("655.35 fits") << "655.35" << 100 << true << 65535;
        QTest::newRow("655.36 does not") << "655.36" << 100 << false << 0;
        QTest::newRow("truncated, not rounded") << "1.157" << 100 << true << 115;
        QTest::newRow("1.15 is 115 exactly") << "1.15" << 100 << true << 115;
        QTest::newRow("0.29 is 29 exactly") << "0.29" << 100 << true << 29;
        QTest::newRow("79.32 is 7932 exactly") << "79.32" << 100 << true << 7932;
        QTest::newRow("just below a step") << "1.1499" << 100 << true << 114;
        QTest::newRow("plain") << "50" << 100 << true << 5000;
        QTest::newRow("blanks around") << " 12.5 " << 10 << true << 125;
        QTest::newRow("zero") << "0" << 1 << true << 0;
        QTest::newRow("65536") << "65536" << 1 << false << 0;
        QTest::newRow("not a number") << "abc" << 1 << false << 0;
        QTest::newRow("number and junk") << "12abc" << 1 << false << 0;
        QTest::newRow("empty") << "" << 1 << false << 0;
        QTest::newRow("negative") << "-1" << 1 << false << 0;
        QTest::newRow("small negative") << "-0.5" << 1 << false << 0;
        QTest::newRow("huge") << "1e300" << 1 << false << 0;
        QTest::newRow("infinite") << "inf" << 1 << false << 0;
        QTest::newRow("not a number at all") << "nan" << 1 << false << 0;
        QTest::newRow("no multiplier") << "5" << -1 << false << 0;
    }
    void toRegisterValue()
    {
        QFETCH(QString, text);
        QFETCH(int, multiplier);
        QFETCH(bool, ok);
        QFETCH(int, value);
        const ParameterTransfer::RegisterValue r = ParameterCore::toRegisterValue(text, multiplier);
        QCOMPARE(r.ok, ok);
        if (ok)
            QCOMPARE(r.value, value);
    }

    // Every register value shown with its unit's decimals converts back to
    // itself: what a batch read shows (and a parameter file keeps) writes
    // the same value.
    void everyShownValueWritesBack_data()
    {
        QTest::addColumn<int>("decimals");
        for (int d = 0; d <= 4; ++d)
            QTest::newRow(qPrintable(QString("%1 decimals").arg(d))) << d;
    }
    void everyShownValueWritesBack()
    {
        QFETCH(int, decimals);
        const double scale = std::pow(10.0, -decimals);
        const int multiplier = int(std::lround(std::pow(10.0, decimals)));
        for (int raw = 0; raw < 0xFFFF; ++raw) {
            const QString shown = ParameterTransfer::formatValue(raw * scale);
            if (shown == "9999" || shown == "99999")
                continue;  // the "not used" value
            const ParameterTransfer::RegisterValue r =
                ParameterCore::toRegisterValue(shown, multiplier);
            if (!r.ok || r.value != raw)
                QFAIL(qPrintable(QString("%1 shown as %2 writes %3").arg(raw).arg(shown).arg(r.value)));
        }
    }

    void writeParameterFrames_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("value");  // -1: refused with message 12, nothing sent
        QTest::newRow("99999 at 0.01Hz") << 2 << "99999" << "0.01Hz" << 0xFFFF;
        QTest::newRow("655.35 at 0.01Hz") << 2 << "655.35" << "0.01Hz" << 65535;
        QTest::newRow("655.36 at 0.01Hz") << 2 << "655.36" << "0.01Hz" << -1;
        QTest::newRow("1.15 at 0.01Hz") << 2 << "1.15" << "0.01Hz" << 115;
        QTest::newRow("1.159 at 0.01Hz") << 2 << "1.159" << "0.01Hz" << 115;
        QTest::newRow("Hz has multiplier 1") << 7 << "3.9" << "Hz" << 3;
        QTest::newRow("0.1s") << 6 << "12.5" << "0.1s" << 125;
        QTest::newRow("text") << 2 << "fast" << "0.01Hz" << -1;
        QTest::newRow("negative") << 2 << "-3" << "0.01Hz" << -1;
        QTest::newRow("empty") << 2 << "" << "0.01Hz" << -1;
        QTest::newRow("huge") << 4 << "123456789" << "1" << -1;
    }
    void writeParameterFrames()
    {
        QFETCH(int, number);
        QFETCH(QString, text);
        QFETCH(QString, unit);
        QFETCH(int, value);
        auto core = loadF();
        const bool written = core->writeParameter(number, text, unit);
        QCOMPARE(written, value >= 0);
        QVERIFY(core->scaleAsMultiplier());
        if (value < 0) {
            QVERIFY(m_fake->writes().isEmpty());
            QCOMPARE(m_errors->codes(), QList<int>{12});
            QCOMPARE(messageText(12), QString("Illegal data address!"));
            return;
        }
        QCOMPARE(m_fake->writes(), QList<QByteArray>{writeFrame(number, value)});
        QCOMPARE(int(m_drive->registerValue(number)), value);
        QVERIFY(m_errors->codes().isEmpty());
    }

    void writeFailuresAreNeverSuccess_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("code");
        QTest::newRow("refused") << "refused" << 14;
        QTest::newRow("unknown register") << "unknown" << 12;
        QTest::newRow("wrong echo") << "corrupt" << 14;
        QTest::newRow("no answer") << "silent" << 8;
    }
    void writeFailuresAreNeverSuccess()
    {
        QFETCH(QString, fault);
        QFETCH(int, code);
        auto core = loadF();
        if (fault == "refused")
            m_drive->refuseWrites(2, 3);
        else if (fault == "unknown")
            m_drive->removeRegister(2);
        else if (fault == "corrupt")
            m_drive->corruptEcho(2);
        else
            m_drive->silence(2);
        QVERIFY(!core->writeParameter(2, "50", "0.01Hz"));
        QCOMPARE(m_errors->codes(), QList<int>{code});
        QVERIFY(m_drive->writes().isEmpty());
    }

    void writeWithoutScaleShowsCommunicationError()
    {
        auto core = loadF();  // P.21 never read: the two-resolution unit has no scale
        QVERIFY(!core->writeParameter(30, "5", "0.1A/0.01A"));
        const auto warnings = m_ui.messagesOfKind("warning");
        QCOMPARE(warnings.size(), 1);
        QCOMPARE(warnings.first().title, QString("Warning"));
        QCOMPARE(warnings.first().text, QString("Communication Error!"));
        QVERIFY(m_fake->writes().isEmpty());
    }

    void readParameter_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("held");  // raw value put in the drive first; -1: none
        QTest::addColumn<bool>("silent");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("requests");
        QTest::addColumn<QList<int>>("codes");
        QTest::newRow("0.01Hz") << 2 << -1 << false << 12.34 << 1 << QList<int>{};
        QTest::newRow("FFFF") << 3 << -1 << false << 9999.0 << 1 << QList<int>{};
        QTest::newRow("version") << 188 << -1 << false << 1.1 << 1 << QList<int>{};
        QTest::newRow("not in the drive") << 300 << -1 << false << -1.0 << 1 << QList<int>{12};
        QTest::newRow("silent failure") << 300 << -1 << true << -1.0 << 1 << QList<int>{};
        // Known neither to the table nor to the hidden list: read whole.
        QTest::newRow("unknown number") << 305 << 1234 << false << 1234.0 << 1 << QList<int>{};
        QTest::newRow("unknown number not in the drive")
            << 301 << -1 << false << -1.0 << 1 << QList<int>{12};
        QTest::newRow("unknown number, silent failure")
            << 301 << -1 << true << -1.0 << 1 << QList<int>{};
        QTest::newRow("1600") << 1600 << -1 << false << -1.0 << 0 << QList<int>{};
        QTest::newRow("negative") << -1 << -1 << false << -1.0 << 0 << QList<int>{};
    }
    void readParameter()
    {
        QFETCH(int, number);
        QFETCH(int, held);
        QFETCH(bool, silent);
        QFETCH(double, value);
        QFETCH(int, requests);
        QFETCH(QList<int>, codes);
        auto core = loadF();
        if (held >= 0)
            m_drive->setRegister(number, quint16(held));
        linkState().silentReads = silent;
        core->setScaleAsMultiplier(true);
        QCOMPARE(core->readParameter(number), value);
        linkState().silentReads = false;
        QCOMPARE(m_fake->writes().size(), requests);
        QCOMPARE(m_errors->codes(), codes);
        if (number >= 0 && number < 1600)
            QVERIFY(!core->scaleAsMultiplier());
    }

    void currentRow_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("P.2") << "2" << "33.25" << "12.34" << writeFrame(2, 3325);
        QTest::newRow("P.188 padded") << "188" << "" << "1.100" << QByteArray();
        QTest::newRow("empty setting writes nothing") << "4" << "" << "7" << QByteArray();
        QTest::newRow("failed read leaves the cell") << "300" << "1" << "old"
                                                     << writeFrame(300, 100);
    }
    void currentRow()
    {
        QFETCH(QString, number);
        QFETCH(QString, setting);
        QFETCH(QString, shown);
        QFETCH(QByteArray, written);
        auto core = loadF();
        const int row = core->table().rowOfNumber(number);
        core->table().setCurrentCell(row, 1);
        core->table().setText(row, Col::CurrentColumn, "old");
        core->table().setText(row, Col::SettingColumn, setting);
        core->readCurrentRow();
        QCOMPARE(core->table().text(row, Col::CurrentColumn), shown);
        m_fake->clearWrites();
        core->writeCurrentRow();
        QCOMPARE(m_fake->writes().value(0), written);
    }

    void versionPadding_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("padded");
        QTest::newRow("1.1") << "1.1" << "1.100";
        QTest::newRow("0.33") << "0.33" << "0.330";
        QTest::newRow("whole number") << "1" << "1.000";
        QTest::newRow("long") << "1.2345" << "1.2345";
    }
    void versionPadding()
    {
        QFETCH(QString, text);
        QFETCH(QString, padded);
        QCOMPARE(ParameterTransfer::padVersion(text), padded);
    }

    void batchReadAgreesWithTheDrive()
    {
        auto core = loadF();
        const ParameterCore::BatchResult result = core->readAllParameters();
        QCOMPARE(result.status, Status::Completed);
        QCOMPARE(result.failed, QList<int>{300});
        // Every row up to P.993 shows the drive's value; P.994 ends the read.
        for (const Entry &e : entries()) {
            const int row = core->table().rowOfNumber(e.number);
            QCOMPARE(core->table().text(row, Col::CurrentColumn), QString(e.shown));
        }
        QCOMPARE(m_ui.progressStarts, 1);
        QCOMPARE(m_ui.progress.title, QString("Reading parameters..."));
        QCOMPARE(m_ui.progress.cancelText, QString("Cancel"));
        QCOMPARE(m_ui.progress.label, QString());
        QCOMPARE(m_ui.progress.maximum, 2001);
        QCOMPARE(m_ui.progressValues.last(), 2001);
        QCOMPARE(m_ui.progressValues.mid(0, 13),
                 (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
        QVERIFY(!m_ui.progressOpen);
        QVERIFY(m_ui.messages().isEmpty());
        QVERIFY(m_errors->codes().isEmpty());  // failed reads are quiet during a batch
        QVERIFY(!linkState().quietReads);
        QCOMPARE(core->parameterCount(), entries().size());
        // Exactly one request per row read; no request for P.994 and after.
        QCOMPARE(m_drive->requests(), 13);
    }

    // In P order a four-digit number sorts among the three-digit ones
    // (P.1000 before P.125): the rows after it are read all the same.
    void batchReadPassesOverHighNumbers()
    {
        auto core = loadF();
        core->table().sortByColumn(Col::NumberColumn);
        const int high = core->table().rowOfNumber("1000");
        QVERIFY(high < core->table().rowOfNumber("125"));
        QCOMPARE(core->readAllParameters().status, Status::Completed);
        for (const Entry &e : entries()) {
            const int row = core->table().rowOfNumber(e.number);
            QCOMPARE(core->table().text(row, Col::CurrentColumn), QString(e.shown));
        }
        QCOMPARE(m_drive->requests(), 13);
    }

    void batchReadRowLimit_data()
    {
        QTest::addColumn<QByteArray>("file");  // empty: no file
        QTest::addColumn<int>("requests");
        QTest::addColumn<int>("warnings");
        QTest::newRow("limit 4 reads P.0 to P.4") << QByteArray("F-4\nH-100\n") << 5 << 0;
        QTest::newRow("last line wins") << QByteArray("F-100\nF-1\n") << 2 << 0;
        QTest::newRow("no line for the series") << QByteArray("H-1\n") << 13 << 0;
        QTest::newRow("missing file") << QByteArray() << 13 << 1;
    }
    void batchReadRowLimit()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, requests);
        QFETCH(int, warnings);
        auto core = loadF();
        QFile::remove(m_dir->path() + "/InvParameter/INVParameter_num.txt");
        if (!file.isEmpty())
            m_dir->write("InvParameter/INVParameter_num.txt", file);
        core->readAllParameters();
        QCOMPARE(m_drive->requests(), requests);
        const auto shown = m_ui.messagesOfKind("warning");
        QCOMPARE(shown.size(), warnings);
        if (warnings) {
            QCOMPARE(shown.first().title, QString("Warning"));
            QVERIFY(shown.first().text.startsWith("Cannot read file "));
            QVERIFY(shown.first().text.contains("INVParameter_num.txt:\n"));
            QVERIFY(shown.first().text.endsWith("."));
        }
    }

    void gapDiscovery_data()
    {
        QTest::addColumn<bool>("driveHasP5");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("drive answers P.5")
            << true << QStringList{"  P.0", "  P.1", "  P.2", "  P.3", "  P.4", "  P.5", "  P.6"};
        QTest::newRow("drive lacks P.5")
            << false << QStringList{"  P.0", "  P.1", "  P.2", "  P.3", "  P.4", "  P.6"};
    }
    void gapDiscovery()
    {
        QFETCH(bool, driveHasP5);
        QFETCH(QStringList, numbers);
        m_dir->write("InvParameter/INVParameter_num.txt", "F-6\n");
        auto core = loadF(featureRow("Parameter_readP21", "F"));
        if (driveHasP5)
            m_drive->setRegister(5, 4321);
        const ParameterCore::BatchResult result = core->readAllParameters();
        QCOMPARE(result.status, Status::Completed);
        QCOMPARE(column(*core, Col::NumberColumn).mid(0, numbers.size()), numbers);
        QCOMPARE(core->parameterCount(), entries().size() + (driveHasP5 ? 1 : 0));
        const int row6 = core->table().rowOfNumber("6");
        QCOMPARE(core->table().text(row6, Col::CurrentColumn), QString("5.5"));
        if (driveHasP5) {
            const int row5 = core->table().rowOfNumber("5");
            for (int c : {Col::NameColumn, Col::RangeColumn, Col::UnitColumn, Col::DefaultColumn})
                QCOMPARE(core->table().text(row5, c), QString("--"));
            QCOMPARE(core->table().text(row5, Col::CurrentColumn), QString("4321"));
            const Qt::ItemFlags flags = core->model()->item(row5, Col::SettingColumn)->flags();
            QVERIFY(flags & Qt::ItemIsEditable);
        }
        QCOMPARE(m_ui.progressValues.last(), driveHasP5 ? 7 : 6);
        QCOMPARE(core->p21Scale(), -1);
    }

    // Every cell starts with an earlier read's text. A read that stops leaves
    // the rows it read with the drive's values and every row after the stop
    // that it would have read marked "--"; one that never started changes
    // nothing. Rows a read never asks for (P.994 and above) keep their text.
    void batchReadStopsEarly_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("rowsRead");  // rows showing the drive's value, from the top
        QTest::newRow("cancelled after three") << "cancel" << int(Status::Cancelled) << 3;
        QTest::newRow("link lost at P.4") << "dead" << int(Status::LinkLost) << 4;
        QTest::newRow("link lost at a gap (P.5)") << "gap" << int(Status::LinkLost) << 5;
        QTest::newRow("cancelled at a gap (P.5)") << "gap cancel" << int(Status::Cancelled) << 6;
        QTest::newRow("P.21 unreadable") << "p21" << int(Status::NotStarted) << 0;
    }
    void batchReadStopsEarly()
    {
        QFETCH(QString, how);
        QFETCH(int, status);
        QFETCH(int, rowsRead);
        const bool gaps = how.startsWith("gap") || how == "p21";
        auto core = loadF(gaps ? featureRow("Parameter_readP21", "F") : QString());
        if (how == "cancel") {
            m_ui.cancelAfterValues = 3;
        } else if (how == "dead") {
            m_drive->silence(4);
        } else if (how == "gap") {
            m_drive->silence(5);
        } else if (how == "gap cancel") {
            m_drive->setRegister(5, 4321);  // found and added as a row, then cancelled
            m_ui.cancelAfterValues = 6;
        } else {
            m_drive->silence(21);
        }
        ParameterTable &table = core->table();
        for (int row = 0; row < table.rowCount(); ++row)
            table.setText(row, Col::CurrentColumn, "stale");
        const ParameterCore::BatchResult result = core->readAllParameters();
        QCOMPARE(int(result.status), status);
        QCOMPARE(result.cutShort(), status != int(Status::NotStarted));
        QList<Entry> shown = entries();
        if (how == "gap cancel")
            shown.insert(5, {"5", "", 4321, "4321"});
        QCOMPARE(table.rowCount(), shown.size());
        for (int row = 0; row < shown.size(); ++row) {
            const Entry &e = shown.at(row);
            const QString expected = QString(e.number).toInt() > 993 ? QString("stale")
                                     : row < rowsRead                ? QString(e.shown)
                                     : status == int(Status::NotStarted) ? QString("stale")
                                                                         : QString("--");
            QCOMPARE(table.numberText(row), QString(e.number));
            QCOMPARE(table.text(row, Col::CurrentColumn), expected);
        }
        QVERIFY(!linkState().quietReads);
        QCOMPARE(m_ui.progressStarts, how == "p21" ? 0 : 1);
    }

    // A save after a read cut short asks first and saves only on Yes; a
    // complete read or a catalogue load puts an end to that, a read that
    // never started does not.
    void saveAfterBatchRead_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("asks");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saved");
        const int yes = int(UserInteraction::Answer::Yes);
        const int no = int(UserInteraction::Answer::No);
        QTest::newRow("complete") << QStringList{"read"} << false << yes << true;
        QTest::newRow("link lost, Yes") << QStringList{"dead"} << true << yes << true;
        QTest::newRow("link lost, No") << QStringList{"dead"} << true << no << false;
        QTest::newRow("cancelled, Yes") << QStringList{"cancel"} << true << yes << true;
        QTest::newRow("cancelled, No") << QStringList{"cancel"} << true << no << false;
        QTest::newRow("cut short, then complete")
            << QStringList{"dead", "read"} << false << no << true;
        QTest::newRow("cut short, then a catalogue load")
            << QStringList{"cancel", "load"} << false << no << true;
        QTest::newRow("cut short, then a read that never started")
            << QStringList{"dead", "p21"} << true << no << false;
    }
    void saveAfterBatchRead()
    {
        QFETCH(QStringList, steps);
        QFETCH(bool, asks);
        QFETCH(int, answer);
        QFETCH(bool, saved);
        auto core = loadF();
        for (const QString &step : steps) {
            m_ui.cancelAfterValues = step == "cancel" ? 3 : -1;
            m_drive->setDead(step == "dead");
            if (step == "p21") {
                setSeriesFeatureText(featureRow("Parameter_NotH", "F") +
                                     featureRow("Parameter_readP21", "F"));
                m_drive->silence(21);
            }
            if (step == "load")
                core->loadCatalogue();
            else
                core->readAllParameters();
            m_drive->setDead(false);
        }
        const QStringList current = column(*core, Col::CurrentColumn);
        m_ui.reset();
        m_ui.nextAnswer = UserInteraction::Answer(answer);
        const QString file = m_dir->path() + "/set.xbel";
        QCOMPARE(core->saveFile(file), saved);
        QCOMPARE(QFile::exists(file), saved);
        const auto questions = m_ui.messagesOfKind("question");
        QCOMPARE(questions.size(), asks ? 1 : 0);
        if (asks) {
            QCOMPARE(questions.first().title, QString("Message"));
            QCOMPARE(questions.first().text,
                     QString("The last batch read was cut short: rows marked -- were not read "
                             "from the drive. Save anyway?"));
        }
        QCOMPARE(m_ui.messages().size(), questions.size());
        if (!saved)
            return;
        // What the file keeps is what the table showed.
        const ParameterFileReader::Result back =
            ParameterFileReader::readXml(file, [](const QString &) { return true; });
        QCOMPARE(back.status, ParameterFileReader::Status::Ok);
        QStringList values;
        for (const ParameterFileEntry &e : back.entries)
            values << e.value;
        QCOMPARE(values, current);
    }

    void batchWriteAgreesWithTheDrive()
    {
        auto core = loadF();
        const QStringList settings{"4.5", "60", "655.35", "99999", "12", "1.25", "7", "",
                                   "", "", "", "3", "5", "", "", ""};
        for (int row = 0; row < settings.size(); ++row)
            core->table().setText(row, Col::SettingColumn, settings.at(row));
        const ParameterCore::BatchResult result = core->writeAllParameters();
        QCOMPARE(result.status, Status::Completed);
        QCOMPARE(result.failed, QList<int>{300});  // the drive lacks it
        QCOMPARE(m_drive->writes(), (QList<QPair<int, quint16>>{
                                        {0, 45}, {1, 6000}, {2, 65535}, {3, 0xFFFF}, {4, 12},
                                        {6, 12}, {7, 7}, {993, 5}}));
        QCOMPARE(m_ui.progress.title, QString("Writing parameters..."));
        QCOMPARE(m_ui.progress.maximum, entries().size());
        QCOMPARE(m_ui.progressValues.last(), entries().size());
        const auto choices = m_ui.messagesOfKind("choice");
        QCOMPARE(choices.size(), 1);
        QCOMPARE(choices.first().title, QString("Warning"));
        // The driver's reason stands in the question, the only box of the row.
        QVERIFY2(choices.first().text.startsWith("P.300 Write error!\n"),
                 qPrintable(choices.first().text));
        QCOMPARE(choices.first().buttons, (QStringList{"Continue", "Cancel"}));
        QVERIFY(!linkState().quietReads);
        QVERIFY(!core->scaleAsMultiplier());
        // Read back: the table shows what the drive now holds.
        core->readAllParameters();
        QCOMPARE(core->table().text(1, Col::CurrentColumn), QString("60"));
        QCOMPARE(core->table().text(5, Col::CurrentColumn), QString("1.2"));
        QCOMPARE(core->table().text(11, Col::CurrentColumn), QString("--"));
    }

    void batchWriteSkips_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("features");
        QTest::addColumn<QByteArray>("readPar");
        QTest::addColumn<QList<int>>("written");
        const QList<int> all{1, 2, 4, 21, 90, 125, 188};
        QTest::newRow("nothing skipped") << "ZM-043-7.5K" << QString() << QByteArray("H:P2\n")
                                         << all;
        QTest::newRow("ReadPar list") << "ZM-043-7.5K" << QString()
                                      << QByteArray("H:P1\nF:P21P90-1\n")
                                      << QList<int>{2, 4, 125, 188};
        QTest::newRow("ReadPar list out of order") << "ZM-043-7.5K" << QString()
                                                   << QByteArray("F:P2P1\n")
                                                   << QList<int>{4, 21, 90, 125, 188};
        QTest::newRow("P.125 and P.188 features")
            << "ZM-043-7.5K"
            << featureRow("Parameter_writeP125", "F") + featureRow("Parameter_writeP188", "F")
            << QByteArray("H:P1\n") << QList<int>{1, 2, 4, 21, 90};
        QTest::newRow("P.90 on ZM-KX") << "ZM-043-7.5K-KX" << QString() << QByteArray("H:P1\n")
                                       << QList<int>{1, 2, 4, 21, 125, 188};
    }
    void batchWriteSkips()
    {
        QFETCH(QString, model);
        QFETCH(QString, features);
        QFETCH(QByteArray, readPar);
        QFETCH(QList<int>, written);
        setSeriesFeatureText(features);
        attachModel(model);
        ParameterCore core;
        core.table().setRowCount(0);
        for (int n : {1, 2, 4, 21, 90, 125, 188}) {
            core.table().addParameterRow({"", QString::number(n), "n", "r", "1", "0", false, false},
                                         core.table().rowCount());
            core.table().setText(core.table().rowCount() - 1, Col::SettingColumn, "8");
            m_drive->setRegister(n, 0);
        }
        core.table().setParameterCount(core.table().rowCount());
        m_dir->write("InvParameter/ReadPar.txt", readPar);
        core.writeAllParameters();
        QList<int> got;
        for (const auto &w : m_drive->writes())
            got.append(w.first);
        QCOMPARE(got, written);
        QVERIFY(m_ui.messages().isEmpty());
    }

    void missingReadParWarnsOnEveryRow()
    {
        auto core = loadF();
        QFile::remove(m_dir->path() + "/InvParameter/ReadPar.txt");
        core->table().setText(1, Col::SettingColumn, "50");
        core->table().setText(2, Col::SettingColumn, "40");
        core->writeAllParameters();
        const auto warnings = m_ui.messagesOfKind("warning");
        QCOMPARE(warnings.size(), entries().size());
        QVERIFY(warnings.first().text.contains("ReadPar.txt:\n"));
        QCOMPARE(m_drive->writes().size(), 2);
    }

    void functionRow_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QList<quint16>>("commands");
        QTest::addColumn<QList<int>>("codes");
        QTest::newRow("3 runs 998") << "3" << QList<quint16>{0x98} << QList<int>{};
        QTest::newRow("1 runs 996") << "1" << QList<quint16>{0x96} << QList<int>{};
        QTest::newRow("5 runs 991") << "5" << QList<quint16>{0x91} << QList<int>{};
        QTest::newRow("6 runs 992") << "6" << QList<quint16>{0x92} << QList<int>{};
        QTest::newRow("0 runs none") << "0" << QList<quint16>{} << QList<int>{};
        QTest::newRow("empty is code 19") << "" << QList<quint16>{} << QList<int>{19};
        QTest::newRow("7 is code 19") << "7" << QList<quint16>{} << QList<int>{19};
        QTest::newRow("text is code 19") << "x" << QList<quint16>{} << QList<int>{19};
    }
    void functionRow()
    {
        QFETCH(QString, value);
        QFETCH(QList<quint16>, commands);
        QFETCH(QList<int>, codes);
        attachModel("ZQ1-043-5.5K");
        m_drive->setRegister(188, 10);
        m_drive->setRegister(21, 1);
        m_dir->write("InvParameter/A_InvParameter_Eng.xml",
                     catalogueXml({{"0", "Boost", "r", "0.1%", "", "01-00"},
                                   {"1", "Max", "r", "0.01Hz", "50", "00-00"},
                                   {"2", "Min", "r", "0.01Hz", "0", "00-01"},
                                   {"4", "Speed", "r", "1", "0", "00-03"},
                                   {"99X", "Functions", "0~6", "1", "", "00-02"}},
                                  true));
        for (int n : {0, 1, 2, 4})
            m_drive->setRegister(n, 0);
        ParameterCore core;
        core.loadCatalogue();
        QCOMPARE(core.table().text(2, Col::NumberColumn), QString("P.99X"));
        m_fake->clearWrites();
        m_errors->clear();
        setParameterResetPending(false);
        core.table().setText(0, Col::SettingColumn, "1");
        core.table().setText(2, Col::SettingColumn, value);
        core.table().setText(3, Col::SettingColumn, "5");
        core.writeAllParameters();
        QCOMPARE(m_drive->commands(), commands);
        QCOMPARE(m_errors->codes(), codes);
        QCOMPARE(parameterResetPending(), !commands.isEmpty());
        // Rows after the function row are written; the function row makes no progress step.
        QCOMPARE(m_drive->registerValue(4), quint16(5));
        QCOMPARE(m_drive->registerValue(1), quint16(100));
        QCOMPARE(m_ui.progressValues, (QList<int>{1, 2, 3, 4, 5}));

        // After a batch read the row shows 0: writing the current column runs nothing.
        core.readAllParameters();
        QCOMPARE(core.table().text(2, Col::CurrentColumn), QString("0"));
        m_drive->clearLog();
        m_errors->clear();
        core.setWriteSettingColumn(false);
        core.writeAllParameters();
        QVERIFY(m_drive->commands().isEmpty());
        QVERIFY(m_errors->codes().isEmpty());

        // The row itself: read shows 0, write runs the selected function.
        core.table().setCurrentCell(2, 1);
        core.table().setText(2, Col::CurrentColumn, "");
        core.readCurrentRow();
        QCOMPARE(core.table().text(2, Col::CurrentColumn), QString("0"));
        core.table().setText(2, Col::SettingColumn, "4");
        core.writeCurrentRow();
        QCOMPARE(m_drive->commands(), QList<quint16>{0x99});
    }

    void writeErrorQuestion_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("answer");  // 0 Continue, 1 Cancel, -1 closed
        QTest::addColumn<int>("status");
        QTest::addColumn<QList<int>>("written");
        QTest::newRow("Continue goes on") << "refused" << 0 << int(Status::Completed)
                                          << QList<int>{1, 4, 6};
        QTest::newRow("Cancel ends") << "refused" << 1 << int(Status::Cancelled) << QList<int>{1};
        QTest::newRow("closed box ends") << "refused" << -1 << int(Status::Cancelled)
                                         << QList<int>{1};
        QTest::newRow("Continue ends on a lost link") << "silent" << 0 << int(Status::LinkLost)
                                                      << QList<int>{1};
        QTest::newRow("out of range value") << "range" << 0 << int(Status::Completed)
                                            << QList<int>{1, 4, 6};
    }
    void writeErrorQuestion()
    {
        QFETCH(QString, fault);
        QFETCH(int, answer);
        QFETCH(int, status);
        QFETCH(QList<int>, written);
        auto core = loadF();
        for (int row : {1, 2, 4, 5})
            core->table().setText(row, Col::SettingColumn, "2");
        if (fault == "refused")
            m_drive->refuseWrites(2, 4);
        else if (fault == "silent")
            m_drive->silence(2);
        else
            core->table().setText(2, Col::SettingColumn, "700");
        m_ui.nextChoice = answer;
        const ParameterCore::BatchResult result = core->writeAllParameters();
        QCOMPARE(int(result.status), status);
        QCOMPARE(result.failed, QList<int>{2});
        QList<int> got;
        for (const auto &w : m_drive->writes())
            got.append(w.first);
        QCOMPARE(got, written);
        QCOMPARE(m_drive->registerValue(2), quint16(1234));  // unchanged
        QCOMPARE(m_ui.messagesOfKind("choice").size(), 1);
        const int code = fault == "refused" ? 14 : fault == "silent" ? 8 : 12;
        // One box per failed row: the question names the driver's reason, and
        // no warning of the driver's own follows it.
        QCOMPARE(m_ui.messagesOfKind("choice").first().text,
                 QString("P.2 Write error!\n") + messageText(code));
        QCOMPARE(m_errors->codes(), QList<int>{});
        QVERIFY(!linkState().quietReads);
        QVERIFY(!m_ui.progressOpen);
    }

    void batchWriteCancelledByTheProgressDialog()
    {
        auto core = loadF();
        for (int row = 0; row < 5; ++row)
            core->table().setText(row, Col::SettingColumn, "1");
        m_ui.cancelAfterValues = 2;
        const ParameterCore::BatchResult result = core->writeAllParameters();
        QCOMPARE(result.status, Status::Cancelled);
        QCOMPARE(m_drive->writes().size(), 2);
    }

    void batchWriteP21()
    {
        auto core = loadF(featureRow("Parameter_readP21", "F"));
        core->table().addParameterRow(
            {"", "30", "Current", "r", "0.1A/0.01A", "0", false, false}, 7);
        core->table().setParameterCount(core->table().rowCount());
        core->table().setText(7, Col::SettingColumn, "2.5");
        m_drive->setRegister(30, 0);
        m_drive->setRegister(21, 0);
        core->writeAllParameters();
        QCOMPARE(m_drive->registerValue(30), quint16(250));
        QCOMPARE(core->p21Scale(), -1);
        m_drive->silence(21);
        core->table().setText(7, Col::SettingColumn, "3");
        m_drive->clearLog();
        QCOMPARE(core->writeAllParameters().status, Status::NotStarted);
        QVERIFY(m_drive->writes().isEmpty());
        QVERIFY(!linkState().quietReads);
        QVERIFY(!core->scaleAsMultiplier());
    }

    void clearingTheColumns()
    {
        auto core = loadF();
        for (int row = 0; row < core->table().rowCount(); ++row) {
            core->table().setText(row, Col::CurrentColumn, "c");
            core->table().setText(row, Col::SettingColumn, "s");
        }
        core->clearCurrentValues();
        QCOMPARE(column(*core, Col::CurrentColumn), repeated(entries().size(), QString()));
        QCOMPARE(column(*core, Col::SettingColumn), repeated(entries().size(), "s"));
        core->clearSettingValues();
        QCOMPARE(column(*core, Col::SettingColumn), repeated(entries().size(), QString()));
    }

    void parameterFunctions()
    {
        auto core = loadF();
        setParameterResetPending(false);
        for (int f : {996, 997, 998, 999})
            core->runParameterFunction(f);
        QCOMPARE(m_drive->commands(), (QList<quint16>{0x96, 0x97, 0x98, 0x99}));
        QVERIFY(parameterResetPending());
    }

private:
    std::unique_ptr<DataDir> m_dir;
    std::unique_ptr<RtuDrive> m_drive;
    std::shared_ptr<FakeTransport> m_fake;
    std::unique_ptr<ErrorRecorder> m_errors;
    RecordingInteraction m_ui;
};

QTEST_GUILESS_MAIN(TestParamTransfer)
#include "tst_paramtransfer.moc"
