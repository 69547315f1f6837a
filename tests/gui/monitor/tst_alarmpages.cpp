#include "link/driverregistry.h"
#include "base/series.h"
#include "common/sentframes.h"
#include "common/simdriverig.h"
#include "common/testsupport.h"
#include "link/driverfactory.h"
#include "link/linkworker.h"
#include "link/readwrite.h"
#include "monitor/monitorthread.h"
#include "monitor/parameteraccess.h"
#include "parameters/parameterstate.h"
#include "gui/widgets/passworddlg.h"
#include "resources/images.h"
#include "simulator/catalogueseed.h"
#include "simulator/simport.h"
#include "simulator/simregisters.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"
#include "gui/monitor/alarmcode.h"
#include "gui/monitor/hideparameter.h"
#include "gui/monitor/inverterstate.h"
#include "gui/widgets/lamp.h"
#include "gui/monitor/maindialplot.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTranslator>
#include <QStyle>
#include <QHeaderView>
#include <QElapsedTimer>
#include <QtTest>

#include <memory>

namespace {
// The drive runs on its own clock here.
struct DriveRig : SimDriveRig {
    explicit DriveRig(const QString &model) : SimDriveRig(model, false) {}
};

class RawParameters : public ParameterAccess
{
public:
    double readParameter(int number) override
    {
        const bool hundredths = number == 300 || number == 199 || number % 100 == 2;
        return currentDriver()->readRegister(number, hundredths && number != 292 ? 0.01 : 1);
    }
    bool writeParameter(int number, const QString &value, const QString &) override
    {
        bool ok = false;
        const int raw = value.toInt(&ok);
        return ok && currentDriver()->writeRegister(number, raw == 9999 ? 0xFFFF : raw);
    }
    QString catalogueVersion() const override { return ::catalogueVersion(); }
};

int count(const QString &text, const QString &part) { return text.count(part); }
}  // namespace

// The "Alarm Code" and "System Diagnosis" tabs on the simulated drives.
class TestAlarmPages : public QObject
{
    Q_OBJECT

    DataDir m_dir;
    RecordingInteraction m_ui;
    RawParameters m_parameters;
    std::unique_ptr<LinkWorker> m_worker;
    std::unique_ptr<MonitorThread> m_monitor;

    bool idle(AlarmCode *alarms, int ms = 10000)
    {
        return QTest::qWaitFor([&] { return !alarms->isBusy(); }, ms);
    }
    bool idle(HideParameter *page, int ms = 20000)
    {
        return QTest::qWaitFor([&] { return !page->isBusy(); }, ms);
    }

private slots:
    void initTestCase()
    {
        initialiseImages();
        for (const char *f : {"InvType/FNC.txt", "InvType/typeInfo.txt", "InvType/alarm.txt",
                              "InvType/alarmCode.txt", "InvParameter/Version.txt",
                              "InvParameter/F_InvParameter_Eng.xml",
                              "hideparameter/ZMHideParameter.xml",
                              "hideparameter/ZM-KXHideParameter.xml",
                              "hideparameter/ZNHideParameter.xml"})
            m_dir.copyShipped(QString::fromLatin1(f));
        QVERIFY(loadSeriesFeatures());
        setUserInteraction(&m_ui);
    }
    void init()
    {
        m_ui.reset();
        m_worker = std::make_unique<LinkWorker>();
        m_monitor = std::make_unique<MonitorThread>();
        setCatalogueVersion(QStringLiteral("1.00"));
    }
    void cleanup()
    {
        m_monitor.reset();
        m_worker.reset();
        linkState().setSerialPort(nullptr);
    }
    void cleanupTestCase() { setUserInteraction(nullptr); }

    // The same alarm read twice is logged once; one clear tick lets it be
    // logged again. A read the drive refuses logs nothing.
    void sameAlarmOnce_data()
    {
        QTest::addColumn<QList<int>>("ticks");  // 1 alarm tick, 0 clear tick
        QTest::addColumn<int>("logged");
        QTest::newRow("twice") << QList<int>{1, 1} << 1;
        QTest::newRow("twice, clear, again") << QList<int>{1, 1, 0, 1} << 2;
        QTest::newRow("clear, clear, alarm") << QList<int>{0, 0, 1} << 1;
    }
    void sameAlarmOnce()
    {
        QFETCH(QList<int>, ticks);
        QFETCH(int, logged);
        DriveRig rig("ZN-020-5.5K");  // no operating data: no record wait
        rig.drive->raiseAlarm(48);
        AlarmCode alarms(*m_worker, &m_parameters);
        alarms.loadLampNames();
        for (int tick : ticks) {
            if (tick)
                alarms.showCurrentAlarm();
            else
                alarms.clearAlarmLamps();
            QVERIFY(idle(&alarms));
        }
        QCOMPARE(count(alarms.historyBox()->toPlainText(), " > THT"), logged);
        QCOMPARE(alarms.lastShownCode(), 48);
    }

    // The drive stores its operating data a moment after the alarm: the
    // record is asked for two seconds after the alarm was shown, not before.
    void recordWaitsForTheDrive()
    {
        DriveRig rig("ZM-043-7.5K");
        rig.runAt(10);
        rig.drive->raiseAlarm(16);
        AlarmCode alarms(*m_worker, &m_parameters);
        alarms.loadLampNames();
        auto sent = std::make_shared<SentFrames>();
        linkState().addFrameObserver(sent);
        QElapsedTimer clock;
        alarms.showCurrentAlarm();
        clock.start();
        QTRY_COMPARE(alarms.lastShownCode(), 16);
        const auto recordAsked = [&sent] {
            QMutexLocker lock(&sent->mutex);
            for (const QByteArray &f : sent->frames)  // item select: register 290
                if (f.size() >= 4 && f.at(1) == 0x06 && quint8(f.at(2)) == 0x01 &&
                    quint8(f.at(3)) == 0x22)
                    return true;
            return false;
        };
        while (clock.elapsed() < 1700) {  // two seconds, not what the page says it waits
            QVERIFY(!recordAsked());
            QTest::qWait(50);
        }
        QTRY_VERIFY_WITH_TIMEOUT(recordAsked(), 5000);
        QVERIFY(clock.elapsed() >= 1850);  // a coarse timer may fire 5 % early
        QVERIFY(idle(&alarms));
        linkState().removeFrameObserver(sent);
    }

    // Reads are never queued faster than the line answers: ticks that find
    // one in flight ask nothing.
    void oneReadInFlight()
    {
        DriveRig rig("ZN-020-5.5K");
        rig.drive->raiseAlarm(48);
        AlarmCode alarms(*m_worker, &m_parameters);
        for (int i = 0; i < 10; ++i) {
            alarms.showCurrentAlarm();
            QVERIFY(m_worker->unfinishedJobs() <= 1);
            QVERIFY(alarms.isBusy());
        }
        QVERIFY(idle(&alarms));
        QCOMPARE(count(alarms.historyBox()->toPlainText(), " > THT"), 1);
    }

    // The page goes while its alarm read is in flight.
    void closedWhileReading()
    {
        DriveRig rig("ZM-043-7.5K");
        SimFaults late;
        late.lateMs = 300;
        rig.line->setFaults(1, late);
        rig.drive->raiseAlarm(16);
        auto *page = MainDialPlot::create(nullptr, *m_worker, &m_parameters);
        page->alarmCodePage()->showCurrentAlarm();
        page->diagnosisPage()->historyAlarm();
        QTest::qWait(50);
        page->close();
        delete page;
        QVERIFY(QTest::qWaitFor([&] { return m_worker->unfinishedJobs() == 0; }, 10000));
        QTest::qWait(50);
    }

    // An alarm on the running drive: the status lamp, the alarm lamp, the
    // log with the operating data, the history and "Save All".
    void scenario()
    {
        DriveRig rig("ZM-043-7.5K");
        auto *page = MainDialPlot::create(m_monitor.get(), *m_worker, &m_parameters);
        std::unique_ptr<MainDialPlot> owner(page);
        page->alarmCodePage()->loadLampNames();
        page->resize(1100, 760);
        page->show();
        // Before Run there is nothing but placeholders to save.
        QVERIFY(!page->diagnosisPage()->saveButton()->isEnabled());
        page->startMonitor();
        QVERIFY(QTest::qWaitFor([&] { return page->state() == MainDialPlot::State::Running; }, 10000));
        QVERIFY(page->diagnosisPage()->saveButton()->isEnabled());
        rig.drive->raiseAlarm(16);
        AlarmCode *alarms = page->alarmCodePage();
        QVERIFY(QTest::qWaitFor([&] { return page->statusPanel()->lamp(7)->isLit(); }, 5000));
        QVERIFY(QTest::qWaitFor([&] { return alarms->lastShownCode() == 16; }, 5000));
        QLabel *lamp = alarms->findChild<QLabel *>("OC1");
        QVERIFY(lamp);
        QVERIFY(lamp->pixmap(Qt::ReturnByValue).toImage() ==
                QPixmap(":/new prefix/images/on_red.png").toImage());
        QVERIFY(QTest::qWaitFor([&] {
            return alarms->historyBox()->toPlainText().contains("Accumulative motor operation time:: ");
        }, 8000));
        const QStringList log = alarms->historyBox()->toPlainText().split('\n');
        QCOMPARE(log.size(), 4);
        QVERIFY(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d > OC1$").match(log.at(0)).hasMatch());
        QVERIFY(log.at(1).startsWith("           Frequency:: "));
        page->stopMonitor();

        HideParameter *diagnosis = page->diagnosisPage();
        diagnosis->historyButton()->click();
        QVERIFY(!diagnosis->saveButton()->isEnabled());  // not while the drive is read
        QVERIFY(idle(diagnosis));
        QVERIFY(diagnosis->saveButton()->isEnabled());
        diagnosis->historyButton()->click();
        QVERIFY(idle(diagnosis));
        const QString history = diagnosis->historyBox()->toPlainText();
        QCOMPARE(count(history, "Alarm 1 > OC1"), 2);
        QCOMPARE(count(history, "Alarm 12 > (none)"), 2);
        diagnosis->runTimeButton()->click();
        QVERIFY(idle(diagnosis));
        QVERIFY(diagnosis->runTimeField()->text().endsWith(" min "));

        QTemporaryDir dir;
        const QString file = dir.filePath("all.txt");
        {
            QFile old(file);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old content that is longer than nothing");
        }
        diagnosis->setFileNameAsker([&](QWidget *, const QString &caption, const QString &,
                                        const QString &filter) {
            return caption == "Save Message" && filter == "*.txt" ? file : QString();
        });
        diagnosis->saveButton()->click();
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        auto info = [page](MainDialPlot::InfoField f) { return page->infoValue(f)->text(); };
        const QString expected =
            "\tInverter Type:" + info(MainDialPlot::TypeField) + "\tVersion:" +
            info(MainDialPlot::VersionField) + "\n\tOutput Current:" +
            info(MainDialPlot::CurrentField) + "\tInput Voltage:" + info(MainDialPlot::VoltageField) +
            "\tkw:" + info(MainDialPlot::PowerField) + "\nHistory Alarm Code:\n" + history +
            "\nAccumulative motor operation time:  " + diagnosis->runTimeField()->text();
        QCOMPARE(QString::fromUtf8(saved.readAll()), expected);
        QVERIFY(info(MainDialPlot::TypeField) != "...");
    }

    // A save that cannot be written leaves the old file and says so.
    void saveFails()
    {
        AlarmCode alarms(*m_worker, &m_parameters);
        alarms.setFileNameAsker([](QWidget *, const QString &, const QString &, const QString &) {
            return QStringLiteral("/nonexistent-folder/x.txt");
        });
        alarms.SaveMessage();
        QCOMPARE(m_ui.messagesOfKind("warning").size(), 1);
    }

    void missingCodeFile()
    {
        QTemporaryDir empty;
        setDataDirectory(empty.path());
        AlarmCode alarms(*m_worker, &m_parameters);
        QCOMPARE(m_ui.messagesOfKind("warning").size(), 1);
        QVERIFY(m_ui.messages().at(0).text.startsWith("Cannot read file "));
        QCOMPARE(alarms.lookupAlarmName(16), QString("-1"));
        QCOMPARE(m_ui.messagesOfKind("warning").size(), 2);
        alarms.showAlarm(16);
        QVERIFY(alarms.historyBox()->toPlainText().isEmpty());
        setDataDirectory(m_dir.path());
    }

    // Service mode: the password, the hidden table, its read, the RAM tab.
    // ZP and ZD keep no run time where it can be read: "Read Run Time" stays
    // off there, also after a read of the history, and clicking it sends nothing.
    void runTimeOnlyWhereTheDriveKeepsIt_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("offered");
        QTest::newRow("ZM") << "ZM-043-7.5K" << true;
        QTest::newRow("ZP") << "ZP-043-22K" << false;
    }
    void runTimeOnlyWhereTheDriveKeepsIt()
    {
        QFETCH(QString, model);
        QFETCH(bool, offered);
        DriveRig rig(model);
        std::unique_ptr<MainDialPlot> page(MainDialPlot::create(nullptr, *m_worker, &m_parameters));
        HideParameter *diagnosis = page->diagnosisPage();
        QCOMPARE(diagnosis->runTimeButton()->isEnabled(), offered);
        diagnosis->historyButton()->click();
        QVERIFY(idle(diagnosis));
        QCOMPARE(diagnosis->runTimeButton()->isEnabled(), offered);
    }

    // The service table's headers are shown whole ("Default value", not
    // "Default valu"), in every language.
    void serviceTableHeadersFit_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << "";
        QTest::newRow("simplified Chinese") << "zh_CN";
        QTest::newRow("traditional Chinese") << "zh_Big";
    }
    void serviceTableHeadersFit()
    {
        QFETCH(QString, language);
        QTranslator translator;
        if (!language.isEmpty()) {
            QVERIFY(translator.load(QStringLiteral(VANTREO_BIN_DIR "/language/KorvaneINV_") +
                                    language + ".qm"));
            QCoreApplication::installTranslator(&translator);
        }
        DriveRig rig("ZM-043-7.5K");
        std::unique_ptr<MainDialPlot> page(MainDialPlot::create(nullptr, *m_worker, &m_parameters));
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        HideParameter *diagnosis = page->diagnosisPage();
        // The tab that holds the page, as a click on it would.
        for (QWidget *tab = diagnosis; tab && tab->parentWidget(); tab = tab->parentWidget())
            if (auto *tabs = qobject_cast<QTabWidget *>(tab->parentWidget()->parentWidget()))
                if (tabs->indexOf(tab) >= 0)
                    tabs->setCurrentWidget(tab);
        QTest::mouseClick(diagnosis->serviceButton(), Qt::LeftButton);
        auto *dialog = diagnosis->findChild<PassWordDlg *>("Parameter Password");
        QVERIFY(dialog);
        dialog->findChild<QLineEdit *>("passwordLineEdit")->setText("TARMELO");
        dialog->accept();
        QTableWidget *table = diagnosis->hiddenTable();
        QTRY_VERIFY(table->isVisible());
        QHeaderView *header = table->horizontalHeader();
        const int margin = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int column = 0; column < table->columnCount(); ++column) {
            const QString text = table->horizontalHeaderItem(column)->text();
            const int needed = header->fontMetrics().horizontalAdvance(text) + margin;
            QVERIFY2(header->sectionSize(column) >= needed,
                     qPrintable(QString("%1: %2 < %3").arg(text).arg(header->sectionSize(column))
                                    .arg(needed)));
        }
        QCoreApplication::removeTranslator(&translator);
    }

    void serviceMode_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("ram");
        QTest::addColumn<bool>("refuse77");
        QTest::newRow("ZM-KX") << "ZM-043-5.5K-KX" << true << false;
        QTest::newRow("ZM: no RAM") << "ZM-043-7.5K" << false << false;
        QTest::newRow("ZM, 77 refused") << "ZM-043-7.5K" << false << true;
    }
    void serviceMode()
    {
        QFETCH(QString, model);
        QFETCH(bool, ram);
        QFETCH(bool, refuse77);
        DriveRig rig(model);
        std::unique_ptr<MainDialPlot> page(MainDialPlot::create(nullptr, *m_worker, &m_parameters));
        page->show();
        HideParameter *diagnosis = page->diagnosisPage();
        QVERIFY(diagnosis->serviceButton()->isVisibleTo(diagnosis));
        QVERIFY(!diagnosis->hiddenTable()->isVisibleTo(diagnosis));
        diagnosis->serviceButton()->click();
        auto *dialog = diagnosis->findChild<PassWordDlg *>("Parameter Password");
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        auto *field = dialog->findChild<QLineEdit *>("passwordLineEdit");
        field->setText("wrong");
        dialog->accept();
        QVERIFY(dialog->isVisible());
        QVERIFY(!diagnosis->hiddenMode());
        QCOMPARE(m_ui.messagesOfKind("warning").size(), 1);
        QCOMPARE(m_ui.messages().at(0).text, QString("Password Error !"));
        field->setText("TARMELO");
        dialog->accept();
        QVERIFY(diagnosis->hiddenMode());
        QVERIFY(diagnosis->hiddenTable()->isVisibleTo(diagnosis));
        QVERIFY(diagnosis->hiddenTable()->rowCount() > 0);
        QCOMPARE(diagnosis->ramButton()->isVisibleTo(diagnosis), ram);

        rig.drive->setParameterValue(77, 2);
        if (refuse77)
            rig.drive->setRefusedRegister(77, SimulatedDrive::IllegalAddress);
        QVERIFY(diagnosis->ReadAllValue());
        QVERIFY(idle(diagnosis));
        // The write protection is as it was before the read.
        QCOMPARE(int(rig.drive->parameter(77).value), 2);
        QTableWidget *table = diagnosis->hiddenTable();
        const int last = table->rowCount() - 1;
        if (refuse77) {
            QVERIFY(table->item(last, 2)->text().isEmpty());
        } else {
            QVERIFY(!table->item(0, 2)->text().isEmpty());
            QVERIFY(!table->item(last, 2)->text().isEmpty());
        }

        if (!ram)
            return;
        QTabWidget *tabs = page->tabWidget();
        QLabel *made = nullptr;
        page->setRamPageFactory([&made](QWidget *parent) { return made = new QLabel("ram", parent); });
        diagnosis->ramButton()->click();
        QCOMPARE(tabs->count(), 4);
        QCOMPARE(tabs->tabText(3), QString("RAM"));
        QCOMPARE(page->ramPage(), static_cast<QWidget *>(made));
        QPointer<QLabel> watch(made);
        // Off hides the tab and keeps its page; on shows the same page again.
        diagnosis->ramButton()->click();
        QCOMPARE(tabs->count(), 4);
        QVERIFY(!tabs->isTabVisible(3));
        QVERIFY(!watch.isNull());
        QVERIFY(!page->ramPage());
        QCOMPARE(page->keptRamPage(), static_cast<QWidget *>(made));
        diagnosis->ramButton()->click();
        QCOMPARE(tabs->count(), 4);
        QVERIFY(tabs->isTabVisible(3));
        QCOMPARE(page->ramPage(), static_cast<QWidget *>(made));
        QCOMPARE(tabs->currentWidget(), static_cast<QWidget *>(made));
    }
};

QTEST_MAIN(TestAlarmPages)
#include "tst_alarmpages.moc"
