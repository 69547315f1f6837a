#include "common/clirun.h"
#include "common/drivevalues.h"
#include "common/testsupport.h"
#include "parameters/batchtransfer.h"
#include "parameters/cataloguefiles.h"
#include "parameters/parameterfilereader.h"
#include "parameters/parameterstate.h"
#include "parameters/parametertable.h"
#include "parameters/workbook.h"
#include "simulator/catalogueseed.h"
#include "simulator/simport.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"

#include <QRegularExpression>
#include <QtTest>


namespace {
// Replaces the current value of parameter `number` in a saved file.
bool editFile(const QString &file, const QString &number, const QString &value)
{
    if (file.endsWith(".xbel")) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            return false;
        QString xml = QString::fromUtf8(f.readAll());
        f.close();
        const QRegularExpression element(
            QString("<CurrentValue%1>[^<]*</CurrentValue%1>").arg(number));
        if (!xml.contains(element))
            return false;
        xml.replace(element, QString("<CurrentValue%1>%2</CurrentValue%1>").arg(number, value));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        return f.write(xml.toUtf8()) > 0;
    }
    Workbook in;
    if (!in.open(file))
        return false;
    Workbook out;
    bool found = false;
    const int last = in.firstUsedRow() + in.usedRowCount() - 1;
    for (int row = 1; row <= last; ++row)
        for (int column = 1; column <= 4; ++column) {
            QString text = in.text(row, column);
            if (column == 3 && in.text(row, 1).trimmed() == "P." + number) {
                text = value;
                found = true;
            }
            out.setText(row, column, text);
        }
    return found && out.save(file);
}

// The values a saved file holds, by parameter number.
QHash<int, QString> fileValues(const QString &file, const QString &model)
{
    const auto accept = [&model](const QString &stored) {
        return stored == "InvParameter-" + model;
    };
    const ParameterFileReader::Result content =
        file.endsWith(".xbel")
            ? ParameterFileReader::readXml(file, accept)
            : ParameterFileReader::readWorkbook(file, model.startsWith("ZQ"), accept);
    QHash<int, QString> values;
    for (const ParameterFileEntry &e : content.entries)
        values.insert(e.number.toInt(), e.value);
    return values;
}
}  // namespace

// vantreo-cli params save and params load: against the in-process simulated
// line (--port sim) and against simulated drives the test holds, so that what
// "load --write" puts into the drive can be checked register by register.
class TestCliParamFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    using Run = CliRun;

    Run run(const QStringList &args, std::shared_ptr<Transport> port = nullptr)
    {
        return runCliInProcess(
            QStringList{"--data", VANTREO_SOURCE_DATA, "--protocol", "rtu", "--baud", "115200"} +
                args,
            port);
    }

    // A fast simulated line holding `drive`, reached as port "held".
    static std::shared_ptr<Transport> portTo(std::shared_ptr<SimulatedDrive> drive)
    {
        auto line = std::make_shared<SimulatedLine>(1, 0);
        line->addDrive(drive);
        return std::make_shared<SimPort>(line, true);
    }

    // The parameters a batch write of the setting values writes.
    static QList<int> writtenParameters(const SimulatedDrive &drive)
    {
        QList<int> skipList;
        QString file, error;
        CatalogueFiles::readSkipList(drive.series(), &skipList, &file, &error);
        QList<int> numbers;
        for (int n : drive.parameterNumbers())
            if (n <= 993 && !skipList.contains(n) && !BatchTransfer::skippedBySeries(n) &&
                !drive.isIdentityRegister(n))
                numbers.append(n);
        std::sort(numbers.begin(), numbers.end());
        return numbers;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void init()
    {
        resetSharedState();
        resetParameterState();
    }
    void cleanupTestCase() { setDataDirectory(QString()); }

    // Save from the simulated line, load it back: nothing would change; an
    // edited file shows exactly the edits.
    void saveAndLoadOnTheSimulatedLine_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("xbel") << "xbel";
        QTest::newRow("xls") << "xls";
    }
    void saveAndLoadOnTheSimulatedLine()
    {
        QFETCH(QString, suffix);
        const QStringList sim{"--port", "sim", "--model", "ZD-023-0.75K"};
        const QString file = m_dir.filePath("sim." + suffix);
        const Run saved = run(sim + QStringList{"params", "save", file});
        QVERIFY2(saved.status == 0, qPrintable(saved.err));
        QVERIFY(saved.lines.isEmpty());

        // The file holds what "params read" shows, parameter for parameter.
        const Run read = run(sim + QStringList{"params", "read"});
        QCOMPARE(read.status, 0);
        setModelString("ZD-023-0.75K");
        setSeriesLetter('B');
        const auto accept = [](const QString &stored) {
            return stored == "InvParameter-ZD-023-0.75K";
        };
        const ParameterFileReader::Result content =
            suffix == "xbel" ? ParameterFileReader::readXml(file, accept)
                             : ParameterFileReader::readWorkbook(file, false, accept);
        QVERIFY(content.status == ParameterFileReader::Status::Ok);
        QCOMPARE(content.entries.size(), read.lines.size());
        for (int i = 0; i < read.lines.size(); ++i) {
            const QStringList f = read.lines.at(i).split('\t');
            QCOMPARE("P." + content.entries.at(i).number, f.at(0));
            QCOMPARE(content.entries.at(i).value, f.at(2));
        }

        const Run same = run(sim + QStringList{"params", "load", file});
        QVERIFY2(same.status == 0, qPrintable(same.err));
        QCOMPARE(same.lines, QStringList());

        QVERIFY(editFile(file, "7", "12.5"));
        QVERIFY(editFile(file, "1", "45"));
        const Run edited = run(sim + QStringList{"params", "load", file});
        QVERIFY2(edited.status == 0, qPrintable(edited.err));
        const QString p1 = read.lines.at(1).split('\t').at(2);
        const QString p7 = read.lines.at(7).split('\t').at(2);
        QVERIFY(read.lines.at(7).startsWith("P.7\t"));
        QCOMPARE(edited.lines, (QStringList{"P.1\t" + p1 + "\t45", "P.7\t" + p7 + "\t12.5"}));
    }

    // load --write puts the file's values into a replacement drive.
    void loadWriteReachesTheDrive_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("ZM xbel") << "ZM-043-7.5K" << "xbel";
        QTest::newRow("ZM xls") << "ZM-043-7.5K" << "xls";
        QTest::newRow("ZQ xbel") << "ZQ1-043-5.5K" << "xbel";
        QTest::newRow("ZQ xls") << "ZQ1-043-5.5K" << "xls";
    }
    void loadWriteReachesTheDrive()
    {
        QFETCH(QString, model);
        QFETCH(QString, suffix);
        setDataDirectory(VANTREO_SOURCE_DATA);
        auto source = makeSimulatedDrive(1, model);
        perturbParameters(*source);
        const QStringList options{"--port", "held", "--model", model};
        const QString file = m_dir.filePath("held." + suffix);
        const Run saved = run(options + QStringList{"params", "save", file}, portTo(source));
        QVERIFY2(saved.status == 0, qPrintable(saved.err));

        auto replacement = makeSimulatedDrive(1, model);
        QSet<int> differing;
        for (int n : writtenParameters(*source))
            if (replacement->parameter(n).value != source->parameter(n).value)
                differing.insert(n);
        QVERIFY(differing.size() > 50);

        // Without --write: the changes are listed, the drive keeps its values.
        const Run listed = run(options + QStringList{"params", "load", file}, portTo(replacement));
        QVERIFY2(listed.status == 0, qPrintable(listed.err));
        const QHash<int, QString> inFile = fileValues(file, model);
        QSet<int> shownNumbers;
        for (const QString &line : listed.lines) {
            const QStringList f = line.split('\t');
            QCOMPARE(f.size(), 3);
            QVERIFY(f.at(0).startsWith("P."));
            const int n = f.at(0).mid(2).toInt();
            shownNumbers.insert(n);
            QCOMPARE(f.at(2), inFile.value(n));
            QVERIFY2(f.at(1) != f.at(2) && !f.at(1).isEmpty(), qPrintable(line));
        }
        QCOMPARE(shownNumbers, differing);
        for (int n : differing)
            QVERIFY(replacement->parameter(n).value != source->parameter(n).value);

        const Run written =
            run(options + QStringList{"params", "load", file, "--write"}, portTo(replacement));
        QVERIFY2(written.status == 0, qPrintable(written.err));
        QCOMPARE(written.lines.size(), differing.size());
        for (int n : writtenParameters(*source))
            QVERIFY2(replacement->parameter(n).value == source->parameter(n).value,
                     qPrintable(QString("P.%1").arg(n)));

        const Run again = run(options + QStringList{"params", "load", file}, portTo(replacement));
        QCOMPARE(again.status, 0);
        QCOMPARE(again.lines, QStringList());
    }

    // A file of another model is refused: nothing listed, nothing written.
    void fileOfAnotherModelWritesNothing_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("message");
        QTest::newRow("xbel")
            << "xbel" << "Warning: The file is not a XBEL file or the type doesn't match .\n";
        QTest::newRow("xls") << "xls"
                             << "Warning: The file is not a XLS file or the type doesn't match .\n";
    }
    void fileOfAnotherModelWritesNothing()
    {
        QFETCH(QString, suffix);
        QFETCH(QString, message);
        setDataDirectory(VANTREO_SOURCE_DATA);
        auto other = makeSimulatedDrive(1, "ZM-043-5.5K");
        perturbParameters(*other);
        const QString file = m_dir.filePath("other." + suffix);
        const Run saved = run({"--port", "held", "--model", "ZM-043-5.5K", "params", "save", file},
                              portTo(other));
        QVERIFY2(saved.status == 0, qPrintable(saved.err));

        auto drive = makeSimulatedDrive(1, "ZM-043-7.5K");
        QHash<int, quint16> before;
        for (int n : drive->parameterNumbers())
            before.insert(n, drive->parameter(n).value);
        const Run r = run({"--port", "held", "--model", "ZM-043-7.5K", "params", "load", file,
                           "--write"},
                          portTo(drive));
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.endsWith(message), qPrintable(r.err));
        QCOMPARE(r.lines, QStringList());
        for (int n : drive->parameterNumbers())
            QCOMPARE(drive->parameter(n).value, before.value(n));
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("why");
        const QString name = "a parameter file name ends in .xbel or .xls";
        const QString takes =
            "params takes read, get N, set N VALUE, save FILE or load FILE [--write]";
        QTest::newRow("save .XLS") << QStringList{"save", "x.XLS"} << name;
        QTest::newRow("load .txt") << QStringList{"load", "x.txt"} << name;
        QTest::newRow("save without a file") << QStringList{"save"} << takes;
        QTest::newRow("load without a file") << QStringList{"load"} << takes;
        QTest::newRow("load, unknown option") << QStringList{"load", "x.xbel", "--writ"} << takes;
        QTest::newRow("save --write") << QStringList{"save", "x.xbel", "--write"} << takes;
    }
    void usage()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, why);
        const Run r = run(QStringList{"--port", "sim", "--model", "ZM-043-7.5K", "params"} +
                          command);
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.startsWith("vantreo-cli: " + why + "\n"), qPrintable(r.err));
        QVERIFY(!QFile::exists("x.XLS"));
    }

    // A read that does not finish saves nothing: the old file stays.
    void deadLineSavesNothing()
    {
        const QString file = m_dir.filePath("dead.xbel");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old");
        f.close();
        auto silent = std::make_shared<FakeTransport>();
        const Run r = run({"--port", "held", "--model", "ZM-043-7.5K", "params", "save", file},
                          silent);
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.endsWith("Communication Error!\n"), qPrintable(r.err));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("old"));
    }
};

QTEST_GUILESS_MAIN(TestCliParamFiles)
#include "tst_cliparamfiles.moc"
