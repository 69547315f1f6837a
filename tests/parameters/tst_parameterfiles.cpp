#include "common/peerrequired.h"
#include "base/series.h"
#include "common/drivevalues.h"
#include "common/parameterfixture.h"
#include "common/simrtudrive.h"
#include "common/testsupport.h"
#include "common/xlrdpeer.h"
#include "link/driverfactory.h"
#include "link/readwrite.h"
#include "parameters/batchtransfer.h"
#include "parameters/cataloguefiles.h"
#include "parameters/parametercore.h"
#include "parameters/parameterfilereader.h"
#include "parameters/parameterfiles.h"
#include "parameters/parameterstate.h"
#include "parameters/workbook.h"
#include "simulator/catalogueseed.h"
#include "simulator/simport.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {
const QString kWarning = QStringLiteral("Warning");
const QString kXbelMismatch =
    QStringLiteral("The file is not a XBEL file or the type doesn't match .");
const QString kXlsMismatch =
    QStringLiteral("The file is not a XLS file or the type doesn't match .");

// Everything a user or a later write could see of the table: every cell's
// text and flags, in order.
QStringList snapshot(const ParameterTable &table)
{
    QStringList cells;
    const QStandardItemModel *model = table.model();
    for (int row = 0; row < model->rowCount(); ++row)
        for (int column = 0; column < ParameterTable::ColumnCount; ++column) {
            const QStandardItem *item = model->item(row, column);
            cells << (item ? item->text() + QLatin1Char('|') + QString::number(item->flags())
                           : QStringLiteral("<none>"));
        }
    return cells;
}

// One table row: group, number, current value, setting value.
struct Row {
    QString group, number, current, setting;
};

void buildTable(ParameterTable &table, const QList<Row> &rows)
{
    table.setRowCount(0);
    for (int i = 0; i < rows.size(); ++i) {
        const Row &r = rows.at(i);
        table.addParameterRow({r.group, r.number, "Name " + r.number, "0~100", "0.1",
                               "def" + r.number, false, false},
                              i);
        table.setText(i, ParameterTable::CurrentColumn, r.current);
        table.setText(i, ParameterTable::SettingColumn, r.setting);
    }
    table.setParameterCount(table.rowCount());
}

// An XML parameter file as we write it, from (number, value) pairs.
QByteArray xbel(const QString &identity, const QList<QPair<QString, QString>> &entries)
{
    QString xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE InvParameter>\n<" +
                  identity + " version=\"1.0\">\n";
    for (const auto &e : entries)
        xml += QString("    <Pr%1>\n        <DefaultValue%1>d</DefaultValue%1>\n"
                       "        <CurrentValue%1>%2</CurrentValue%1>\n    </Pr%1>\n")
                   .arg(e.first, e.second.toHtmlEscaped());
    xml += "</" + identity + ">\n";
    return xml.toUtf8();
}

// A workbook parameter file: identity, headers, then one row per entry
// (number, value[, group]).
bool writeSheet(const QString &path, const QString &identity, const QList<QStringList> &rows,
                bool groups)
{
    Workbook book;
    book.setText(1, 1, identity);
    book.setText(2, 1, "header");
    for (int i = 0; i < rows.size(); ++i) {
        const QStringList &r = rows.at(i);
        if (groups) {
            book.setText(3 + i, 1, "Group:" + r.value(2));
            book.setText(3 + i, 2, ParameterTable::numberCellText(r.at(0)));
            book.setText(3 + i, 4, r.at(1));
        } else {
            book.setText(3 + i, 1, ParameterTable::numberCellText(r.at(0)));
            book.setText(3 + i, 3, r.at(1));
        }
    }
    return book.save(path);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), qint64(bytes.size()));
}

}  // namespace

// Parameter files: .xbel and .xls saved from the table and opened back into
// the "Setting value" column, with the shipped catalogues and simulated
// drives, hand-made tables for the matching rules, and bad files of every
// kind.
class TestParameterFiles : public QObject
{
    Q_OBJECT

    RecordingInteraction m_ui;
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // The shipped range, a simulated drive of `model` on a fast line.
    std::shared_ptr<SimulatedDrive> attach(const QString &model, bool numberOrder = false,
                                           std::shared_ptr<SimulatedDrive> drive = nullptr)
    {
        resetSharedState();
        resetParameterState();
        setDataDirectory(QStringLiteral(VANTREO_SOURCE_DATA));
        loadSeriesFeatures();
        attachModel(model);
        if (!drive)
            drive = makeSimulatedDrive(1, model);
        // P.990 chooses the order series 'A' shows after a catalogue load.
        if (drive->hasParameter(990))
            drive->setParameterValue(990, numberOrder ? 1 : 0);
        useSimulatedRtuDrive(drive);
        m_ui.reset();
        return drive;
    }

    QList<RecordingInteraction::Message> warnings() const { return m_ui.messagesOfKind("warning"); }


    // The setting value opening a file gives a row that held `current` when
    // the file was saved.
    static QString expectedSetting(const QString &number, const QString &current, bool xml)
    {
        if (number == "99X")
            return "0";
        const int n = number.toInt();
        if (xml && n >= 994 && n <= 999)
            return " ";
        if (!xml && n > 993)
            return QString();
        return current;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        setUserInteraction(&m_ui);
    }
    void cleanupTestCase()
    {
        linkState().setSerialPort(nullptr);
        setUserInteraction(nullptr);
        setDataDirectory(QString());
    }
    void init()
    {
        resetSharedState();
        resetParameterState();
        m_ui.reset();
    }

    void identity_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("identity");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("matches");
        QTest::newRow("ZM") << "ZM-043-5.5K" << "InvParameter-ZM-043-5.5K"
                            << "InvParameter-ZM-043-5.5K" << true;
        QTest::newRow("another capacity") << "ZM-043-5.5K" << "InvParameter-ZM-043-5.5K"
                                          << "InvParameter-ZM-043-7.5K" << false;
        QTest::newRow("case counts") << "ZM-043-5.5K" << "InvParameter-ZM-043-5.5K"
                                     << "InvParameter-zm-043-5.5K" << false;
        QTest::newRow("prefix case counts") << "ZM-043-5.5K" << "InvParameter-ZM-043-5.5K"
                                            << "invparameter-ZM-043-5.5K" << false;
        QTest::newRow("every prefix is removed")
            << "ZM-043-5.5K" << "InvParameter-ZM-043-5.5K"
            << "InvParameter-ZM-043-InvParameter-5.5K" << true;
        QTest::newRow("no prefix") << "ZM-043-5.5K" << "InvParameter-ZM-043-5.5K"
                                   << "ZM-043-5.5K" << true;
        QTest::newRow("ZM-K dual rating") << "ZM-043-185K/200K-K"
                                          << "InvParameter-ZM-043-185K200K-K"
                                          << "InvParameter-ZM-043-185K200K-K" << true;
        QTest::newRow("ZM-K dual rating, stored with /")
            << "ZM-043-185K/200K-K" << "InvParameter-ZM-043-185K200K-K"
            << "InvParameter-ZM-043-185K/200K-K" << false;
        QTest::newRow("ZM-K single rating") << "ZM-043-7.5K-K" << "InvParameter-ZM-043-7.5K-K"
                                            << "InvParameter-ZM-043-185K200K-K" << false;
        QTest::newRow("ZN") << "ZN-020-5.5K" << "InvParameter-ZN-020-5.5K"
                            << "InvParameter-ZN-020-5.5K " << false;
        QTest::newRow("no drive identified") << "" << "InvParameter-" << "InvParameter-" << false;
    }
    void identity()
    {
        QFETCH(QString, model);
        QFETCH(QString, identity);
        QFETCH(QString, stored);
        QFETCH(bool, matches);
        attachModel(model);
        QCOMPARE(ParameterFiles::identityText(), identity);
        QCOMPARE(ParameterFiles::identityMatches(stored), matches);
    }

    void formatByExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("format");
        const int none = int(ParameterFiles::Format::None);
        QTest::newRow("xbel") << "/tmp/a.xbel" << int(ParameterFiles::Format::Xml);
        QTest::newRow("xls") << "/tmp/a.xls" << int(ParameterFiles::Format::Workbook);
        QTest::newRow("XLS") << "/tmp/a.XLS" << none;
        QTest::newRow("Xbel") << "/tmp/a.Xbel" << none;
        QTest::newRow("xlsx") << "/tmp/a.xlsx" << none;
        QTest::newRow("no extension") << "/tmp/xls" << none;
        QTest::newRow("dot in the folder") << "/tmp/b.xls/a" << none;
        QTest::newRow("last extension counts") << "/tmp/a.xls.bak" << none;
        QTest::newRow("two extensions") << "/tmp/a.bak.xbel" << int(ParameterFiles::Format::Xml);
    }
    void formatByExtension()
    {
        QFETCH(QString, name);
        QFETCH(int, format);
        QCOMPARE(int(ParameterFiles::formatOf(name)), format);
    }

    // Drive -> file -> the same table and a new table -> a replacement drive:
    // every value arrives, in both orders of series 'A' and in other series.
    void roundTrip_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("numberOrder");
        QTest::addColumn<QString>("suffix");
        for (const char *suffix : {"xbel", "xls"}) {
            const QString s = QString::fromLatin1(suffix);
            QTest::newRow(qPrintable("ZQ P order " + s)) << "ZQ1-043-5.5K" << true << s;
            QTest::newRow(qPrintable("ZQ group order " + s)) << "ZQ1-043-5.5K" << false << s;
            QTest::newRow(qPrintable("ZM " + s)) << "ZM-043-7.5K" << false << s;
            QTest::newRow(qPrintable("ZM-K dual rating " + s))
                << "ZM-043-185K/200K-K" << false << s;
            QTest::newRow(qPrintable("ZN " + s)) << "ZN-020-5.5K" << false << s;
        }
    }
    void roundTrip()
    {
        QFETCH(QString, model);
        QFETCH(bool, numberOrder);
        QFETCH(QString, suffix);
        const bool xml = suffix == "xbel";
        auto source = attach(model, numberOrder);
        perturbParameters(*source);
        ParameterCore core;
        core.loadCatalogue();
        QCOMPARE(core.readAllParameters().status, ParameterCore::BatchResult::Status::Completed);
        ParameterTable &table = core.table();
        QVERIFY(table.rowCount() > 50);
        QStringList order, current;
        for (int row = 0; row < table.rowCount(); ++row) {
            order << table.text(row, ParameterTable::NumberColumn);
            current << table.text(row, ParameterTable::CurrentColumn);
        }
        const QString file = path("roundtrip." + suffix);
        QFile::remove(file);
        QVERIFY(core.saveFile(file));
        QVERIFY2(m_ui.messages().isEmpty(), qPrintable(m_ui.messages().value(0).text));

        // Back into the same table: the setting column holds what was read,
        // the current column and the order stay as they were.
        QVERIFY(core.openFile(file));
        QVERIFY2(m_ui.messages().isEmpty(), qPrintable(m_ui.messages().value(0).text));
        QCOMPARE(table.rowCount(), order.size());
        QCOMPARE(core.parameterCount(), order.size());
        QHash<QString, QString> saved;
        for (int row = 0; row < table.rowCount(); ++row) {
            QCOMPARE(table.text(row, ParameterTable::NumberColumn), order.at(row));
            QCOMPARE(table.text(row, ParameterTable::CurrentColumn), current.at(row));
            const QString number = table.numberText(row);
            saved.insert(number, current.at(row));
            QCOMPARE(table.text(row, ParameterTable::SettingColumn),
                     expectedSetting(number, current.at(row), xml));
        }

        // A replacement drive of the same model, at its defaults, shown in the
        // other order: the file's values reach it.
        auto replacement = attach(model, !numberOrder, makeSimulatedDrive(1, model));
        ParameterCore fresh;
        fresh.loadCatalogue();
        QVERIFY(fresh.openFile(file));
        QVERIFY2(m_ui.messages().isEmpty(), qPrintable(m_ui.messages().value(0).text));
        ParameterTable &other = fresh.table();
        QCOMPARE(other.rowCount(), table.rowCount());
        for (int row = 0; row < other.rowCount(); ++row) {
            const QString number = other.numberText(row);
            QVERIFY2(saved.contains(number), qPrintable(number));
            QCOMPARE(other.text(row, ParameterTable::SettingColumn),
                     expectedSetting(number, saved.value(number), xml));
            QCOMPARE(other.text(row, ParameterTable::CurrentColumn), QString());
        }
        const ParameterCore::BatchResult written = fresh.writeAllParameters();
        QVERIFY(written.status == ParameterCore::BatchResult::Status::Completed);
        QVERIFY2(written.failed.isEmpty(), qPrintable(QString::number(written.failed.value(0))));
        QList<int> skipList;
        QString listFile, error;
        QVERIFY(CatalogueFiles::readSkipList(seriesLetter(), &skipList, &listFile, &error));
        int compared = 0;
        for (int row = 0; row < other.rowCount(); ++row) {
            bool numeric = false;
            const int n = other.numberText(row).toInt(&numeric);
            if (!numeric || n > 993 || skipList.contains(n) || BatchTransfer::skippedBySeries(n) ||
                !source->hasParameter(n))
                continue;
            QVERIFY2(replacement->parameter(n).value == source->parameter(n).value,
                     qPrintable(QString("P.%1: %2 on the replacement, %3 on the source (%4)")
                                    .arg(n)
                                    .arg(replacement->parameter(n).value)
                                    .arg(source->parameter(n).value)
                                    .arg(saved.value(QString::number(n)))));
            ++compared;
        }
        QVERIFY(compared > 50);
    }

    // The XML file's shape: declaration, document type, the root named by
    // the identity with version 1.0, Pr<n> in group order for series 'A'.
    void xmlLayout()
    {
        attach("ZQ1-043-5.5K", true);
        ParameterCore core;
        core.loadCatalogue();
        ParameterTable &table = core.table();
        QVERIFY(table.text(0, ParameterTable::NumberColumn) == "  P.0");
        table.setText(0, ParameterTable::CurrentColumn, "1 < 2 & \"3\"");
        const QString file = path("layout.xbel");
        QVERIFY(core.saveFile(file));
        const QStringList lines = QString::fromUtf8(readAll(file)).split('\n');
        QCOMPARE(lines.value(0), QString("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
        QCOMPARE(lines.value(1), QString("<!DOCTYPE InvParameter>"));
        QCOMPARE(lines.value(2), QString("<InvParameter-ZQ1-043-5.5K version=\"1.0\">"));
        // Group order in the file; the table keeps its P order.
        QStringList groups;
        for (int row = 0; row < table.rowCount(); ++row)
            groups << table.text(row, ParameterTable::GroupColumn);
        const int first = groups.indexOf(*std::min_element(groups.begin(), groups.end()));
        const QString n = table.numberText(first);
        QCOMPARE(lines.value(3).trimmed(), "<Pr" + n + ">");
        QCOMPARE(lines.value(4).trimmed(),
                 QString("<DefaultValue%1>%2</DefaultValue%1>")
                     .arg(n, table.text(first, ParameterTable::DefaultColumn).toHtmlEscaped()));
        QCOMPARE(table.text(0, ParameterTable::NumberColumn), QString("  P.0"));
        QVERIFY(QString::fromUtf8(readAll(file))
                    .contains("<CurrentValue0>1 &lt; 2 &amp; &quot;3&quot;</CurrentValue0>"));
        QVERIFY(QString::fromUtf8(readAll(file)).contains("<Pr99X>"));
        // The special text comes back whole.
        QVERIFY(core.openFile(file));
        QCOMPARE(table.text(0, ParameterTable::SettingColumn), QString("1 < 2 & \"3\""));
    }

    // An independent reader sees exactly the texts we wrote.
    void workbookReadsElsewhere_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("numberOrder");
        QTest::newRow("ZQ (group layout)") << "ZQ1-043-5.5K" << false;
        QTest::newRow("ZM") << "ZM-043-7.5K" << false;
    }
    void workbookReadsElsewhere()
    {
        QFETCH(QString, model);
        QFETCH(bool, numberOrder);
        perturbParameters(*attach(model, numberOrder));
        ParameterCore core;
        core.loadCatalogue();
        QCOMPARE(core.readAllParameters().status, ParameterCore::BatchResult::Status::Completed);
        const QString file = path("peer.xls");
        QVERIFY(core.saveFile(file));
        const QJsonObject peer = xlrdRead(file);
        if (peer.contains("skip"))
            PEER_MISSING("python3-xlrd is not installed");
        QVERIFY2(peer.contains("cells"), qPrintable(peer.value("error").toString()));

        const bool groups = seriesLetter() == 'A';
        using T = ParameterTable;
        const QList<int> columns = groups ? QList<int>{T::GroupColumn, T::NumberColumn,
                                                       T::DefaultColumn, T::CurrentColumn}
                                          : QList<int>{T::NumberColumn, T::DefaultColumn,
                                                       T::CurrentColumn};
        QJsonArray expected;
        expected.append(QJsonArray{1, 1, "text", "InvParameter-" + model});
        const QStringList headers = groups ? QStringList{"Group mode", "Trad. P mode",
                                                         "Default value", "Current value"}
                                           : QStringList{"Trad. P mode", "Default value",
                                                         "Current value"};
        for (int i = 0; i < headers.size(); ++i)
            expected.append(QJsonArray{2, i + 1, "text", headers.at(i)});
        const ParameterTable &table = core.table();
        for (int row = 0; row < table.rowCount(); ++row)
            for (int i = 0; i < columns.size(); ++i) {
                QString text = table.text(row, columns.at(i));
                if (columns.at(i) == T::GroupColumn)
                    text.prepend("Group:");
                if (!text.isEmpty())
                    expected.append(QJsonArray{row + 3, i + 1, "text", text});
            }
        QCOMPARE(peer.value("rows").toInt(), table.rowCount() + 2);
        QCOMPARE(QJsonDocument(peer.value("cells").toArray()).toJson(),
                 QJsonDocument(expected).toJson());
    }

    void nothingToSaveWithoutADrive_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("xbel") << "nothing.xbel";
        QTest::newRow("xls") << "nothing.xls";
    }
    void nothingToSaveWithoutADrive()
    {
        QFETCH(QString, name);
        ParameterTable table;
        buildTable(table, {{"", "0", "1", ""}});
        ParameterFiles files(table);
        QVERIFY(!files.save(path(name)));
        QCOMPARE(warnings().size(), 1);
        QCOMPARE(warnings().at(0).title, kWarning);
        QCOMPARE(warnings().at(0).text, QString("Nothing can be saved."));
        QVERIFY(!QFile::exists(path(name)));
    }

    // ".XLS" is neither format: nothing is written, nothing is read, no
    // message.
    void capitalExtensionIsNeitherFormat()
    {
        attachModel("ZM-043-7.5K");
        ParameterTable table;
        buildTable(table, {{"", "0", "1", "s0"}, {"", "1", "2", "s1"}});
        ParameterFiles files(table);
        const QString upper = path("upper.XLS");
        writeBytes(upper, "left alone");
        QVERIFY(!files.save(upper));
        QCOMPARE(readAll(upper), QByteArray("left alone"));
        // A real workbook of this model under a capital name is not read.
        const QString real = path("real.xls");
        QVERIFY(files.save(real));
        QFile::remove(upper);
        QVERIFY(QFile::copy(real, upper));
        const QStringList before = snapshot(table);
        QVERIFY(!files.open(upper));
        QCOMPARE(snapshot(table), before);
        QVERIFY(!files.save(path("plain")));
        QVERIFY(!QFile::exists(path("plain")));
        // Each refusal says why: saving, opening and saving again.
        QCOMPARE(m_ui.messages().size(), 3);
        QVERIFY(m_ui.messages().at(0).text.startsWith("Cannot write file " + upper + ":"));
        QVERIFY(m_ui.messages().at(1).text.startsWith("Cannot read file " + upper + ":"));
        QVERIFY(m_ui.messages().at(2).text.startsWith("Cannot write file " + path("plain")));
        for (const auto &message : m_ui.messages())
            QVERIFY(message.text.endsWith("a parameter file's name ends in .xls or .xbel."));
    }

    void anotherModelIsRefused_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("message");
        QTest::newRow("xbel") << "xbel" << kXbelMismatch;
        QTest::newRow("xls") << "xls" << kXlsMismatch;
    }
    void anotherModelIsRefused()
    {
        QFETCH(QString, suffix);
        QFETCH(QString, message);
        attachModel("ZM-043-5.5K");
        ParameterTable table;
        buildTable(table, {{"", "0", "1", "s0"}, {"", "1", "2", "s1"}});
        ParameterFiles files(table);
        const QString file = path("other." + suffix);
        QVERIFY(files.save(file));
        table.setText(0, ParameterTable::CurrentColumn, "cur");
        attachModel("ZM-043-7.5K");
        const QStringList before = snapshot(table);
        QVERIFY(!files.open(file));
        QCOMPARE(warnings().size(), 1);
        QCOMPARE(warnings().at(0).title, kWarning);
        QCOMPARE(warnings().at(0).text, message);
        QCOMPARE(snapshot(table), before);
        // The model it belongs to opens it.
        m_ui.reset();
        attachModel("ZM-043-5.5K");
        QVERIFY(files.open(file));
        QVERIFY(m_ui.messages().isEmpty());
        QCOMPARE(table.text(0, ParameterTable::SettingColumn), QString("1"));
    }

    // The matching of file entries and table rows.
    void matching_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QList<QStringList>>("entries");  // number, value
        QTest::addColumn<QStringList>("numbers");         // the table afterwards
        QTest::addColumn<QStringList>("settings");
        using L = QList<QStringList>;
        for (const char *s : {"xbel", "xls"}) {
            const QString suffix = QString::fromLatin1(s);
            auto row = [&suffix](const char *name) { return (suffix + ": " + name).toUtf8(); };
            QTest::newRow(row("same rows").constData()) << suffix << L{{"0", "1"}, {"13", "2"}, {"14", "3"}}
                                            << QStringList{"  P.0", " P.13", " P.14"}
                                            << QStringList{"1", "2", "3"};
            QTest::newRow(row("P.12 is inserted under the pointer").constData())
                << suffix << L{{"0", "1"}, {"12", "7"}, {"13", "2"}, {"14", "3"}}
                << QStringList{"  P.0", " P.12", " P.13", " P.14"}
                << QStringList{"1", "7", "2", "3"};
            QTest::newRow(row("a row the file lacks is emptied").constData())
                << suffix << L{{"0", "1"}, {"14", "3"}}
                << QStringList{"  P.0", " P.13", " P.14"} << QStringList{"1", "", "3"};
            QTest::newRow(row("rows after the file's last are emptied").constData())
                << suffix << L{{"0", "1"}} << QStringList{"  P.0", " P.13", " P.14"}
                << QStringList{"1", "", ""};
            QTest::newRow(row("rows before the file's first are emptied").constData())
                << suffix << L{{"14", "3"}} << QStringList{"  P.0", " P.13", " P.14"}
                << QStringList{"", "", "3"};
            QTest::newRow(row("entries past the last row are added").constData())
                << suffix << L{{"0", "1"}, {"14", "3"}, {"15", "4"}, {"300", "5"}}
                << QStringList{"  P.0", " P.13", " P.14", " P.15", "P.300"}
                << QStringList{"1", "", "3", "4", "5"};
            QTest::newRow(row("an empty value empties the setting").constData())
                << suffix << L{{"0", ""}, {"13", "2"}, {"14", ""}}
                << QStringList{"  P.0", " P.13", " P.14"} << QStringList{"", "2", ""};
            QTest::newRow(row("file out of order").constData())
                << suffix << L{{"14", "3"}, {"12", "7"}, {"0", "1"}}
                << QStringList{"  P.0", " P.12", " P.13", " P.14"}
                << QStringList{"1", "7", "", "3"};
            QTest::newRow(row("no entries").constData()) << suffix << L{}
                                             << QStringList{"  P.0", " P.13", " P.14"}
                                             << QStringList{"", "", ""};
        }
    }
    void matching()
    {
        QFETCH(QString, suffix);
        QFETCH(QList<QStringList>, entries);
        QFETCH(QStringList, numbers);
        QFETCH(QStringList, settings);
        attachModel("ZM-043-7.5K");
        ParameterTable table;
        buildTable(table, {{"", "0", "c0", "old0"}, {"", "13", "c13", "old13"},
                           {"", "14", "c14", "old14"}});
        const QString file = path("match." + suffix);
        const QString identity = ParameterFiles::identityText();
        if (suffix == "xbel") {
            QList<QPair<QString, QString>> pairs;
            for (const QStringList &e : entries)
                pairs.append({e.at(0), e.at(1)});
            writeBytes(file, xbel(identity, pairs));
        } else {
            QVERIFY(writeSheet(file, identity, entries, false));
        }
        ParameterFiles files(table);
        QVERIFY(files.open(file));
        QVERIFY2(m_ui.messages().isEmpty(), qPrintable(m_ui.messages().value(0).text));
        QCOMPARE(table.rowCount(), numbers.size());
        QCOMPARE(table.parameterCount(), numbers.size());
        const QSet<QString> original{"0", "13", "14"};
        for (int row = 0; row < numbers.size(); ++row) {
            QCOMPARE(table.text(row, ParameterTable::NumberColumn), numbers.at(row));
            QCOMPARE(table.text(row, ParameterTable::SettingColumn), settings.at(row));
            const QString number = table.numberText(row);
            if (original.contains(number)) {
                // Opening never touches the values read from the drive.
                QCOMPARE(table.text(row, ParameterTable::CurrentColumn), "c" + number);
                QCOMPARE(table.text(row, ParameterTable::NameColumn), "Name " + number);
                continue;
            }
            // A parameter the table lacked: a row with "--" texts.
            for (int column : {0, 2, 3, 4, 5})
                QCOMPARE(table.text(row, column), QString("--"));
            QCOMPARE(table.text(row, ParameterTable::CurrentColumn), QString());
            QVERIFY(table.model()->item(row, ParameterTable::SettingColumn)->flags() &
                    Qt::ItemIsEditable);
        }
    }

    // P.99X becomes "0" (a file never runs a parameter function); function
    // registers take a blank (XML, cell stays disabled) or an empty, editable
    // cell (workbook); they never get a row of their own.
    void functionRows_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QStringList>("settings");  // P.0, P.99X, P.994, P.996, P.999, P.1401
        QTest::addColumn<bool>("editable");
        QTest::newRow("xbel") << "xbel" << QStringList{"1", "0", " ", " ", " ", "7"} << false;
        QTest::newRow("xls") << "xls" << QStringList{"1", "0", "", "", "", ""} << true;
    }
    void functionRows()
    {
        QFETCH(QString, suffix);
        QFETCH(QStringList, settings);
        QFETCH(bool, editable);
        attachModel("ZM-043-7.5K");
        ParameterTable table;
        buildTable(table, {{"", "0", "", ""}, {"", "1401", "", ""}, {"", "994", "", "x"},
                           {"", "996", "", ""}, {"", "999", "", ""}, {"", "99X", "", ""}});
        QCOMPARE(table.text(5, ParameterTable::NumberColumn), QString("P.99X"));
        const QList<QStringList> entries{{"0", "1"},   {"1401", "7"}, {"994", "5"}, {"995", "5"},
                                         {"996", "1"}, {"997", "1"},  {"999", "1"}, {"99X", "4"}};
        const QString file = path("functions." + suffix);
        if (suffix == "xbel") {
            QList<QPair<QString, QString>> pairs;
            for (const QStringList &e : entries)
                pairs.append({e.at(0), e.at(1)});
            writeBytes(file, xbel(ParameterFiles::identityText(), pairs));
        } else {
            QVERIFY(writeSheet(file, ParameterFiles::identityText(), entries, false));
        }
        ParameterFiles files(table);
        QVERIFY(files.open(file));
        QVERIFY(m_ui.messages().isEmpty());
        const QStringList numbers{"0", "1401", "994", "996", "999", "99X"};
        QCOMPARE(table.rowCount(), numbers.size());
        const QStringList expected{settings.at(0), settings.at(5), settings.at(2),
                                   settings.at(3), settings.at(4), settings.at(1)};
        for (int row = 0; row < numbers.size(); ++row) {
            QCOMPARE(table.numberText(row), numbers.at(row));
            QCOMPARE(table.text(row, ParameterTable::SettingColumn), expected.at(row));
            const QStandardItem *cell = table.model()->item(row, ParameterTable::SettingColumn);
            const bool high = numbers.at(row) != "0" && numbers.at(row) != "99X";
            if (high)
                QCOMPARE(bool(cell->flags() & Qt::ItemIsEditable), editable);
        }
    }

    // Series 'A' workbooks in group order: matched by parameter, the table
    // returns to the order it had, an added row carries the file's group.
    void groupOrderWorkbook_data()
    {
        QTest::addColumn<bool>("tableInNumberOrder");
        QTest::newRow("table in group order") << false;
        QTest::newRow("table in P order") << true;
    }
    void groupOrderWorkbook()
    {
        QFETCH(bool, tableInNumberOrder);
        attachModel("ZQ1-043-5.5K");
        ParameterTable table;
        buildTable(table, {{"01-00", "0", "", "old"}, {"01-01", "1", "", "old"},
                           {"00-00", "90", "", "old"}, {"00-01", "2", "", "old"},
                           {"02-00", "4", "", "old"}});
        table.sortByColumn(tableInNumberOrder ? ParameterTable::NumberColumn
                                              : ParameterTable::GroupColumn);
        QStringList before;
        for (int row = 0; row < table.rowCount(); ++row)
            before << table.numberText(row);
        // The file in group order: P.90 first; P.1 missing; P.3 (01-02) added.
        const QString file = path("groups.xls");
        QVERIFY(writeSheet(file, ParameterFiles::identityText(),
                           {{"90", "9", "00-00"}, {"2", "2", "00-01"}, {"0", "5", "01-00"},
                            {"3", "33", "01-02"}, {"4", "44", "02-00"}},
                           true));
        ParameterFiles files(table);
        QVERIFY(files.open(file));
        QVERIFY2(m_ui.messages().isEmpty(), qPrintable(m_ui.messages().value(0).text));
        QHash<QString, QString> settings;
        QStringList after;
        for (int row = 0; row < table.rowCount(); ++row) {
            settings.insert(table.numberText(row), table.text(row, 7));
            if (table.numberText(row) != "3")
                after << table.numberText(row);
        }
        QCOMPARE(after, before);
        QCOMPARE(settings.value("90"), QString("9"));
        QCOMPARE(settings.value("2"), QString("2"));
        QCOMPARE(settings.value("0"), QString("5"));
        QCOMPARE(settings.value("1"), QString());
        QCOMPARE(settings.value("3"), QString("33"));
        QCOMPARE(settings.value("4"), QString("44"));
        const int added = table.rowOfNumber("3");
        QCOMPARE(table.text(added, ParameterTable::GroupColumn), QString("01-02"));
        QCOMPARE(table.text(added, ParameterTable::NameColumn), QString("--"));
        if (!tableInNumberOrder)
            QCOMPARE(table.numberText(added - 1), QString("1"));  // after 01-01
    }

    // A save that fails half-way leaves the file as it was, byte for byte:
    // small files (that a write buffer would hold whole) and large ones.
    void failedSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("rows");  // 0: the whole catalogue read from a drive
        QTest::newRow("xbel, small") << "xbel" << 40;
        QTest::newRow("xbel, whole catalogue") << "xbel" << 0;
        QTest::newRow("xls, small") << "xls" << 60;
        QTest::newRow("xls, whole catalogue") << "xls" << 0;
    }
    void failedSaveKeepsTheOldFile()
    {
        QFETCH(QString, suffix);
        QFETCH(int, rows);
        attach("ZM-043-7.5K");
        ParameterCore core;
        if (rows == 0) {
            core.loadCatalogue();
            QCOMPARE(core.readAllParameters().status,
                     ParameterCore::BatchResult::Status::Completed);
        } else {
            QList<Row> list;
            for (int i = 0; i < rows; ++i)
                list.append({"", QString::number(i), QString::number(i * 3), ""});
            buildTable(core.table(), list);
        }
        QTemporaryDir dir;
        const QString file = dir.filePath("kept." + suffix);
        const QByteArray old = "the previous file\n" + QByteArray(100, 'x');
        writeBytes(file, old);

        // Writes beyond 2 KiB fail (EFBIG) as on a full disk.
        struct rlimit saved;
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved;
        small.rlim_cur = 2048;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool written = core.saveFile(file);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        QVERIFY2(!written, qPrintable(QString::number(QFileInfo(file).size())));
        QCOMPARE(readAll(file), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"kept." + suffix});
        QCOMPARE(warnings().size(), 1);
        QCOMPARE(warnings().at(0).title, kWarning);
        QVERIFY2(warnings().at(0).text.startsWith("Cannot write file " + file + ":\n"),
                 qPrintable(warnings().at(0).text));
        QVERIFY(warnings().at(0).text.endsWith('.'));
        // Without the limit the same save succeeds.
        m_ui.reset();
        QVERIFY(core.saveFile(file));
        QVERIFY(readAll(file).size() > 2048);
    }

    void unwritablePlaces_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("xbel") << "xbel";
        QTest::newRow("xls") << "xls";
    }
    void unwritablePlaces()
    {
        QFETCH(QString, suffix);
        attachModel("ZM-043-7.5K");
        ParameterTable table;
        buildTable(table, {{"", "0", "1", ""}});
        ParameterFiles files(table);
        const QString file = path("no/such/folder/x." + suffix);
        QVERIFY(!files.save(file));
        QCOMPARE(warnings().size(), 1);
        QVERIFY(warnings().at(0).text.startsWith("Cannot write file " + file + ":\n"));
        QVERIFY(!QFile::exists(file));
    }

    // A model name XML cannot carry is refused before anything is written.
    void modelThatNoElementCanCarry()
    {
        attachModel("ZM-043-5.5K/7.5K");  // a "/" outside series 'G'
        ParameterTable table;
        buildTable(table, {{"", "0", "1", ""}});
        ParameterFiles files(table);
        const QString file = path("slash.xbel");
        writeBytes(file, "old");
        QVERIFY(!files.save(file));
        QCOMPARE(readAll(file), QByteArray("old"));
        QCOMPARE(warnings().size(), 1);
        QVERIFY(warnings().at(0).text.startsWith("Cannot write file "));
        // The workbook holds the name as text.
        QVERIFY(files.save(path("slash.xls")));
    }

    void missingFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("xbel") << "missing.xbel"
                              << "Cannot read file " + path("missing.xbel") + ":\n";
        QTest::newRow("xls") << "missing.xls"
                             << "Cannot read file " + path("missing.xls") + ":\n";
    }
    void missingFiles()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        attachModel("ZM-043-7.5K");
        ParameterTable table;
        buildTable(table, {{"", "0", "1", "s"}});
        const QStringList before = snapshot(table);
        ParameterFiles files(table);
        QVERIFY(!files.open(path(name)));
        QCOMPARE(warnings().size(), 1);
        QCOMPARE(warnings().at(0).title, kWarning);
        QVERIFY2(warnings().at(0).text.startsWith(message), qPrintable(warnings().at(0).text));
        QCOMPARE(snapshot(table), before);
    }

    // Bad XML: refused whole, with the file's warning, the table untouched.
    void badXmlIsRefused_data()
    {
        QTest::addColumn<QByteArray>("content");
        const QString id = "InvParameter-ZM-043-7.5K";
        const QByteArray good = xbel(id, {{"0", "1"}, {"1", "2"}, {"2", "3"}});
        const QByteArray head = "<?xml version=\"1.0\"?>\n<" + id.toUtf8() + ">";
        const QByteArray tail = "</" + id.toUtf8() + ">\n";
        auto pr = [](const QByteArray &n, const QByteArray &inner) {
            return "<Pr" + n + ">" + inner + "</Pr" + n + ">";
        };
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not XML") << QByteArray("P.0 = 1\nP.1 = 2\n");
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(char((i * 7919 + 17) & 0xFF));
        QTest::newRow("binary") << binary;
        QTest::newRow("truncated") << good.left(good.size() / 2);
        QTest::newRow("truncated before the root ends") << good.left(good.lastIndexOf("</"));
        QTest::newRow("mismatched tags")
            << QByteArray(good).replace("</CurrentValue1>", "</CurrentValue2>");
        QTest::newRow("billion laughs")
            << QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n"
                          "<!ENTITY lol \"lol\">\n"
                          "<!ENTITY lol1 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">\n"
                          "<!ENTITY lol2 \"&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;\">\n"
                          "<!ENTITY lol3 \"&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;\">\n"
                          "<!ENTITY lol4 \"&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;\">\n"
                          "]>\n<") +
                   id.toUtf8() + ">" + pr("0", "<CurrentValue0>&lol4;</CurrentValue0>") + tail;
        QTest::newRow("external entity")
            << QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE x [<!ENTITY e SYSTEM "
                          "\"file:///etc/passwd\">]>\n<") +
                   id.toUtf8() + ">" + pr("0", "<CurrentValue0>&e;</CurrentValue0>") + tail;
        QTest::newRow("undeclared entity")
            << head + pr("0", "<CurrentValue0>&e;</CurrentValue0>") + tail;
        QByteArray deep = head + "<Pr0><CurrentValue0>";
        for (int i = 0; i < 100000; ++i)
            deep += "<a>";
        QTest::newRow("deep nesting") << deep;
        QTest::newRow("long value")
            << head + pr("0", "<CurrentValue0>" + QByteArray(5000, '7') + "</CurrentValue0>") +
                   tail;
        QTest::newRow("huge file")
            << head + "<!--" + QByteArray(9 * 1024 * 1024, '-').replace("--", "ab") + "-->" + tail;
        QTest::newRow("parameter twice")
            << head + pr("0", "<CurrentValue0>1</CurrentValue0>") +
                   pr("0", "<CurrentValue0>2</CurrentValue0>") + tail;
        QTest::newRow("value of another parameter")
            << head + pr("5", "<CurrentValue6>1</CurrentValue6>") + tail;
        QTest::newRow("no current value")
            << head + pr("5", "<DefaultValue5>1</DefaultValue5>") + tail;
        QTest::newRow("two current values")
            << head + pr("5", "<CurrentValue5>1</CurrentValue5><CurrentValue5>2</CurrentValue5>") +
                   tail;
        QTest::newRow("number beyond the registers")
            << head + pr("1600", "<CurrentValue1600>1</CurrentValue1600>") + tail;
        QTest::newRow("leading zero")
            << head + pr("012", "<CurrentValue012>1</CurrentValue012>") + tail;
        QTest::newRow("negative number")
            << head + pr("-1", "<CurrentValue-1>1</CurrentValue-1>") + tail;
        QTest::newRow("unknown element") << head + "<Comment>x</Comment>" + tail;
        QTest::newRow("element in a value")
            << head + pr("0", "<CurrentValue0>1<b/></CurrentValue0>") + tail;
        QTest::newRow("text between parameters")
            << head + "stray" + pr("0", "<CurrentValue0>1</CurrentValue0>") + tail;
        QTest::newRow("second root") << good + "<" + id.toUtf8() + "/>";
        QTest::newRow("wrong root")
            << QByteArray(good).replace(id.toUtf8(), "InvParameter-ZM-043-5.5K");
        QTest::newRow("workbook bytes") << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) +
                                               QByteArray(504, '\0');
    }
    void badXmlIsRefused()
    {
        QFETCH(QByteArray, content);
        attachModel("ZM-043-7.5K");
        ParameterTable table;
        buildTable(table, {{"", "0", "c", "s0"}, {"", "1", "c", "s1"}, {"", "2", "c", "s2"}});
        const QStringList before = snapshot(table);
        const QString file = path("bad.xbel");
        writeBytes(file, content);
        ParameterFiles files(table);
        QVERIFY(!files.open(file));
        QCOMPARE(warnings().size(), 1);
        QCOMPARE(warnings().at(0).title, kWarning);
        QCOMPARE(warnings().at(0).text, kXbelMismatch);
        QCOMPARE(snapshot(table), before);
    }

    // Every prefix of a good file short of its end is refused.
    void everyTruncationIsRefused_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("xbel") << "xbel";
        QTest::newRow("xls") << "xls";
    }
    void everyTruncationIsRefused()
    {
        QFETCH(QString, suffix);
        attachModel("ZM-043-7.5K");
        ParameterTable table;
        buildTable(table, {{"", "0", "1", ""}, {"", "1", "22", ""}, {"", "2", "333", ""}});
        ParameterFiles files(table);
        const QString good = path("whole." + suffix);
        QVERIFY(files.save(good));
        const QByteArray bytes = readAll(good);
        buildTable(table, {{"", "0", "c", "s0"}, {"", "1", "c", "s1"}, {"", "2", "c", "s2"}});
        const QStringList before = snapshot(table);
        // The XML is complete once its root element is closed.
        const int complete = suffix == "xbel" ? bytes.lastIndexOf('>') + 1 : bytes.size();
        const int step = suffix == "xbel" ? 1 : 61;
        const QString file = path("cut." + suffix);
        for (int size = 0; size < complete; size += step) {
            writeBytes(file, bytes.left(size));
            m_ui.reset();
            QVERIFY2(!files.open(file), qPrintable(QString::number(size)));
            QCOMPARE(warnings().size(), 1);
            QCOMPARE(snapshot(table), before);
        }
        writeBytes(file, bytes);
        QVERIFY(files.open(file));
        QCOMPARE(table.text(2, ParameterTable::SettingColumn), QString("333"));
    }

    void badWorkbookIsRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        // Damaged or no workbook at all: refused as a file of the wrong kind.
        QTest::newRow("empty file") << "empty" << kXlsMismatch;
        QTest::newRow("an XML file") << "xml" << kXlsMismatch;
        QTest::newRow("truncated") << "truncated" << kXlsMismatch;
        QTest::newRow("corrupt container") << "corrupt" << kXlsMismatch;
        QTest::newRow("garbage") << "garbage" << kXlsMismatch;
        // Workbooks another program wrote, for another model.
        QTest::newRow("foreign workbook (xlwt)") << "foreign_xlwt.xls" << kXlsMismatch;
        QTest::newRow("foreign workbook (calc)") << "foreign_calc.xls" << kXlsMismatch;
        QTest::newRow("no parameter number") << "no number" << kXlsMismatch;
        QTest::newRow("number beyond the registers") << "beyond" << kXlsMismatch;
        QTest::newRow("parameter twice") << "twice" << kXlsMismatch;
        QTest::newRow("value without parameter") << "orphan value" << kXlsMismatch;
        QTest::newRow("long value") << "long" << kXlsMismatch;
        QTest::newRow("another model") << "model" << kXlsMismatch;
        QTest::newRow("no identity") << "no identity" << kXlsMismatch;
        QTest::newRow("series A layout without Group:") << "no group" << kXlsMismatch;
    }
    void badWorkbookIsRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        // The foreign workbooks name ZM-043-7.5K.
        attachModel(kind == "no group"              ? "ZQ1-043-5.5K"
                    : kind.startsWith("foreign_") ? "ZM-043-5.5K"
                                                    : "ZM-043-7.5K");
        const QString id = ParameterFiles::identityText();
        const QString file = path("bad.xls");
        QFile::remove(file);
        const QList<QStringList> good{{"0", "1"}, {"1", "2"}, {"2", "3"}};
        if (kind == "empty") {
            writeBytes(file, QByteArray());
        } else if (kind == "garbage") {
            QByteArray noise;
            for (int i = 0; i < 5000; ++i)
                noise.append(char((i * 7919 + 17) & 0xFF));
            writeBytes(file, noise);
        } else if (kind.startsWith("foreign_")) {
            QVERIFY(QFile::copy(VANTREO_SOURCE_TESTS "/data/" + kind, file));
        } else if (kind == "xml") {
            writeBytes(file, xbel(id, {{"0", "1"}}));
        } else if (kind == "truncated" || kind == "corrupt") {
            QVERIFY(writeSheet(file, id, good, false));
            QByteArray bytes = readAll(file);
            if (kind == "truncated")
                bytes.truncate(bytes.size() / 2);
            else
                bytes.replace(0, 8, QByteArray(8, 'Z'));
            writeBytes(file, bytes);
        } else if (kind == "no number") {
            QVERIFY(writeSheet(file, id, good, false));
            Workbook book;
            QVERIFY(book.open(file));
            Workbook copy;
            for (int r = 1; r <= 5; ++r)
                for (int c = 1; c <= 3; ++c)
                    copy.setText(r, c, book.text(r, c));
            copy.setText(4, 1, "Parameter 1");
            QVERIFY(copy.save(file));
        } else if (kind == "beyond") {
            QVERIFY(writeSheet(file, id, {{"0", "1"}, {"1600", "2"}}, false));
        } else if (kind == "twice") {
            QVERIFY(writeSheet(file, id, {{"0", "1"}, {"1", "2"}, {"1", "3"}}, false));
        } else if (kind == "orphan value") {
            Workbook book;
            book.setText(1, 1, id);
            book.setText(3, 1, "  P.0");
            book.setText(3, 3, "1");
            book.setText(4, 3, "2");
            QVERIFY(book.save(file));
        } else if (kind == "long") {
            QVERIFY(writeSheet(file, id, {{"0", QString(2000, '1')}}, false));
        } else if (kind == "model") {
            QVERIFY(writeSheet(file, "InvParameter-ZM-043-5.5K", good, false));
        } else if (kind == "no identity") {
            QVERIFY(writeSheet(file, QString(), good, false));
        } else if (kind == "no group") {
            QVERIFY(writeSheet(file, id, good, false));
        }
        ParameterTable table;
        buildTable(table, {{"00-00", "0", "c", "s0"}, {"00-01", "1", "c", "s1"},
                           {"00-02", "2", "c", "s2"}});
        const QStringList before = snapshot(table);
        ParameterFiles files(table);
        QVERIFY(!files.open(file));
        QCOMPARE(warnings().size(), 1);
        QCOMPARE(warnings().at(0).title, kWarning);
        QCOMPARE(warnings().at(0).text, message);
        QCOMPARE(snapshot(table), before);
    }

    void parameterNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        for (const char *t : {"0", "7", "12", "993", "1599", "99X"})
            QTest::newRow(t) << QString(t) << true;
        for (const char *t : {"", "012", "-1", "1600", "99x", "1.5", " 1", "12345", "P.1"})
            QTest::newRow(qPrintable(QString("'%1'").arg(t))) << QString(t) << false;
    }
    void parameterNumbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(ParameterFileReader::isParameterNumber(text), valid);
    }
};

QTEST_GUILESS_MAIN(TestParameterFiles)
#include "tst_parameterfiles.moc"
