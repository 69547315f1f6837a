#include "hideparameter.h"

#include "alarmcode.h"
#include "gui/widgets/drivetitle.h"

#include "gui/widgets/jobprogresspanel.h"
#include "base/messagetable.h"
#include "base/sharedstate.h"
#include "base/userinteraction.h"
#include "link/linkjob.h"
#include "link/linkstate.h"
#include "link/linkworker.h"
#include "monitor/alarmhistoryjob.h"
#include "monitor/alarmrecordreader.h"
#include "monitor/parameteraccess.h"
#include "parameters/atomicfile.h"
#include "parameters/parameterstate.h"
#include "gui/widgets/passworddlg.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {
constexpr int kHistoryWidth = 420;
constexpr int kTableWidth = 318;
constexpr int kWriteProtection = 77;

struct TextAnswer {
    QString text;
    QStringList values;
    bool opened = false;
};

int parameterNumber(const QString &name)
{
    bool ok = false;
    const int number = name.mid(2).toInt(&ok);
    return ok ? number : -1;
}
}  // namespace

HideParameter::HideParameter(LinkWorker &worker, ParameterAccess *parameters, AlarmCode *alarms,
                             QWidget *parent)
    : QWidget(parent), m_worker(worker), m_parameters(parameters), m_alarms(alarms),
      m_target(windowDriveTarget())
{
    m_askFileName = [](QWidget *p, const QString &caption, const QString &dir,
                       const QString &filter) {
        return QFileDialog::getSaveFileName(p, caption, dir, filter);
    };
    auto *layout = new QVBoxLayout(this);
    auto *buttons = new QHBoxLayout;
    m_historyButton = new QPushButton(this);
    m_runTimeButton = new QPushButton(this);
    m_saveButton = new QPushButton(this);
    m_serviceButton = new QPushButton(this);
    m_historyButton->setObjectName(QStringLiteral("historyAlarmPB"));
    m_runTimeButton->setObjectName(QStringLiteral("runTimePB"));
    m_saveButton->setObjectName(QStringLiteral("saveAllPB"));
    m_serviceButton->setObjectName(QStringLiteral("serviceModePB"));
    for (QPushButton *b : {m_historyButton, m_runTimeButton, m_saveButton})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(m_serviceButton);
    layout->addLayout(buttons);
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line);

    auto *content = new QHBoxLayout;
    auto *historyColumn = new QVBoxLayout;
    m_historyCaption = new QLabel(this);
    m_history = new QTextEdit(this);
    m_history->setReadOnly(true);
    m_history->setFixedWidth(kHistoryWidth);
    // A record's data line stays one line; the box scrolls sideways instead.
    m_history->setLineWrapMode(QTextEdit::NoWrap);
    historyColumn->addWidget(m_historyCaption);
    historyColumn->addWidget(m_history, 1);
    content->addLayout(historyColumn);

    m_hiddenPanel = new QWidget(this);
    auto *hiddenColumn = new QVBoxLayout(m_hiddenPanel);
    hiddenColumn->setContentsMargins(0, 0, 0, 0);
    m_tableCaption = new QLabel(m_hiddenPanel);
    m_table = new QTableWidget(0, 3, m_hiddenPanel);
    m_table->setFixedWidth(kTableWidth);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    auto *hiddenButtons = new QHBoxLayout;
    m_readHiddenButton = new QPushButton(m_hiddenPanel);
    m_ramButton = new QPushButton(m_hiddenPanel);
    m_readHiddenButton->setObjectName(QStringLiteral("readHidePB"));
    m_ramButton->setObjectName(QStringLiteral("monitorRamPB"));
    hiddenButtons->addWidget(m_readHiddenButton);
    hiddenButtons->addWidget(m_ramButton);
    hiddenButtons->addStretch();
    hiddenColumn->addWidget(m_tableCaption);
    hiddenColumn->addWidget(m_table, 1);
    hiddenColumn->addLayout(hiddenButtons);
    m_hiddenPanel->hide();
    content->addWidget(m_hiddenPanel);
    content->addStretch();
    layout->addLayout(content, 1);
    layout->addSpacing(3);

    auto *runTimeRow = new QHBoxLayout;
    m_runTimeCaption = new QLabel(this);
    m_runTime = new QLineEdit(this);
    m_runTime->setReadOnly(true);
    m_runTime->setMinimumWidth(200);
    runTimeRow->addWidget(m_runTimeCaption);
    runTimeRow->addWidget(m_runTime);
    runTimeRow->addStretch();
    layout->addLayout(runTimeRow);
    // Progress here rather than in a modal dialog: the main window's STOP
    // must stay reachable while the drive is read.
    m_progress = new JobProgressPanel(this);
    layout->addWidget(m_progress);
    layout->addStretch();

    connect(m_historyButton, &QPushButton::clicked, this, &HideParameter::historyAlarm);
    connect(m_runTimeButton, &QPushButton::clicked, this, &HideParameter::runTime);
    connect(m_saveButton, &QPushButton::clicked, this, &HideParameter::saveMessage);
    connect(m_serviceButton, &QPushButton::clicked, this, &HideParameter::showPassWorkDlg);
    connect(m_readHiddenButton, &QPushButton::clicked, this, &HideParameter::ReadAllValue);
    connect(m_ramButton, &QPushButton::clicked, this, &HideParameter::monitorRam);
    m_runTimeButton->setEnabled(pageDrive().offersRunTime());
    // Nothing to save but placeholders until Run has read the drive's identity.
    m_saveButton->setEnabled(false);
    retranslate();
}

void HideParameter::setIdentityKnown(bool known)
{
    m_identityKnown = known;
    m_saveButton->setEnabled(known && !m_job);
}

HideParameter::~HideParameter() { cancelReads(); }

AlarmDrive HideParameter::pageDrive() const
{
    DriveTargetScope page(m_target);
    return AlarmDrive::current();
}

void HideParameter::retranslate()
{
    m_historyButton->setText(tr("Read History Alarm"));
    m_runTimeButton->setText(tr("Read Run Time"));
    m_saveButton->setText(tr("Save All"));
    m_serviceButton->setText(tr("Service mode"));
    m_readHiddenButton->setText(tr("Read Hide Pr."));
    m_ramButton->setText(tr("Monitor Ram"));
    m_historyCaption->setText(tr("History Alarm Code:"));
    m_runTimeCaption->setText(tr("Accumulative motor operation time:"));
    m_tableCaption->setText(tr("Hide Parameter List:"));
    m_table->setHorizontalHeaderLabels({tr("NO."), tr("Default value"), tr("Current value")});
    fitTableToHeaders();
}

// The three columns share the table's width evenly; the table is made wide
// enough that none of them cuts its header text.
void HideParameter::fitTableToHeaders()
{
    const QHeaderView *header = m_table->horizontalHeader();
    const int margin = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    int widest = 0;
    for (int column = 0; column < m_table->columnCount(); ++column) {
        const QTableWidgetItem *item = m_table->horizontalHeaderItem(column);
        const QString text = item ? item->text() : QString();
        widest = qMax(widest, header->fontMetrics().horizontalAdvance(text) + margin + 4);
    }
    const int chrome = 2 * m_table->frameWidth() +
                       m_table->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_table);
    m_table->setFixedWidth(qMax(kTableWidth, widest * m_table->columnCount() + chrome));
}

void HideParameter::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void HideParameter::setBusy(const std::shared_ptr<LinkJob> &job)
{
    m_job = job;
    const bool idle = !job;
    for (QPushButton *b : {m_historyButton, m_readHiddenButton})
        b->setEnabled(idle);
    m_runTimeButton->setEnabled(idle && pageDrive().offersRunTime());
    m_saveButton->setEnabled(idle && m_identityKnown);
}

void HideParameter::jobEnded() { setBusy(nullptr); }

void HideParameter::cancelReads()
{
    if (m_job)
        m_job->cancel();
    m_job.reset();
}

void HideParameter::historyAlarm()
{
    if (m_job || !m_parameters)
        return;
    const AlarmCodeTable codes = m_alarms ? m_alarms->codeTable() : AlarmCodeTable();
    const bool watching = m_terminalWatch && m_terminalWatch();
    DriveTargetScope page(m_target);  // the job reads the window's drive
    auto job = makeLinkJob<AlarmHistoryJob>(*m_parameters, pageDrive(), codes, watching);
    setBusy(job);
    AlarmHistoryJob *raw = job.get();
    connect(raw, &LinkJob::finished, this, [this, raw] {
        if (m_job.get() != raw)
            return;
        for (const QString &line : raw->lines())
            m_history->append(line);
        jobEnded();
    });
    m_progress->follow(job);
    m_worker.post(job);
}

void HideParameter::runTime()
{
    if (m_job || !m_parameters)
        return;
    auto answer = std::make_shared<TextAnswer>();
    ParameterAccess *parameters = m_parameters;
    const AlarmDrive drive = pageDrive();
    DriveTargetScope page(m_target);
    auto job = makeLinkJob<FunctionJob>([answer, parameters, drive](LinkJob &self) {
        if (!self.isCancelled())
            answer->text = AlarmRecordReader(*parameters, drive).runTimeText();
    });
    setBusy(job);
    LinkJob *raw = job.get();
    connect(raw, &LinkJob::finished, this, [this, raw, answer] {
        if (m_job.get() != raw)
            return;
        if (!answer->text.isEmpty())
            m_runTime->setText(answer->text);
        jobEnded();
    });
    m_worker.post(job);
}

void HideParameter::saveMessage()
{
    const QString fileName =
        m_askFileName(this, tr("Save Message"), QDir::currentPath(), QStringLiteral("*.txt"));
    if (fileName.isEmpty())
        return;
    const QList<QPair<QString, QString>> info =
        m_driveInfo ? m_driveInfo() : QList<QPair<QString, QString>>();
    auto field = [&info](int i) {
        const QPair<QString, QString> f = info.value(i);
        return f.first + f.second;
    };
    const QString nl = QStringLiteral("\n");
    const QString tab = QStringLiteral("\t");
    QString text = tab + field(0) + tab + field(1) + nl;
    text += tab + field(2) + tab + field(3) + tab + field(4) + nl;
    text += tr("History Alarm Code:") + nl + m_history->toPlainText() + nl;
    text += tr("Accumulative motor operation time:") + QStringLiteral("  ") + m_runTime->text();
    // The old file stays until the new one is wholly on disk.
    QString error;
    if (!writeFileAtomically(fileName, text.toUtf8(), &error))
        userInteraction()->warning(messageText(20), tr("Cannot write file %1:\n%2.")
                                                        .arg(QDir::toNativeSeparators(fileName),
                                                             error));
}

void HideParameter::showPassWorkDlg()
{
    auto *dialog = new PassWordDlg(this);
    dialog->setObjectName(QStringLiteral("Parameter Password"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &PassWordDlg::unlocked, this, &HideParameter::fillHiddenTable);
    dialog->open();
}

void HideParameter::fillHiddenTable()
{
    m_hiddenMode = true;
    const AlarmDrive drive = pageDrive();
    m_hiddenList.load(drive.series, drive.version);
    const QList<HiddenParameterList::Entry> entries = m_hiddenList.entries();
    m_table->setRowCount(entries.size());
    for (int row = 0; row < entries.size(); ++row) {
        m_table->setItem(row, 0, new QTableWidgetItem(entries.at(row).name));
        m_table->setItem(row, 1, new QTableWidgetItem(entries.at(row).defaultValue));
        m_table->setItem(row, 2, new QTableWidgetItem(QString()));
    }
    m_ramButton->setVisible(drive.offersRamMonitor());
    m_serviceButton->hide();
    m_hiddenPanel->show();
}

bool HideParameter::ReadAllValue()
{
    if (!m_hiddenMode || m_job || !m_parameters)
        return false;
    QList<int> numbers;
    for (int row = 0; row < m_table->rowCount(); ++row)
        numbers.append(parameterNumber(m_table->item(row, 0)->text()));
    auto answer = std::make_shared<TextAnswer>();
    ParameterAccess *parameters = m_parameters;
    // The guard is opened and closed again on the window's drive, whatever
    // station is chosen meanwhile.
    DriveTargetScope page(m_target);
    auto job = makeLinkJob<FunctionJob>([answer, parameters, numbers](LinkJob &self) {
        // The hidden registers answer only with the write protection open;
        // the drive may refuse the opening write, as in the identity read.
        SwitchScope accept(linkState().acceptReject77, true);
        if (self.isCancelled())
            return;
        const double guard = parameters->readParameter(kWriteProtection);
        if (guard < 0)
            return;
        if (!parameters->writeParameter(kWriteProtection, QStringLiteral("9999"),
                                        QStringLiteral("1")))
            return;
        answer->opened = true;
        UserInteraction *ui = userInteraction();
        UserInteraction::ProgressSetup setup;
        setup.title = HideParameter::tr("Reading parameters...");
        setup.cancelText = HideParameter::tr("Cancel");
        setup.maximum = numbers.size();
        ui->progressStart(setup);
        for (int i = 0; i < numbers.size(); ++i) {
            if (ui->progressCancelled() || self.isCancelled())
                break;
            const double value = numbers.at(i) < 0 ? -1 : parameters->readParameter(numbers.at(i));
            answer->values.append(AlarmRecordReader::formatValue(value));
            ui->progressSetValue(i + 1);
        }
        ui->progressEnd();
        // The write protection goes back to what it was: the drive must not
        // be left taking parameter writes it would otherwise refuse.
        parameters->writeParameter(kWriteProtection, AlarmRecordReader::formatValue(guard),
                                   QStringLiteral("1"));
    });
    setBusy(job);
    LinkJob *raw = job.get();
    connect(raw, &LinkJob::finished, this, [this, raw, answer] {
        if (m_job.get() != raw)
            return;
        for (int row = 0; row < answer->values.size() && row < m_table->rowCount(); ++row)
            m_table->item(row, 2)->setText(answer->values.at(row));
        jobEnded();
    });
    m_progress->follow(job);
    m_worker.post(job);
    return true;
}

void HideParameter::monitorRam() { emit ramPageToggled(); }
