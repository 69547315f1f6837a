#include "common/testsupport.h"
#include "gui/trend/advanceplot.h"
#include "gui/widgets/plot.h"
#include "monitor/monitordata.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <qwt_plot_curve.h>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

namespace {
// Either chart on a clock the test moves, behind one face: the sample
// chart as the RAM page uses it (two curves), the trend chart as the trend
// window does (channel 0 sampling quantity 0).
struct Chart {
    qint64 ms = 0;
    std::unique_ptr<Plot> sample;
    std::unique_ptr<AdvancePlot> trend;
    QCheckBox check1, check2;
    QLineEdit name1{QStringLiteral("9000")}, name2{QStringLiteral("9001")};
    QComboBox caption;

    explicit Chart(const QString &kind)
    {
        check1.setChecked(true);
        caption.addItem(QStringLiteral("Output Frequency"));
        if (kind == QLatin1String("sample")) {
            sample = std::make_unique<Plot>(2, 60, 300);
            sample->setClock([this] { return ms; });
        } else {
            trend = std::make_unique<AdvancePlot>();
            trend->setClock([this] { return ms; });
            trend->setWallClock([this] { return 1700000000000 + ms; });
            trend->setChannelOn(0, true);
        }
    }
    PlotBase *plot() const
    {
        return sample ? static_cast<PlotBase *>(sample.get()) : trend.get();
    }
    void start() { sample ? sample->start() : trend->start(); }
    void stop() { sample ? sample->stop() : trend->stop(); }
    // `count` samples `stepMs` apart, of the values 1000, 1001, ...
    void record(int count, int stepMs)
    {
        for (int k = 0; k < count; ++k) {
            ms += stepMs;
            if (sample) {
                sample->addChannelSamples(QByteArray("\1\0", 2), {quint32(1000 + k), 0});
            } else {
                monitorData().setValue(0, 1000 + k);
                trend->addSample(QVector<bool>(AdvancePlot::kChannels, true),
                                 QVector<int>(AdvancePlot::kChannels, 0));
            }
        }
    }
    // The points curve 0 draws now.
    int drawn() const
    {
        return int(sample ? sample->curve(0)->dataSize() : trend->curve(0)->dataSize());
    }
    // The first sample's time, in seconds since start().
    double firstTime() const
    {
        return sample ? sample->series(0).value(0).x() : trend->recording().at(0).t;
    }
    void save(const QString &file)
    {
        plot()->setFileNameAsker([file](QWidget *, const QString &, const QString &,
                                        const QString &) { return file; });
        if (sample)
            sample->saveData({&check1, &check2}, {&name1, &name2},
                             {QStringLiteral("Warning"), QStringLiteral("Cannot write file %1:\n%2.")});
        else
            trend->saveData({&check1}, {&caption});
    }
};

QByteArray readAll(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString &file, const QByteArray &bytes)
{
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), qint64(bytes.size()));
}
}  // namespace

// What the sample chart and the trend chart share: the refresh while
// samples come, the clock, and "Save Data": written atomically, a failure
// shown and the file that was there kept.
class TestPlotBase : public QObject
{
    Q_OBJECT

    RecordingInteraction m_ui;

    void addCharts()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("sample chart") << "sample" << "xls";
        QTest::newRow("trend chart, .txt") << "trend" << "txt";
        QTest::newRow("trend chart, .xls") << "trend" << "xls";
    }

private slots:
    void initTestCase() { setUserInteraction(&m_ui); }
    void cleanupTestCase() { setUserInteraction(nullptr); }
    void init()
    {
        m_ui.clear();
        monitorData().reset();
    }

    // The clock counts from start(), whatever it read before.
    void clockCountsFromStart_data() { addCharts(); }
    void clockCountsFromStart()
    {
        QFETCH(QString, kind);
        Chart chart(kind);
        chart.ms = 5000;
        chart.start();
        chart.record(1, 500);
        QCOMPARE(chart.firstTime(), 0.5);
        chart.stop();
    }

    // Redrawn every 30 ms while running, only when samples came; nothing
    // once stopped.
    void refreshWhileRunning_data() { addCharts(); }
    void refreshWhileRunning()
    {
        QFETCH(QString, kind);
        Chart chart(kind);
        QVERIFY(!chart.plot()->isRefreshing());
        chart.start();
        QVERIFY(chart.plot()->isRefreshing());
        chart.record(5, 100);
        QTRY_COMPARE(chart.drawn(), 5);
        // Nothing new: the curve is left as it is.
        QwtPlotCurve *curve = chart.sample ? chart.sample->curve(0) : chart.trend->curve(0);
        curve->setSamples(QVector<QPointF>());
        QTest::qWait(100);
        QCOMPARE(chart.drawn(), 0);
        chart.record(1, 100);
        QTRY_COMPARE(chart.drawn(), 6);
        chart.stop();
        QVERIFY(!chart.plot()->isRefreshing());
    }

    // A file that cannot be written is said, with the file and the reason;
    // nothing is left behind and a file that was there stays as it was. A
    // cancelled choice does nothing.
    void saveFailure_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("place");
        const QStringList places{"cancelled", "missing folder", "folder is a file",
                                 "read-only folder", "file size limit"};
        for (const QString &place : places) {
            QTest::newRow(qPrintable("sample chart, " + place)) << "sample" << "xls" << place;
            QTest::newRow(qPrintable("trend chart .txt, " + place)) << "trend" << "txt" << place;
            QTest::newRow(qPrintable("trend chart .xls, " + place)) << "trend" << "xls" << place;
        }
    }
    void saveFailure()
    {
        QFETCH(QString, kind);
        QFETCH(QString, suffix);
        QFETCH(QString, place);
        if (place == "read-only folder" && geteuid() == 0)
            QSKIP("root writes into a read-only folder");
        Chart chart(kind);
        chart.start();
        chart.record(1000, 10);
        chart.stop();
        chart.plot()->updateCurve();
        QTemporaryDir dir;
        const QByteArray old = "the previous file\n" + QByteArray(100, 'x');
        QString file = dir.filePath("data." + suffix);
        QStringList left{"data." + suffix};
        if (place == "missing folder") {
            file = dir.filePath("no/such/folder/data." + suffix);
            left.clear();
        } else if (place == "folder is a file") {
            writeBytes(dir.filePath("plain"), old);
            file = dir.filePath("plain/data." + suffix);
            left = QStringList{"plain"};
        } else if (place == "read-only folder") {
            QVERIFY(QDir(dir.path()).mkdir("locked"));
            file = dir.filePath("locked/data." + suffix);
            writeBytes(file, old);
            QVERIFY(QFile::setPermissions(dir.filePath("locked"),
                                          QFile::ReadOwner | QFile::ExeOwner));
            left = QStringList{"locked"};
        } else {
            writeBytes(file, old);
        }

        if (place == "cancelled") {
            chart.save(QString());
        } else if (place == "file size limit") {
            // Writes beyond 4 KiB fail (EFBIG) as on a full disk.
            struct rlimit saved;
            QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
            const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
            struct rlimit small = saved;
            small.rlim_cur = 4096;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
            chart.save(file);
            setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, previousHandler);
        } else {
            chart.save(file);
        }

        if (place == "read-only folder")
            QFile::setPermissions(dir.filePath("locked"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                 left);
        if (place == "missing folder")
            QVERIFY(!QFile::exists(file));
        else if (place == "folder is a file")
            QCOMPARE(readAll(dir.filePath("plain")), old);
        else
            QCOMPARE(readAll(file), old);
        if (place == "read-only folder")
            QCOMPARE(QDir(dir.filePath("locked")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries |
                                                            QDir::Hidden),
                     QStringList{"data." + suffix});
        if (place == "cancelled") {
            QVERIFY(m_ui.messages().isEmpty());
        } else {
            QCOMPARE(m_ui.messages().size(), 1);
            const auto message = m_ui.messages().at(0);
            QCOMPARE(message.kind, QString("warning"));
            QCOMPARE(message.title, QString("Warning"));
            const QString start = "Cannot write file " + QDir::toNativeSeparators(file) + ":\n";
            QVERIFY2(message.text.startsWith(start), qPrintable(message.text));
            QVERIFY(message.text.size() > start.size() + 1);  // the reason
            QVERIFY(message.text.endsWith('.'));
        }
        if (chart.trend)
            QVERIFY(chart.trend->hasUnsavedSamples());

        // Where it can be written, the same save replaces the file whole.
        if (place == "file size limit" || place == "cancelled") {
            m_ui.clear();
            chart.save(file);
            QVERIFY(m_ui.messages().isEmpty());
            const QByteArray now = readAll(file);
            QVERIFY(now.size() > 4096);
            QVERIFY(!now.startsWith("the previous file"));
            QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                     left);
            if (chart.trend)
                QVERIFY(!chart.trend->hasUnsavedSamples());
        }
    }
};

QTEST_MAIN(TestPlotBase)
#include "tst_plotbase.moc"
