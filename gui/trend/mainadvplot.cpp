#include "mainadvplot.h"

#include "advanceplot.h"
#include "advoptiondialog.h"
#include "gui/widgets/drivetitle.h"
#include "ui_mainadvplot.h"

#include "base/userinteraction.h"
#include "monitor/monitordata.h"
#include "monitor/monitorthread.h"
#include "parameters/atomicfile.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>

namespace {
constexpr int kLineWatchMs = 100;
const int kDefaultQuantity[MainAdvPlot::kChannels] = {0, 1, 2, 3, 4, 5, 6, 8};
const Qt::GlobalColor kDefaultColour[MainAdvPlot::kChannels] = {
    Qt::green, Qt::blue, Qt::darkRed, Qt::magenta, Qt::yellow, Qt::black, Qt::gray, Qt::darkCyan};
const QString kNoValue = QStringLiteral("...");
}  // namespace

MonitorPage<MainAdvPlot> *MainAdvPlot::create(MonitorThread *monitor, LinkWorker &worker,
                                              ParameterAccess *parameters, QWidget *parent)
{
    auto *page = new MonitorPage<MainAdvPlot>(monitor, worker, parameters, parent);
    if (monitor)
        monitor->setTrendPage(page);
    return page;
}

MainAdvPlot::MainAdvPlot(MonitorThread *monitor, LinkWorker &worker, ParameterAccess *parameters,
                         QWidget *parent)
    : QMainWindow(parent, Qt::Window), m_ui(new Ui::MainAdvPlot),
      m_run(MonitorRun::Role::Trend, monitor, worker, parameters, windowDriveTarget()),
      m_drive(DriveProfile::of(m_run.target().series,
                               m_run.target().catalogueVersion.toDouble())),
      m_list(QuantityLists::trendList(m_drive)), m_lineWatch(new QTimer(this))
{
    m_ui->setupUi(this);
    m_askColour = [](QWidget *p, const QColor &initial) { return QColorDialog::getColor(initial, p); };
    m_askFileName = PlotBase::fileDialogAsker();
    m_checks = {m_ui->checkBox1, m_ui->checkBox2, m_ui->checkBox3, m_ui->checkBox4,
                m_ui->checkBox5, m_ui->checkBox6, m_ui->checkBox7, m_ui->checkBox8};
    m_colourButtons = {m_ui->colorButton1, m_ui->colorButton2, m_ui->colorButton3,
                       m_ui->colorButton4, m_ui->colorButton5, m_ui->colorButton6,
                       m_ui->colorButton7, m_ui->colorButton8};
    m_quantities = {m_ui->PrComboBox1, m_ui->PrComboBox2, m_ui->PrComboBox3, m_ui->PrComboBox4,
                    m_ui->PrComboBox5, m_ui->PrComboBox6, m_ui->PrComboBox7, m_ui->PrComboBox8};
    m_penWidths = {m_ui->penWidthBox1, m_ui->penWidthBox2, m_ui->penWidthBox3, m_ui->penWidthBox4,
                   m_ui->penWidthBox5, m_ui->penWidthBox6, m_ui->penWidthBox7, m_ui->penWidthBox8};
    m_ranges = {m_ui->yRangeSpinBox1, m_ui->yRangeSpinBox2, m_ui->yRangeSpinBox3,
                m_ui->yRangeSpinBox4, m_ui->yRangeSpinBox5, m_ui->yRangeSpinBox6,
                m_ui->yRangeSpinBox7, m_ui->yRangeSpinBox8};
    m_values = {m_ui->chLineEdit1, m_ui->chLineEdit2, m_ui->chLineEdit3, m_ui->chLineEdit4,
                m_ui->chLineEdit5, m_ui->chLineEdit6, m_ui->chLineEdit7, m_ui->chLineEdit8};

    AdvancePlot *plot = m_ui->plot;
    plot->setChannelCheckBoxes(QVector<QCheckBox *>(m_checks.begin(), m_checks.end()));
    std::array<std::function<void(const QString &)>, kChannels> fields;
    for (int i = 0; i < kChannels; ++i) {
        QLineEdit *field = m_values[i];
        fields[i] = [field](const QString &text) { field->setText(text); };
        m_colours[i] = QColor(kDefaultColour[i]);
    }
    plot->setValueFields(fields);

    fillQuantityBoxes();
    for (int i = 0; i < kChannels; ++i) {
        QComboBox *box = m_quantities[i];
        box->setCurrentIndex(kDefaultQuantity[i] < box->count() ? kDefaultQuantity[i] : -1);
        m_quantityIndex[i] = box->currentIndex();
    }

    typedef void (MainAdvPlot::*Slot)(int);
    const Slot channelSlots[kChannels] = {
        &MainAdvPlot::checkBox1StateChanged, &MainAdvPlot::checkBox2StateChanged,
        &MainAdvPlot::checkBox3StateChanged, &MainAdvPlot::checkBox4StateChanged,
        &MainAdvPlot::checkBox5StateChanged, &MainAdvPlot::checkBox6StateChanged,
        &MainAdvPlot::checkBox7StateChanged, &MainAdvPlot::checkBox8StateChanged};
    for (int i = 0; i < kChannels; ++i) {
        connect(m_checks[i], &QCheckBox::stateChanged, this, channelSlots[i]);
        connect(m_checks[i], &QCheckBox::stateChanged, this, &MainAdvPlot::checkBox);
        connect(m_colourButtons[i], &QPushButton::clicked, this, &MainAdvPlot::changeColor);
        connect(m_penWidths[i], QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &MainAdvPlot::penWidthBoxChanged);
        connect(m_quantities[i], QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                [this, i](int index) { m_quantityIndex[i] = index; });
        connect(m_ranges[i], QOverload<int>::of(&QSpinBox::valueChanged), this,
                &MainAdvPlot::applyRanges);
    }
    m_axisLabel = new QLabel(this);
    m_axisLabel->setObjectName(QStringLiteral("axisChannelLabel"));
    m_axisChannel = new QComboBox(this);
    m_axisChannel->setObjectName(QStringLiteral("axisChannelBox"));
    for (int i = 0; i < kChannels; ++i)
        m_axisChannel->addItem(QString());
    m_axisLabel->setBuddy(m_axisChannel);
    m_ui->trendToolBar->addSeparator();
    m_ui->trendToolBar->addWidget(m_axisLabel);
    m_ui->trendToolBar->addWidget(m_axisChannel);
    connect(m_axisChannel, QOverload<int>::of(&QComboBox::currentIndexChanged), plot,
            &AdvancePlot::setAxisChannel);
    connect(m_ui->actRun, &QAction::triggered, this, &MainAdvPlot::startMonitor);
    connect(m_ui->actClearAll, &QAction::triggered, plot, &AdvancePlot::clearAllCurve);
    connect(m_ui->actZoomIn, &QAction::triggered, plot, &AdvancePlot::zoomIn);
    connect(m_ui->actZoomOut, &QAction::triggered, plot, &AdvancePlot::zoomOut);
    connect(m_ui->actOption, &QAction::triggered, this, &MainAdvPlot::optionAdvancePlot);
    connect(m_ui->actSaveData, &QAction::triggered, this, &MainAdvPlot::saveData);
    connect(m_ui->actSaveChart, &QAction::triggered, this, &MainAdvPlot::saveChart);
    connect(m_ui->actStop, &QAction::triggered, this, &MainAdvPlot::stopMonitor);
    connect(m_ui->actExit, &QAction::triggered, this, &QWidget::close);
    connect(m_ui->actMove, &QAction::triggered, this, &MainAdvPlot::changeCursor);
    connect(m_lineWatch, &QTimer::timeout, this, &MainAdvPlot::updateChLineEditValue);
    connect(&m_run, &MonitorRun::stateChanged, this, &MainAdvPlot::showState);
    connect(&m_run, &MonitorRun::stopping, this, &MainAdvPlot::quietRecording);
    connect(&m_run, &MonitorRun::driveInfoChanged, this, &MainAdvPlot::applyDriveInfo);

    for (int i = 0; i < kChannels; ++i)
        channelStateChanged(i, m_checks[i]->isChecked());
    applyRanges();
    applyColours();
    retranslate();
    showState(State::Idle);
}

MainAdvPlot::~MainAdvPlot()
{
    // MonitorPage has detached the page: no cycle comes any more. A page
    // deleted without being closed still gives up what it asked for: its
    // run does as it goes.
    delete m_ui;
}

AdvancePlot *MainAdvPlot::plot() const { return m_ui->plot; }

QLabel *MainAdvPlot::infoValue(InfoField field) const
{
    QLabel *const labels[] = {m_ui->driveValueLabel, m_ui->versionValueLabel, m_ui->kwValueLabel,
                              m_ui->voltageValueLabel, m_ui->currentValueLabel};
    return labels[field];
}

QAction *MainAdvPlot::action(const char *objectName) const
{
    return findChild<QAction *>(QLatin1String(objectName));
}

void MainAdvPlot::setFileNameAsker(FileNameAsker asker)
{
    setFilteredFileNameAsker(PlotBase::filtered(std::move(asker)));
}

void MainAdvPlot::setFilteredFileNameAsker(FilteredFileNameAsker asker)
{
    m_askFileName = asker;
    m_ui->plot->setFilteredFileNameAsker(std::move(asker));
}

void MainAdvPlot::fillQuantityBoxes()
{
    const QStringList captions = QuantityLists::captions(m_list);
    for (QComboBox *box : m_quantities) {
        const int index = box->currentIndex();
        const bool blocked = box->blockSignals(true);
        box->clear();
        box->addItems(captions);
        // A position beyond a short list leaves the box without a choice.
        box->setCurrentIndex(index < captions.size() ? index : -1);
        box->blockSignals(blocked);
    }
}

bool MainAdvPlot::hasUnsavedRecording() const { return m_ui->plot->hasUnsavedSamples(); }

void MainAdvPlot::retranslate()
{
    m_ui->retranslateUi(this);
    setWindowTitle(driveWindowTitle(tr("Trend"), m_run.target()));
    m_axisLabel->setText(tr("Value axis:"));
    for (int i = 0; i < kChannels; ++i)
        m_axisChannel->setItemText(i, tr("Channel %1").arg(i + 1));
    fillQuantityBoxes();
    if (m_moveMode)
        m_ui->actMove->setIcon(QIcon(QStringLiteral(":/new prefix/images/move.ico")));
    if (m_run.driveInfo())
        applyDriveInfo(*m_run.driveInfo());
}

void MainAdvPlot::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QMainWindow::changeEvent(event);
}

// Run, Option, the saves, the quantities and the ranges are offered while
// idle only; the rest stays usable while recording.
void MainAdvPlot::showState(State state)
{
    const bool idle = state == State::Idle;
    m_ui->actRun->setEnabled(idle && m_run.canStart());
    for (QAction *a : {m_ui->actOption, m_ui->actSaveData, m_ui->actSaveChart})
        a->setEnabled(idle);
    for (int i = 0; i < kChannels; ++i) {
        m_quantities[i]->setEnabled(idle);
        m_ranges[i]->setEnabled(idle);
    }
    if (state == State::Running)
        beginRunning();
}

// ---- channels --------------------------------------------------------------

void MainAdvPlot::checkBoxStateChanged()
{
    for (int i = 0; i < kChannels; ++i)
        channelStateChanged(i, m_checks[i]->isChecked());
}

void MainAdvPlot::checkBox1StateChanged(int state) { channelStateChanged(0, state != Qt::Unchecked); }
void MainAdvPlot::checkBox2StateChanged(int state) { channelStateChanged(1, state != Qt::Unchecked); }
void MainAdvPlot::checkBox3StateChanged(int state) { channelStateChanged(2, state != Qt::Unchecked); }
void MainAdvPlot::checkBox4StateChanged(int state) { channelStateChanged(3, state != Qt::Unchecked); }
void MainAdvPlot::checkBox5StateChanged(int state) { channelStateChanged(4, state != Qt::Unchecked); }
void MainAdvPlot::checkBox6StateChanged(int state) { channelStateChanged(5, state != Qt::Unchecked); }
void MainAdvPlot::checkBox7StateChanged(int state) { channelStateChanged(6, state != Qt::Unchecked); }
void MainAdvPlot::checkBox8StateChanged(int state) { channelStateChanged(7, state != Qt::Unchecked); }

// A checked channel samples its quantity from the next cycle on; an
// unchecked one loses its points. Request flags are asked for only while a
// recording runs (a stop clears them) and never cleared here: another
// channel may show the same quantity.
void MainAdvPlot::channelStateChanged(int channel, bool checked)
{
    AdvancePlot *plot = m_ui->plot;
    if (checked) {
        const int q = m_quantityIndex[channel];
        if (state() != State::Idle && q >= 0 && q < MonitorData::kSize)
            monitorData().setTrendFlag(q, true);
        plot->setChannelOn(channel, true);
        m_requested[channel] = true;
        plot->curve(channel)->setVisible(true);
    } else {
        m_requested[channel] = false;
        plot->setChannelOn(channel, false);
        plot->curve(channel)->setVisible(false);
    }
}

void MainAdvPlot::checkBox() { m_ui->plot->replot(); }

void MainAdvPlot::penWidthBoxChanged(int)
{
    for (int i = 0; i < kChannels; ++i)
        m_ui->plot->curve(i)->setPen(QPen(m_colours[i], m_penWidths[i]->currentIndex() + 1));
    m_ui->plot->replot();
}

void MainAdvPlot::changeColor()
{
    auto *button = qobject_cast<QPushButton *>(sender());
    const auto it = std::find(m_colourButtons.begin(), m_colourButtons.end(), button);
    if (it == m_colourButtons.end())
        return;
    const int channel = int(it - m_colourButtons.begin());
    const QColor colour = m_askColour(this, m_colours[channel]);
    if (!colour.isValid())
        return;
    m_colours[channel] = colour;
    applyColours();
}

void MainAdvPlot::applyColours()
{
    for (int i = 0; i < kChannels; ++i) {
        const QColor &c = m_colours[i];
        // With a border of its own the style draws the whole button in the
        // curve's colour, not a named colour of its own or a paler shade.
        m_colourButtons[i]->setStyleSheet(
            QStringLiteral("background-color:rgb(%1,%2,%3);border:1px solid gray;")
                .arg(c.red())
                .arg(c.green())
                .arg(c.blue()));
    }
    penWidthBoxChanged(0);  // every curve takes its button's colour
}

// ---- running ---------------------------------------------------------------

void MainAdvPlot::startMonitor()
{
    if (state() != State::Idle || !m_run.canStart())
        return;
    applyRanges();
    m_run.start();
}

// A range rescales the curves already recorded at once, as an offset does.
void MainAdvPlot::applyRanges()
{
    QVector<int> ranges;
    for (int i = 0; i < kChannels; ++i) {
        m_channelRanges[i] = m_ranges[i]->value();
        ranges.append(m_channelRanges[i]);
    }
    m_ui->plot->GetStepLength(ranges);
}

void MainAdvPlot::beginRunning()
{
    checkBoxStateChanged();
    m_ui->plot->start();
    m_lineWatch->start(kLineWatchMs);
}

void MainAdvPlot::sampleChannels()
{
    QVector<bool> requested(kChannels);
    QVector<int> quantities(kChannels);
    for (int i = 0; i < kChannels; ++i) {
        requested[i] = m_requested[i].load();
        quantities[i] = m_quantityIndex[i].load();
    }
    m_ui->plot->addSample(requested, quantities);
}

void MainAdvPlot::quietRecording()
{
    m_lineWatch->stop();
    if (state() == State::Running)
        m_ui->plot->stop();
}

void MainAdvPlot::stopMonitor() { m_run.stop(); }

// Keeps the channel fields on each channel's newest value while recording.
// Its timer also asks whether the monitor thread has ended (a lost line) and
// whether the recording has reached its record time: then the run ends as
// by Stop, keeping every sample.
void MainAdvPlot::updateChLineEditValue()
{
    if (m_run.monitorEnded()) {
        offLineAdv();
        return;
    }
    if (state() != State::Running)
        return;
    // A read-out under a held button wins over the newest values.
    if (QApplication::mouseButtons() == Qt::NoButton)
        m_ui->plot->showLatestValues();
    if (m_ui->plot->recordTimeReached())
        m_run.stop();
}

// The monitor thread ends when the line is lost. The ranges are offered
// again as after a stop: the window is idle.
void MainAdvPlot::offLineAdv() { m_run.endIfOffLine(); }

// Closing is where a recording is most easily lost: a shown window holding
// samples not saved asks first, and stays in front when kept.
void MainAdvPlot::closeEvent(QCloseEvent *event)
{
    if (isVisible() && hasUnsavedRecording()) {
        const QString text =
            tr("The trend window holds a recording that has not been saved. Close it anyway?");
        if (userInteraction()->question(tr("Warning"), text, true, false) !=
            UserInteraction::Answer::Yes) {
            event->ignore();
            raise();
            activateWindow();
            return;
        }
    }
    m_run.stop();
    QMainWindow::closeEvent(event);
}

void MainAdvPlot::setPageAndRecordTime(double page, int recordTime)
{
    m_ui->plot->setPageAndRecordTime(page, recordTime);
}

void MainAdvPlot::optionAdvancePlot()
{
    AdvOptionDialog dialog(this);
    dialog.setObjectName(QStringLiteral("AdvancePlot"));
    dialog.setSecondsPerPage(m_ui->plot->xUpper());
    dialog.setRecordTime(m_ui->plot->recordTime());
    QVector<int> offsets;
    for (int i = 0; i < kChannels; ++i)
        offsets.append(m_ui->plot->offset(i));
    dialog.setOffsets(offsets);
    dialog.setModal(true);
    connect(&dialog, &AdvOptionDialog::valuesChosen, this,
            [this](double page, int recordTime, const QVector<QSpinBox *> &offsets) {
                setPageAndRecordTime(page, recordTime);
                m_ui->plot->setYOffsets(offsets);
            });
    runDialog(m_runDialog, dialog);
}

void MainAdvPlot::changeCursor()
{
    m_moveMode = !m_moveMode;
    m_ui->plot->setMoveMode(m_moveMode);
    m_ui->plot->canvas()->setCursor(m_moveMode ? Qt::OpenHandCursor : Qt::ArrowCursor);
    m_ui->actMove->setIcon(QIcon(m_moveMode ? QStringLiteral(":/new prefix/images/move.ico")
                                            : QStringLiteral(":/new prefix/images/coordinate.ico")));
}

// ---- saving ----------------------------------------------------------------

void MainAdvPlot::saveData()
{
    m_ui->plot->saveData(QVector<QCheckBox *>(m_checks.begin(), m_checks.end()),
                         QVector<QComboBox *>(m_quantities.begin(), m_quantities.end()));
}

void MainAdvPlot::saveChart()
{
    const QPixmap picture = grab();
    const QString caption = tr("Save Chart");
    const QString filter = QStringLiteral("*.png");
    QString chosen = filter;
    const QString asked = m_askFileName(this, caption, QDir::currentPath(), filter, &chosen);
    if (asked.isEmpty())
        return;
    // A name without an ending takes the chosen filter's; a picture is
    // written as PNG only, so any other ending writes nothing.
    const QString fileName = PlotBase::withFilterEnding(asked, chosen);
    const QString suffix = QFileInfo(fileName).suffix();
    if (suffix != QLatin1String("png")) {
        userInteraction()->warning(
            tr("Warning"), tr("The name %1 ends in .%2; the chart is saved in a file ending in .png.")
                               .arg(QDir::toNativeSeparators(fileName), suffix));
        return;
    }
    const QByteArray format = "png";
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QString error;
    if (!picture.save(&buffer, format.constData()))
        error = tr("The picture cannot be encoded");
    else if (writeFileAtomically(fileName, bytes, &error))
        return;
    userInteraction()->warning(
        tr("Warning"), tr("Cannot write file %1:\n%2.").arg(QDir::toNativeSeparators(fileName), error));
}

// ---- drive information -----------------------------------------------------

void MainAdvPlot::showDriveInfo(const QStringList &record) { m_run.showDriveInfo(record); }

void MainAdvPlot::applyDriveInfo(const DriveInfo &info)
{
    infoValue(VersionField)->setText(info.version);
    infoValue(CurrentField)->setText(info.current);
    infoValue(VoltageField)->setText(info.voltage);
    if (info.typeKnown) {
        infoValue(DriveField)->setText(info.type);
        infoValue(KwField)->setText(info.power);
    }
}
