#include "base/series.h"
#include "common/simrtudrive.h"
#include "common/testsupport.h"
#include "link/driverfactory.h"
#include "link/readwrite.h"
#include "parameters/parametercore.h"
#include "parameters/parameterstate.h"
#include "simulator/catalogueseed.h"
#include "simulator/simport.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"

#include <QDir>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>

#include <cmath>

namespace {
const char *const kModels[] = {"ZN-020-5.5K", "ZD-023-0.75K", "ZW-023-1.5K", "ZR-043-11K",
                               "ZP-043-22K", "ZM-043-7.5K", "ZM-043-7.5K-K", "ZP2-043-2.2K",
                               "ZR2-043-15K", "ZM-043-5.5K-KX", "ZQ1-043-5.5K"};

// The parameters an English catalogue lists for a version, counted from the
// file itself: every Pr<n> whose name applies at that version.
int parametersInFile(const QString &file, double version)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression name(QStringLiteral("^Name(\\d+|99X)$"));
    QSet<QString> numbers;
    QXmlStreamReader xml(&f);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto m = name.match(xml.name().toString());
        if (!m.hasMatch())
            continue;
        const QStringList parts = xml.readElementText().split('\\', Qt::SkipEmptyParts);
        if (parts.size() >= 2) {
            const QStringList window = parts.at(0).split('-');
            if (version < window.value(0).toDouble() - 1e-9 ||
                version > window.value(1).toDouble() + 1e-9)
                continue;
        }
        numbers.insert(m.captured(1));
    }
    return numbers.size();
}
}  // namespace

// The shipped drive range through the program's own parameter core, against
// simulated drives of every series: every catalogue loads in all three
// languages, and whole-catalogue batch reads and writes leave the drive and
// the table agreeing value for value.
class TestShippedRange : public QObject
{
    Q_OBJECT

    RecordingInteraction m_ui;
    std::shared_ptr<SimulatedDrive> m_drive;

    void attach(const QString &model)
    {
        resetSharedState();
        resetParameterState();
        setDataDirectory(QStringLiteral(VANTREO_SOURCE_DATA));
        loadSeriesFeatures();
        setModelString(model);
        setSeriesLetter(seriesLetterForModel(model, '0'));
        m_drive = makeSimulatedDrive(1, model);
        useSimulatedRtuDrive(m_drive);
        m_ui.clear();
    }

private slots:
    void initTestCase() { setUserInteraction(&m_ui); }
    void cleanupTestCase()
    {
        linkState().setSerialPort(nullptr);
        setUserInteraction(nullptr);
        setDataDirectory(QString());
    }

    void everyCatalogueLoads_data()
    {
        QTest::addColumn<QString>("model");
        for (const char *m : kModels)
            QTest::newRow(m) << QString::fromLatin1(m);
    }
    void everyCatalogueLoads()
    {
        QFETCH(QString, model);
        attach(model);
        ParameterCore core;
        core.loadCatalogue();
        const QString file = CatalogueSeed::catalogueFile(seriesLetter());
        const int expected = parametersInFile(file, catalogueVersionNumber());
        QVERIFY(expected > 50);
        QCOMPARE(core.parameterCount(), expected);
        QVERIFY2(m_ui.messages().isEmpty(), qPrintable(m_ui.messages().value(0).text));

        // Read the values, switch language twice: names change, values stay.
        QCOMPARE(core.readAllParameters().status, ParameterCore::BatchResult::Status::Completed);
        QStringList values, englishNames;
        for (int row = 0; row < core.parameterCount(); ++row) {
            values << core.table().text(row, ParameterTable::CurrentColumn);
            englishNames << core.table().text(row, ParameterTable::NameColumn);
        }
        for (quint8 language : {1, 2, 0}) {
            setLanguageCode(language);
            core.reloadCatalogueTexts();
            int translated = 0;
            for (int row = 0; row < core.parameterCount(); ++row) {
                QCOMPARE(core.table().text(row, ParameterTable::CurrentColumn), values.at(row));
                if (core.table().text(row, ParameterTable::NameColumn) != englishNames.at(row))
                    ++translated;
            }
            if (language == 0)
                QCOMPARE(translated, 0);
            else
                QVERIFY2(translated > core.parameterCount() / 2, qPrintable(model));
        }
    }

    // What a drive holds when it leaves the factory it also accepts: a
    // default outside its own range could never be written back.
    void everyDefaultLiesInItsRange_data()
    {
        QTest::addColumn<QString>("model");
        for (const char *m : kModels)
            QTest::newRow(m) << QString::fromLatin1(m);
        // Defaults that follow the size, at the big end.
        QTest::newRow("ZQ1-043-160K") << "ZQ1-043-160K";
        QTest::newRow("ZM-043-185K/200K-K") << "ZM-043-185K/200K-K";
    }
    void everyDefaultLiesInItsRange()
    {
        QFETCH(QString, model);
        attach(model);
        QStringList outside;
        for (int number : m_drive->parameterNumbers()) {
            const SimulatedDrive::Parameter p = m_drive->parameter(number);
            const bool unset = p.allowsUnset && p.value == 0xFFFF;
            if (!unset && (p.value < p.minimum || p.value > p.maximum))
                outside << QString("P.%1 = %2 (%3~%4)")
                               .arg(number)
                               .arg(p.value)
                               .arg(p.minimum)
                               .arg(p.maximum);
        }
        QVERIFY2(outside.isEmpty(), qPrintable(outside.join(", ")));
    }

    void batchReadAndWriteAgree_data()
    {
        QTest::addColumn<QString>("model");
        for (const char *m : kModels)
            QTest::newRow(m) << QString::fromLatin1(m);
    }
    void batchReadAndWriteAgree()
    {
        QFETCH(QString, model);
        attach(model);
        ParameterCore core;
        core.loadCatalogue();
        const ParameterCore::BatchResult read = core.readAllParameters();
        QCOMPARE(read.status, ParameterCore::BatchResult::Status::Completed);
        QCOMPARE(read.failed, QList<int>());
        ParameterTable &table = core.table();
        int compared = 0;
        for (int row = 0; table.hasNumberCell(row); ++row) {
            bool isNumber = false;
            const int number = table.numberText(row).toInt(&isNumber);
            // Batch reads end before the identity block above P.993.
            if (!isNumber || number > 993 || !m_drive->hasParameter(number))
                continue;
            const SimulatedDrive::Parameter p = m_drive->parameter(number);
            const QString shown = table.text(row, ParameterTable::CurrentColumn);
            if (p.value == 0xFFFF)
                QVERIFY2(shown == "9999" || shown == "99999", qPrintable(shown));
            else
                QVERIFY2(qAbs(shown.toDouble() - p.value * std::pow(10.0, -p.digits)) < 1e-6,
                         qPrintable(QString("P.%1 %2 %3").arg(number).arg(shown).arg(p.value)));
            ++compared;
        }
        QVERIFY(compared > 50);

        // Write new settings for a few parameters, the rest as read.
        for (int row = 0; table.hasNumberCell(row); ++row)
            table.setText(row, ParameterTable::SettingColumn,
                          table.text(row, ParameterTable::CurrentColumn));
        const int accelerationRow = table.rowOfNumber("7");
        const int speedRow = table.rowOfNumber("4");
        QVERIFY(accelerationRow >= 0 && speedRow >= 0);
        table.setText(accelerationRow, ParameterTable::SettingColumn, "12.5");
        table.setText(speedRow, ParameterTable::SettingColumn, "42");
        const auto written = core.writeAllParameters();
        QVERIFY(written.status == ParameterCore::BatchResult::Status::Completed);
        // A set read from the drive goes back whole: no value the drive holds
        // lies outside the range it accepts.
        QCOMPARE(written.failed, QList<int>());
        QVERIFY2(m_ui.messagesOfKind("choice").isEmpty(),
                 qPrintable(m_ui.messagesOfKind("choice").value(0).text));
        const SimulatedDrive::Parameter p7 = m_drive->parameter(7);
        QCOMPARE(p7.value * std::pow(10.0, -p7.digits), 12.5);
        const SimulatedDrive::Parameter p4 = m_drive->parameter(4);
        QCOMPARE(p4.value * std::pow(10.0, -p4.digits), 42.0);
        // Read back: table and drive agree again.
        QCOMPARE(core.readAllParameters().status, ParameterCore::BatchResult::Status::Completed);
        QCOMPARE(table.text(accelerationRow, ParameterTable::CurrentColumn).toDouble(), 12.5);
        QCOMPARE(table.text(speedRow, ParameterTable::CurrentColumn).toDouble(), 42.0);
    }
};

QTEST_GUILESS_MAIN(TestShippedRange)
#include "tst_shippedrange.moc"
