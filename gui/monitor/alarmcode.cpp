#include "alarmcode.h"

#include "monitor/alarmrecordreader.h"
#include "gui/widgets/drivetitle.h"

#include "base/messagetable.h"
#include "base/sharedstate.h"
#include "base/userinteraction.h"
#include "link/linkjob.h"
#include "link/linkstate.h"
#include "link/linkworker.h"
#include "parameters/atomicfile.h"
#include "parameters/parameterstate.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString kOff = QStringLiteral(":/new prefix/images/off.png");
const QString kOnRed = QStringLiteral(":/new prefix/images/on_red.png");
constexpr int kRows = 5;

// What a job leaves for the page; written on the worker, read after finished.
struct AlarmAnswer {
    int number = -1;
    QStringList lines;
};
}  // namespace

AlarmCode::AlarmCode(LinkWorker &worker, ParameterAccess *parameters, QWidget *parent)
    : QWidget(parent), m_worker(worker), m_parameters(parameters),
      m_target(windowDriveTarget()), m_recordDelay(new QTimer(this))
{
    m_askFileName = [](QWidget *p, const QString &caption, const QString &dir,
                       const QString &filter) {
        return QFileDialog::getSaveFileName(p, caption, dir, filter);
    };
    m_recordDelay->setSingleShot(true);
    m_recordDelay->setInterval(kRecordDelayMs);
    connect(m_recordDelay, &QTimer::timeout, this, &AlarmCode::readRecord);

    auto *layout = new QVBoxLayout(this);
    auto *lampRow = new QHBoxLayout;
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(5);
    const QPixmap off(kOff);
    for (int i = 0; i < kLampCount; ++i) {
        m_lamps[i] = new QLabel(this);
        m_lamps[i]->setPixmap(off);
        m_captions[i] = new QLabel(QString::number(i), this);
        const int column = 2 * (i / kRows);
        grid->addWidget(m_lamps[i], i % kRows, column);
        grid->addWidget(m_captions[i], i % kRows, column + 1);
    }
    lampRow->addLayout(grid);
    lampRow->addStretch();
    layout->addLayout(lampRow);
    layout->addSpacing(20);
    auto *messageRow = new QHBoxLayout;
    m_historyCaption = new QLabel(this);
    m_saveButton = new QPushButton(this);
    m_saveButton->setObjectName(QStringLiteral("saveMessagePB"));
    messageRow->addWidget(m_historyCaption);
    messageRow->addWidget(m_saveButton);
    messageRow->addStretch();
    layout->addLayout(messageRow);
    m_history = new QTextEdit(this);
    m_history->setReadOnly(true);
    layout->addWidget(m_history, 1);
    connect(m_saveButton, &QPushButton::clicked, this, &AlarmCode::SaveMessage);
    retranslate();
    loadCodeTable();
}

AlarmCode::~AlarmCode() { cancelReads(); }

void AlarmCode::retranslate()
{
    m_historyCaption->setText(tr("History Message"));
    m_saveButton->setText(tr("Save Message"));
}

void AlarmCode::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void AlarmCode::loadCodeTable()
{
    const QString fileName = dataPath(QStringLiteral("InvType/alarmCode.txt"));
    QString error;
    if (!m_codes.load(fileName, &error))
        userInteraction()->warning(messageText(20), tr("Cannot read file %1:\n%2.")
                                                        .arg(QDir::toNativeSeparators(fileName),
                                                             error));
}

void AlarmCode::loadLampNames()
{
    m_lampNames = AlarmLampList::lampNames(
        AlarmLampList::read(dataPath(QStringLiteral("InvType/alarm.txt")), m_target.series,
                            m_target.catalogueVersion.toDouble()));
    for (int i = 0; i < kLampCount; ++i) {
        const bool shown = i < m_lampNames.size();
        if (shown) {
            m_captions[i]->setText(m_lampNames.at(i) + QStringLiteral("    "));
            m_lamps[i]->setObjectName(m_lampNames.at(i));
        }
        m_captions[i]->setVisible(shown);
        m_lamps[i]->setVisible(shown);
    }
}

AlarmCodeTable AlarmCode::codeTable()
{
    if (m_codes.isEmpty())
        loadCodeTable();
    return m_codes;
}

QString AlarmCode::lookupAlarmName(int number)
{
    if (codeTable().isEmpty())
        return QStringLiteral("-1");
    return m_codes.lookup(number, m_target.series);
}

bool AlarmCode::isBusy() const { return m_job || m_recordDelay->isActive(); }

void AlarmCode::showCurrentAlarm()
{
    m_latestRead = 0;
    if (isBusy())
        return;  // one read at a time, never faster than the line answers
    auto answer = std::make_shared<AlarmAnswer>();
    DriveTargetScope page(m_target);  // the job reads the window's drive
    auto job = makeLinkJob<FunctionJob>([answer](LinkJob &) {
        // The drive may refuse the alarm registers while it reports an alarm.
        SwitchScope accept(linkState().acceptReject288, true);
        answer->number = AlarmRecordReader::currentAlarmNumber();
    });
    m_job = job;
    LinkJob *raw = job.get();
    const unsigned clears = m_clearCount;
    connect(raw, &LinkJob::finished, this, [this, raw, answer, clears] {
        if (m_job.get() != raw)
            return;
        m_job.reset();
        if (clears == m_clearCount && answer->number >= 0)
            alarmAnswered(raw, answer->number);
    });
    m_worker.post(job);
}

void AlarmCode::alarmAnswered(LinkJob *, int number)
{
    m_latestRead = number;
    showAlarm(number);
}

void AlarmCode::showAlarm(int number)
{
    if (number == m_lastShown)
        return;
    m_lastShown = number;
    const QString name = lookupAlarmName(number);
    if (name == QLatin1String("-1"))
        return;
    const QPixmap on(kOnRed);
    for (QLabel *lamp : m_lamps)
        if (lamp->objectName() == name && !name.isEmpty())
            lamp->setPixmap(on);
    append(QTime::currentTime().toString(QStringLiteral("hh:mm:ss")) + QStringLiteral(" > ") +
           name);
    DriveTargetScope page(m_target);
    if (m_parameters && isSeriesFeature(QStringLiteral("alarmcode_errorInfomation")))
        m_recordDelay->start();
}

void AlarmCode::readRecord()
{
    if (!m_parameters)
        return;
    auto answer = std::make_shared<AlarmAnswer>();
    ParameterAccess *parameters = m_parameters;
    DriveTargetScope page(m_target);
    const AlarmDrive drive = AlarmDrive::current();
    const bool watching = m_terminalWatch && m_terminalWatch();
    auto job = makeLinkJob<FunctionJob>([answer, parameters, drive, watching](LinkJob &self) {
        if (self.isCancelled())
            return;
        SwitchScope accept(linkState().acceptReject288, true);
        AlarmRecordReader reader(*parameters, drive);
        answer->lines = reader.readLoggedRecord(watching);
    });
    m_job = job;
    LinkJob *raw = job.get();
    connect(raw, &LinkJob::finished, this, [this, raw, answer] {
        if (m_job.get() != raw)
            return;
        m_job.reset();
        recordAnswered(raw, answer->lines);
    });
    m_worker.post(job);
}

void AlarmCode::recordAnswered(LinkJob *, const QStringList &lines)
{
    for (const QString &line : lines)
        append(line);
}

void AlarmCode::clearAlarmLamps()
{
    const QPixmap off(kOff);
    if (m_lastShown != 0 || m_job) {
        for (QLabel *lamp : m_lamps)
            lamp->setPixmap(off);
    }
    m_lastShown = 0;
    ++m_clearCount;
}

void AlarmCode::cancelReads()
{
    m_recordDelay->stop();
    if (m_job)
        m_job->cancel();
    m_job.reset();
}

void AlarmCode::append(const QString &line) { m_history->append(line); }

void AlarmCode::SaveMessage()
{
    const QString fileName =
        m_askFileName(this, tr("Save Message"), QDir::currentPath(), QStringLiteral("*.txt"));
    if (fileName.isEmpty())
        return;
    // The old file stays until the new one is wholly on disk.
    QString error;
    if (!writeFileAtomically(fileName, m_history->toPlainText().toUtf8(), &error))
        userInteraction()->warning(messageText(20), tr("Cannot write file %1:\n%2.")
                                                        .arg(QDir::toNativeSeparators(fileName),
                                                             error));
}
