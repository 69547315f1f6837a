#include "monitor/ramrig.h"

#include "base/sharedstate.h"
#include "gui/widgets/passworddlg.h"
#include "gui/trend/ram.h"
#include "gui/widgets/optiondialog.h"
#include "gui/widgets/plot.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <qwt_plot_curve.h>

#include <atomic>
#include <memory>

namespace {
using Read = QPair<int, int>;

QString fileText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly | QIODevice::Text) ? QString::fromUtf8(f.readAll())
                                                         : QString();
}

// A page unlocked as the service engineer would, by the password dialog.
void unlock(Ram &page, const QString &password = QStringLiteral("tarmelo"))
{
    page.setDialogRunner([password](QDialog &dialog) {
        dialog.findChild<QLineEdit *>(QStringLiteral("passwordLineEdit"))->setText(password);
        QMetaObject::invokeMethod(&dialog, "accept");
        return dialog.result();
    });
    page.passwordAction()->trigger();
}

// The plot's clock in the test's hand.
std::shared_ptr<std::atomic<qint64>> manualClock(Plot *plot)
{
    auto ms = std::make_shared<std::atomic<qint64>>(0);
    plot->setClock([ms] { return ms->load(); });
    return ms;
}
}  // namespace

// The RAM page on a simulated drive: the password, what runs read and
// show, failures, saving, and its end while its reader is busy.
class TestRam : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_dir.copyShipped("InvType/FNC.txt");
        m_dir.copyShipped("InvType/typeInfo.txt");
        QVERIFY(loadSeriesFeatures());
        setUserInteraction(&m_ui);
    }
    void cleanupTestCase()
    {
        setUserInteraction(nullptr);
        setSeriesLetter('0');
    }
    void init() { m_ui.reset(); }

    // The series decides the memory window the addresses start in.
    void startingAddress_data()
    {
        QTest::addColumn<char>("series");
        QTest::addColumn<QString>("address");
        QTest::newRow("no drive") << '0' << "9000";
        QTest::newRow("ZN") << 'F' << "9000";
        QTest::newRow("ZQ") << 'A' << "D000";
        QTest::newRow("ZR") << 'T' << "D000";
    }
    void startingAddress()
    {
        QFETCH(char, series);
        QFETCH(QString, address);
        setSeriesLetter(series);
        Ram page;
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(page.addressField(i)->text(), address);
            QVERIFY(page.channelCheck(i)->isChecked());
            QCOMPARE(page.typeBox(i)->currentText(), QString("8bit"));
            QVERIFY(page.valueField(i)->isReadOnly());
            QCOMPARE(page.penWidthBox(i)->count(), 8);
        }
        QCOMPARE(page.plot()->curveCount(), 2);
        QCOMPARE(page.plot()->timeUpper(), 60.0);
        QCOMPARE(page.plot()->valueUpper(), 300.0);
        setSeriesLetter('0');
    }

    // Up to four hex digits; anything else is not taken.
    void addressValidator_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("hex") << "d00A" << "d00A";
        QTest::newRow("five digits") << "D0001" << "D000";
        QTest::newRow("not hex") << "9G" << "9";
        QTest::newRow("sign") << "-1" << "1";
    }
    void addressValidator()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        Ram page;
        QLineEdit *field = page.addressField(0);
        field->clear();
        QTest::keyClicks(field, typed);
        QCOMPARE(field->text(), kept);
    }

    // "Run" is offered only after the right password; Stop does not offer it.
    void password_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("unlocked");
        QTest::newRow("right") << "tarmelo" << true;
        QTest::newRow("any case") << "TarMelo" << true;
        QTest::newRow("wrong") << "tarmel" << false;
        QTest::newRow("empty") << "" << false;
    }
    void password()
    {
        QFETCH(QString, password);
        QFETCH(bool, unlocked);
        Ram page;
        QVERIFY(!page.runAction()->isEnabled());
        QVERIFY(page.passwordAction()->isEnabled());
        page.stopAction()->trigger();
        QVERIFY(!page.runAction()->isEnabled());
        QString name;
        page.setDialogRunner([&](QDialog &dialog) {
            name = dialog.objectName();
            dialog.findChild<QLineEdit *>(QStringLiteral("passwordLineEdit"))->setText(password);
            QMetaObject::invokeMethod(&dialog, "accept");
            return dialog.result();
        });
        page.passwordAction()->trigger();
        QCOMPARE(name, QString("RAM Password"));
        QCOMPARE(page.runAction()->isEnabled(), unlocked);
        QCOMPARE(page.isUnlocked(), unlocked);
        QCOMPARE(m_ui.messagesOfKind("warning").size(), unlocked ? 0 : 1);
        page.startMonitor();
        QCOMPARE(page.isRunning(), unlocked);
        page.stopMonitor();
        QCOMPARE(page.runAction()->isEnabled(), unlocked);
    }

    // A run reads what the fields say and shows it unsigned; the controls
    // are locked while it runs.
    void run_data()
    {
        QTest::addColumn<QString>("address1");
        QTest::addColumn<int>("type1");
        QTest::addColumn<bool>("check2");
        QTest::addColumn<QString>("address2");
        QTest::addColumn<int>("type2");
        QTest::addColumn<Read>("read1");
        QTest::addColumn<QString>("value1");
        QTest::addColumn<QString>("value2");
        QTest::newRow("32 bit at D000, first byte 0x82")
            << "D000" << 2 << true << "9004" << 0 << qMakePair(0xD000, 4) << "2181038080" << "148";
        QTest::newRow("32 bit at D004") << "d004" << 2 << true << "9008" << 1
                                        << qMakePair(0xD004, 4) << "2495208963" << "10317";
        QTest::newRow("empty address reads 0")
            << "" << 0 << true << "9005" << 0 << qMakePair(0, 1) << "171" << "185";
        QTest::newRow("channel 2 unchecked")
            << "9004" << 1 << false << "9005" << 0 << qMakePair(0x9004, 2) << "38073" << "";
    }
    void run()
    {
        QFETCH(QString, address1);
        QFETCH(int, type1);
        QFETCH(bool, check2);
        QFETCH(QString, address2);
        QFETCH(int, type2);
        QFETCH(Read, read1);
        QFETCH(QString, value1);
        QFETCH(QString, value2);
        RamRig rig;
        rig.setCounter(130);
        rig.drive->setParameterValue(0, 0x12AB);
        Ram page;
        unlock(page);
        page.addressField(0)->setText(address1);
        page.typeBox(0)->setCurrentIndex(type1);
        page.addressField(1)->setText(address2);
        page.typeBox(1)->setCurrentIndex(type2);
        page.channelCheck(1)->setChecked(check2);
        ErrorRecorder errors;
        page.startMonitor();
        QVERIFY(page.isRunning());
        QPointer<RamThread> reader = page.reader();
        QVERIFY(reader && reader->isRunning());
        QCOMPARE(reader->target().station, 1);
        for (QAction *a : {page.runAction(), page.optionAction(), page.saveDataAction(),
                           page.saveChartAction()})
            QVERIFY2(!a->isEnabled(), qPrintable(a->text()));
        for (int i = 0; i < 2; ++i)
            QVERIFY(!page.addressField(i)->isEnabled() && !page.typeBox(i)->isEnabled());
        QTRY_VERIFY(page.plot()->series(2).size() >= 3);
        QTRY_COMPARE(page.valueField(0)->text(), value1);
        QCOMPARE(page.valueField(1)->text(), value2);
        page.stopMonitor();
        QVERIFY(!page.reader());
        // Told to stop, it ends after its exchange and is deleted.
        QTRY_VERIFY(!reader);
        for (QAction *a : {page.runAction(), page.optionAction(), page.saveDataAction(),
                           page.saveChartAction()})
            QVERIFY2(a->isEnabled(), qPrintable(a->text()));
        for (int i = 0; i < 2; ++i)
            QVERIFY(page.addressField(i)->isEnabled() && page.typeBox(i)->isEnabled());

        const QList<QPair<int, int>> reads = rig.log->reads();
        QCOMPARE(reads.first(), read1);
        const int perPass = check2 ? 2 : 1;
        for (int k = 0; k < reads.size(); ++k)
            QCOMPARE(reads.at(k).first, k % perPass == 0 ? read1.first : address2.toInt(nullptr, 16));
        // Charted as read: positive, whole; nothing for an unchecked channel.
        const QVector<QPointF> curve = page.plot()->series(0);
        QVERIFY(!curve.isEmpty());
        for (const QPointF &p : curve)
            QCOMPARE(p.y(), value1.toDouble());
        QCOMPARE(page.plot()->series(1).isEmpty(), !check2);
        QCOMPARE(curve.size(), page.plot()->series(2).size());
        QVERIFY(errors.codes().isEmpty());
        // The samples stay after the stop.
        QCOMPARE(page.plot()->series(0).size(), curve.size());
    }

    // A location holding all ones is shown and charted as read, in both
    // channels, on either Modbus line.
    void allOnesShown_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::newRow("RTU") << 1;
        QTest::newRow("ASCII") << 2;
    }
    void allOnesShown()
    {
        QFETCH(int, protocol);
        RamRig rig(true, protocol);
        for (int k = 0; k < 4; ++k)
            rig.drive->setRamByte(0x9040 + k, 0xFF);
        rig.drive->setRamByte(0x9050, 0xFF);
        rig.drive->setRamByte(0x9051, 0xFF);
        Ram page;
        unlock(page);
        page.addressField(0)->clear();
        QTest::keyClicks(page.addressField(0), "9040");
        page.typeBox(0)->setCurrentIndex(2);
        page.addressField(1)->clear();
        QTest::keyClicks(page.addressField(1), "9050");
        page.typeBox(1)->setCurrentIndex(1);
        ErrorRecorder errors;
        page.runAction()->trigger();
        QVERIFY(page.isRunning());
        QTRY_VERIFY(page.plot()->series(2).size() >= 3);
        QTRY_COMPARE(page.valueField(0)->text(), QString("4294967295"));
        QCOMPARE(page.valueField(1)->text(), QString("65535"));
        page.stopAction()->trigger();
        const QList<QPair<int, int>> reads = rig.log->reads();
        QVERIFY(reads.size() >= 6);
        for (int k = 0; k < reads.size(); ++k)
            QCOMPARE(reads.at(k), k % 2 ? qMakePair(0x9050, 2) : qMakePair(0x9040, 4));
        for (const QPointF &p : page.plot()->series(0))
            QCOMPARE(p.y(), 4294967295.0);
        for (const QPointF &p : page.plot()->series(1))
            QCOMPARE(p.y(), 65535.0);
        QVERIFY(!page.plot()->series(1).isEmpty());
        QVERIFY(errors.codes().isEmpty());
    }

    // The native protocol has no memory read: Run says so, once each time,
    // and starts nothing.
    void nativeProtocolSaysSoOnRun()
    {
        RamRig rig;
        linkState().protocolCode = 0;
        setCurrentDriver(createDriver(0));
        Ram page;
        unlock(page);
        for (int press = 1; press <= 2; ++press) {
            page.runAction()->trigger();
            QVERIFY(!page.isRunning());
            QVERIFY(!page.reader());
            QTest::qWait(100);
            const auto warnings = m_ui.messagesOfKind("warning");
            QCOMPARE(warnings.size(), press);
            QVERIFY2(warnings.last().text.contains("native protocol"), qPrintable(warnings.last().text));
        }
        // Nothing read, nothing shown.
        QCOMPARE(page.valueField(0)->text(), QString());
        QVERIFY(page.plot()->series(2).isEmpty());
        QVERIFY(rig.log->reads().isEmpty());
    }

    // A refused location, a short answer or a dead line: "--" shown,
    // nothing charted, one report.
    void failedRead_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("code");
        QTest::newRow("refused") << "refused" << 12;
        QTest::newRow("short answer") << "short" << 14;
        QTest::newRow("no answer") << "dead" << 8;
    }
    void failedRead()
    {
        QFETCH(QString, fault);
        QFETCH(int, code);
        RamRig rig;
        const int address = SimRegisters::RamBase1 + 0x20;
        if (fault == "dead") {
            rig.breakLine();
        } else if (fault == "short") {
            SimFaults faults;
            faults.shortBy = 1;
            rig.line->setFaults(1, faults);
        } else {
            rig.drive->setRefusedRegister(address, SimulatedDrive::IllegalAddress);
        }
        Ram page;
        unlock(page);
        page.addressField(0)->setText(QString::number(address, 16));
        ErrorRecorder errors;
        page.startMonitor();
        QTRY_COMPARE(page.valueField(0)->text(), QString("--"));
        QTRY_VERIFY(rig.log->reads().size() >= 3);
        page.stopMonitor();
        QCOMPARE(page.valueField(1)->text(), QString("0"));  // never read
        for (int i = 0; i <= 2; ++i)
            QVERIFY(page.plot()->series(i).isEmpty());
        QCOMPARE(errors.codes(), QList<int>{code});
    }

    // Switching a channel during a run: off empties and hides its curve and
    // stops its reads; on reads it again before it is charted.
    void channelSwitchedDuringRun()
    {
        RamRig rig;
        Ram page;
        unlock(page);
        page.addressField(0)->setText("9004");
        page.addressField(1)->setText("9005");
        page.startMonitor();
        QTRY_VERIFY(!page.plot()->series(1).isEmpty());
        page.channelCheck(1)->setChecked(false);
        QVERIFY(!page.plot()->curve(1)->isVisible());
        QCOMPARE(page.valueField(1)->text(), QString());
        rig.log->clear();
        const int track = page.plot()->series(2).size();
        QTRY_VERIFY(page.plot()->series(2).size() >= track + 3);
        QVERIFY(page.plot()->series(1).isEmpty());
        page.channelCheck(1)->setChecked(true);
        QVERIFY(page.plot()->curve(1)->isVisible());
        QTRY_VERIFY(page.plot()->series(1).size() >= 2);
        page.stopMonitor();
        for (const QPointF &p : page.plot()->series(1))
            QCOMPARE(p.y(), 185.0);
        bool sawSecond = false;
        for (const auto &r : rig.log->reads())
            sawSecond = sawSecond || r.first == 0x9005;
        QVERIFY(sawSecond);
    }

    // Saved after the chart has scrolled: the visible moments only, each
    // value whole and unsigned.
    void saveDataAfterScrolling()
    {
        RamRig rig;
        Ram page;
        unlock(page);
        auto clock = manualClock(page.plot());
        page.addressField(0)->setText("D004");
        page.typeBox(0)->setCurrentIndex(2);
        page.addressField(1)->setText("9005");
        page.startMonitor();
        QTRY_VERIFY(page.plot()->series(2).size() >= 2);
        *clock = 70000;  // past the first page: the window is 10 .. 70 s
        const int early = page.plot()->series(2).size();
        QTRY_VERIFY(page.plot()->series(2).size() >= early + 2);
        page.stopMonitor();
        page.plot()->updateCurve();
        QCOMPARE(page.plot()->timeLower(), 10.0);
        int visible = 0;
        for (const QPointF &p : page.plot()->series(2))
            visible += p.x() >= 10 ? 1 : 0;
        QVERIFY(visible < page.plot()->series(2).size());  // one kept on the left

        QTemporaryDir dir;
        const QString file = dir.filePath("ram.xls");
        page.setFileNameAsker([&](QWidget *, const QString &, const QString &, const QString &) {
            return file;
        });
        page.saveDataAction()->trigger();
        QStringList lines = fileText(file).split('\n');
        QCOMPARE(lines.takeFirst(), QString("D004H\t9005H\t"));
        QCOMPARE(lines.takeLast(), QString());
        QCOMPARE(lines.size(), visible);
        for (const QString &line : lines)
            QCOMPARE(line, QString("2495208963D\t185D\t"));
    }

    // "Save Data" to a place that cannot be written is said as a failed
    // "Save Chart" is.
    void saveDataToAnUnwritablePlace()
    {
        Ram page;
        page.plot()->addChannelSamples(QByteArray("\1\1", 2), {1, 2});
        QTemporaryDir dir;
        const QString file = dir.filePath("none/ram.xls");
        page.setFileNameAsker([&](QWidget *, const QString &, const QString &, const QString &) {
            return file;
        });
        page.saveDataAction()->trigger();
        QVERIFY(!QFile::exists(file));
        const auto warnings = m_ui.messagesOfKind("warning");
        QCOMPARE(warnings.size(), 1);
        QCOMPARE(warnings.at(0).title, QString("Warning"));
        QVERIFY2(warnings.at(0).text.startsWith("Cannot write file " + QDir::toNativeSeparators(file) + ":\n"),
                 qPrintable(warnings.at(0).text));
    }

    // The option dialog starts from the page width, not from where the
    // window has scrolled to, and sets both axes.
    void optionDialog()
    {
        Ram page;
        auto clock = manualClock(page.plot());
        page.plot()->start();
        *clock = 90000;
        page.plot()->addChannelSamples(QByteArray("\1\1", 2), {1, 2});
        page.plot()->stop();
        QCOMPARE(page.plot()->timeUpper(), 90.0);
        int seconds = 0, maximum = 0;
        QString name;
        page.setDialogRunner([&](QDialog &d) {
            auto &dialog = static_cast<OptionDialog &>(d);
            name = dialog.objectName();
            seconds = dialog.seconds();
            maximum = dialog.maximum();
            dialog.findChild<QSpinBox *>(QStringLiteral("secondsSpinBox"))->setValue(20);
            dialog.findChild<QSpinBox *>(QStringLiteral("maxSpinBox"))->setValue(1000);
            dialog.setValue();
            return int(QDialog::Accepted);
        });
        page.optionAction()->trigger();
        QCOMPARE(name, QString("RamAdvancePlot"));
        QCOMPARE(seconds, 60);
        QCOMPARE(maximum, 300);
        QCOMPARE(page.plot()->timeUpper(), 20.0);
        QCOMPARE(page.plot()->valueUpper(), 1000.0);
    }

    void penColorAndWidth_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<QColor>("chosen");
        QTest::addColumn<int>("widthIndex");
        QTest::newRow("Ch1 red, 3") << 0 << QColor(255, 0, 0) << 2;
        QTest::newRow("Ch2 grey, 8") << 1 << QColor(10, 20, 30) << 7;
        QTest::newRow("Ch1 cancelled") << 0 << QColor() << 0;
    }
    void penColorAndWidth()
    {
        QFETCH(int, channel);
        QFETCH(QColor, chosen);
        QFETCH(int, widthIndex);
        Ram page;
        QColor offered;
        page.setColorChooser([&](const QColor &initial, QWidget *) {
            offered = initial;
            return chosen;
        });
        const QColor before = page.penColor(channel);
        QCOMPARE(before, channel == 0 ? QColor(Qt::green) : QColor(Qt::blue));
        page.colorButton(channel)->click();
        QCOMPARE(offered, before);
        const QColor now = chosen.isValid() ? chosen : before;
        QCOMPARE(page.plot()->curve(channel)->pen().color(), now);
        QCOMPARE(page.plot()->curve(1 - channel)->pen().color(), page.penColor(1 - channel));
        if (chosen.isValid())
            QCOMPARE(page.colorButton(channel)->styleSheet(),
                     QString("background-color:rgb(%1,%2,%3);border:1px solid gray;")
                         .arg(chosen.red()).arg(chosen.green()).arg(chosen.blue()));
        page.penWidthBox(channel)->setCurrentIndex(widthIndex);
        QCOMPARE(page.plot()->curve(channel)->pen().width(), widthIndex + 1);
        QCOMPARE(page.plot()->curve(1 - channel)->pen().width(), 1);
    }

    // The chart is saved as PNG; a name without a suffix gets ".png"; a
    // file that cannot be written is said, not passed over.
    void saveChart_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("written");
        QTest::newRow("png") << "chart.png" << "chart.png";
        QTest::newRow("no suffix") << "chart" << "chart.png";
        QTest::newRow("no folder") << "none/chart.png" << "";
        QTest::newRow("cancelled") << "" << "";
    }
    void saveChart()
    {
        QFETCH(QString, name);
        QFETCH(QString, written);
        QTemporaryDir dir;
        Ram page;
        page.resize(800, 600);
        QString caption, filter;
        page.setFileNameAsker([&](QWidget *, const QString &c, const QString &, const QString &f) {
            caption = c;
            filter = f;
            return name.isEmpty() ? QString() : dir.filePath(name);
        });
        page.saveChartAction()->trigger();
        QCOMPARE(caption, QString("Save Chart"));
        QCOMPARE(filter, QString("*.png"));
        if (!written.isEmpty()) {
            QImage image(dir.filePath(written));
            QCOMPARE(image.size(), page.size());
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), written.isEmpty() ? 0 : 1);
        QCOMPARE(m_ui.messagesOfKind("warning").size(), name.contains('/') ? 1 : 0);
    }

    // The monitor window closes: the reader is stopped (it ends after its
    // exchange and is deleted), the controls stay locked.
    void offLine()
    {
        RamRig rig;
        Ram page;
        unlock(page);
        page.startMonitor();
        QTRY_VERIFY(!page.plot()->series(2).isEmpty());
        QPointer<RamThread> reader = page.reader();
        page.offLine();
        QVERIFY(!page.reader());
        QTRY_VERIFY(!reader);
        QVERIFY(!page.isRunning());
        QVERIFY(!page.plot()->isRefreshing());
        QVERIFY(!page.runAction()->isEnabled());
        QVERIFY(!page.addressField(0)->isEnabled());
        const int samples = page.plot()->series(2).size();
        QTest::qWait(50);
        QCOMPARE(page.plot()->series(2).size(), samples);
    }

    // Destroyed while its reader waits on the line or samples: no call
    // reaches the freed page, the end does not wait for the line, and the
    // reader ends after its exchange.
    void destroyedWhileReading_data()
    {
        QTest::addColumn<bool>("dead");
        QTest::newRow("reading") << false;
        QTest::newRow("waiting for an answer") << true;
    }
    void destroyedWhileReading()
    {
        QFETCH(bool, dead);
        RamRig rig(false);
        if (dead)
            rig.breakLine();
        auto *page = new Ram;
        unlock(*page);
        page->show();
        page->startMonitor();
        QTRY_VERIFY_WITH_TIMEOUT(!rig.log->reads().isEmpty(), 3000);
        if (!dead)
            QTRY_VERIFY_WITH_TIMEOUT(!page->plot()->series(2).isEmpty(), 3000);
        QPointer<RamThread> reader = page->reader();
        QElapsedTimer clock;
        clock.start();
        delete page;
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
        QTRY_VERIFY_WITH_TIMEOUT(!reader, 3000);
        const int sent = rig.log->reads().size();
        QTest::qWait(100);
        QCOMPARE(rig.log->reads().size(), sent);
    }

private:
    DataDir m_dir;
    RecordingInteraction m_ui;
};

QTEST_MAIN(TestRam)
#include "tst_ram.moc"
