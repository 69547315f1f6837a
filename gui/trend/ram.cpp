#include "ram.h"

#include "ui_ram.h"

#include "base/messagetable.h"
#include "base/sharedstate.h"
#include "base/userinteraction.h"
#include "link/driverregistry.h"
#include "link/linkstate.h"
#include "link/readwrite.h"
#include "gui/widgets/passworddlg.h"
#include "gui/widgets/optiondialog.h"
#include "gui/widgets/plot.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageWriter>
#include <QPixmap>
#include <QRegularExpressionValidator>
#include <QTimer>

#include <qwt_plot_curve.h>

namespace {
constexpr int kRefreshMs = 30;
constexpr double kPageSeconds = 60;
constexpr double kValueMax = 300;
const int kByteCounts[] = {1, 2, 4};  // "8bit", "16bit", "32bit"
}  // namespace

Ram::Ram(QWidget *parent)
    : QMainWindow(parent, Qt::Widget), m_ui(new Ui::Ram),
      m_plot(new Plot(RamChannels::kCount, kPageSeconds, kValueMax)),
      m_refresh(new QTimer(this)), m_target(currentDriveTarget()),
      m_channels(std::make_shared<RamChannels>())
{
    m_ui->setupUi(this);
    m_ui->plotLayout->addWidget(m_plot);
    m_plot->setMinimumHeight(200);
    m_colors[0] = QColor(Qt::green);
    m_colors[1] = QColor(Qt::blue);
    m_chooseColor = [](const QColor &initial, QWidget *p) {
        return QColorDialog::getColor(initial, p);
    };
    m_askFileName = [](QWidget *p, const QString &caption, const QString &dir,
                       const QString &filter) {
        return QFileDialog::getSaveFileName(p, caption, dir, filter);
    };

    // The memory window of the page's drive, not of whichever is current.
    bool upperWindow = false;
    {
        DriveTargetScope drive(m_target);
        upperWindow = isSeriesFeature(QStringLiteral("ram_AdressLineEdit"));
    }
    const QString start = upperWindow ? QStringLiteral("D000") : QStringLiteral("9000");
    for (int i = 0; i < RamChannels::kCount; ++i) {
        QLineEdit *field = addressField(i);
        field->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[a-fA-F0-9]{0,4}")), field));
        field->setText(start);
        connect(channelCheck(i), &QCheckBox::stateChanged, this, &Ram::checkBoxStateChanged);
        connect(colorButton(i), &QPushButton::clicked, this, &Ram::changeColor);
        connect(penWidthBox(i), QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &Ram::penWidthBoxChanged);
        connect(typeBox(i), QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &Ram::showLengths);
    }
    connect(m_ui->actRun, &QAction::triggered, this, &Ram::startMonitor);
    connect(m_ui->actClear, &QAction::triggered, m_plot, &Plot::clearAllCurve);
    connect(m_ui->actOption, &QAction::triggered, this, &Ram::optionAdvancePlot);
    connect(m_ui->actSaveData, &QAction::triggered, this, &Ram::saveData);
    connect(m_ui->actSaveChart, &QAction::triggered, this, &Ram::saveChart);
    connect(m_ui->actStop, &QAction::triggered, this, &Ram::stopMonitor);
    connect(m_ui->actPassword, &QAction::triggered, this, &Ram::showPassWorkDlg);
    connect(m_refresh, &QTimer::timeout, this, &Ram::updateChLineEditValue);

    applyColors();
    showLengths();
    setControlsEnabled(true);
}

Ram::~Ram()
{
    // Before any member or child goes: once let go, the reader calls
    // neither the page nor its plot, even if its exchange ends later.
    dropReader();
    m_refresh->stop();
    delete m_ui;
}

QCheckBox *Ram::channelCheck(int i) const
{
    return i == 1 ? m_ui->ch2CheckBox : m_ui->ch1CheckBox;
}
QLineEdit *Ram::addressField(int i) const
{
    return i == 1 ? m_ui->ch2AddressLineEdit : m_ui->ch1AddressLineEdit;
}
QComboBox *Ram::typeBox(int i) const
{
    return i == 1 ? m_ui->ch2TypeComboBox : m_ui->ch1TypeComboBox;
}
QLineEdit *Ram::valueField(int i) const
{
    return i == 1 ? m_ui->ch2ValueLineEdit : m_ui->ch1ValueLineEdit;
}
QPushButton *Ram::colorButton(int i) const
{
    return i == 1 ? m_ui->ch2ColorPushButton : m_ui->ch1ColorPushButton;
}
QComboBox *Ram::penWidthBox(int i) const
{
    return i == 1 ? m_ui->ch2WidthComboBox : m_ui->ch1WidthComboBox;
}
QAction *Ram::runAction() const { return m_ui->actRun; }
QAction *Ram::clearAction() const { return m_ui->actClear; }
QAction *Ram::optionAction() const { return m_ui->actOption; }
QAction *Ram::saveDataAction() const { return m_ui->actSaveData; }
QAction *Ram::saveChartAction() const { return m_ui->actSaveChart; }
QAction *Ram::stopAction() const { return m_ui->actStop; }
QAction *Ram::passwordAction() const { return m_ui->actPassword; }

void Ram::setFileNameAsker(const FileNameAsker &asker)
{
    m_askFileName = asker;
    m_plot->setFileNameAsker(asker);
}

int Ram::byteCount(int i) const
{
    const int index = typeBox(i)->currentIndex();
    return index >= 0 && index < 3 ? kByteCounts[index] : 1;
}

int Ram::address(int i) const
{
    // The validator lets through at most four hex digits.
    const QString text = addressField(i)->text();
    if (text.isEmpty())
        return 0;
    bool ok = false;
    const uint value = text.toUInt(&ok, 16);
    return ok && value <= 0xFFFF ? int(value) : 0;
}

// The "Length" column: how many bytes (registers) one read takes.
void Ram::showLengths()
{
    m_ui->ch1LengthLabel->setText(QString::number(byteCount(0)));
    m_ui->ch2LengthLabel->setText(QString::number(byteCount(1)));
}

// While running the addresses, types and file actions are locked; "Run"
// needs the password besides.
void Ram::setControlsEnabled(bool idle)
{
    m_ui->actRun->setEnabled(idle && m_unlocked);
    for (QAction *a : {m_ui->actOption, m_ui->actSaveData, m_ui->actSaveChart})
        a->setEnabled(idle);
    for (int i = 0; i < RamChannels::kCount; ++i) {
        addressField(i)->setEnabled(idle);
        typeBox(i)->setEnabled(idle);
    }
}

void Ram::startMonitor()
{
    if (m_running || !m_unlocked)
        return;
    const ReadWrite *driver = currentDriver();
    if (driver && driver->protocol() == 0) {
        // Told here, once, rather than by a run whose every read fails.
        userInteraction()->warning(
            messageText(20),
            tr("The native protocol cannot read drive memory. Choose Modbus RTU or "
               "Modbus ASCII to monitor RAM."));
        return;
    }
    // A fresh reader: the one of the last run may still be finishing its
    // exchange, and is not waited for.
    dropReader();
    m_reader = new RamThread(m_channels);
    m_reader->setSink(this);
    for (int i = 0; i < RamChannels::kCount; ++i) {
        m_reader->setChannel(i, address(i), byteCount(i));
        m_channels->read[i] = channelCheck(i)->isChecked();
    }
    m_reader->startReading(m_target);
    m_refresh->start(kRefreshMs);
    m_plot->start();
    m_running = true;
    setControlsEnabled(false);
}

void Ram::dropReader()
{
    RamThread *reader = m_reader;
    m_reader = nullptr;
    RamThread::retire(reader);
}

void Ram::stopMonitor()
{
    // Returns at once: the exchange in flight is not waited for, and no
    // sample of it reaches the chart or the value fields.
    dropReader();
    m_plot->stop();
    m_refresh->stop();
    m_running = false;
    setControlsEnabled(true);
    updateChLineEditValue();
}

void Ram::offLine()
{
    dropReader();
    m_plot->stop();
    m_refresh->stop();
    m_running = false;
}

void Ram::closeEvent(QCloseEvent *event)
{
    offLine();
    QMainWindow::closeEvent(event);
}

void Ram::sampleRam(const QByteArray &flags)
{
    QMutexLocker lock(&m_sampleMutex);
    // A channel switched off while the pass read it is not charted.
    QByteArray charted = flags;
    QVector<quint32> values(RamChannels::kCount);
    for (int i = 0; i < RamChannels::kCount; ++i) {
        if (!m_channels->read[i])
            charted[i] = 0;
        values[i] = m_channels->value[i];
    }
    m_plot->addChannelSamples(charted, values);
}

void Ram::updateChLineEditValue()
{
    for (int i = 0; i < RamChannels::kCount; ++i) {
        QString text;
        if (channelCheck(i)->isChecked())
            text = m_channels->ok[i] ? QString::number(m_channels->value[i].load())
                                     : QStringLiteral("--");
        if (text != m_shown[i] || valueField(i)->text() != text) {
            valueField(i)->setText(text);
            m_shown[i] = text;
        }
    }
}

// A checked channel is read and charted from the next pass on; an
// unchecked one is neither, and its curve is emptied and hidden.
void Ram::checkBoxStateChanged(int)
{
    for (int i = 0; i < RamChannels::kCount; ++i) {
        const bool on = channelCheck(i)->isChecked();
        {
            QMutexLocker lock(&m_sampleMutex);
            m_channels->read[i] = on;
            if (!on)
                m_plot->clearCurve(i);
        }
        m_plot->curve(i)->setVisible(on);
    }
    m_plot->replot();
    updateChLineEditValue();
}

void Ram::setAxes(double seconds, double maximum) { m_plot->setRanges(seconds, maximum); }

void Ram::optionAdvancePlot()
{
    OptionDialog dialog(this);
    dialog.setObjectName(QStringLiteral("RamAdvancePlot"));
    // The page width, not where the window has scrolled to.
    dialog.setValues(m_plot->pageWidth(), m_plot->valueMaximum());
    dialog.setModal(true);
    connect(&dialog, &OptionDialog::ramValueChosen, this, &Ram::setAxes);
    runDialog(m_runDialog, dialog);
}

void Ram::penWidthBoxChanged(int)
{
    for (int i = 0; i < RamChannels::kCount; ++i) {
        QPen pen = m_plot->curve(i)->pen();
        pen.setWidth(penWidthBox(i)->currentIndex() + 1);
        m_plot->curve(i)->setPen(pen);
    }
    m_plot->replot();
}

void Ram::changeColor()
{
    const int i = sender() == colorButton(1) ? 1 : sender() == colorButton(0) ? 0 : -1;
    if (i < 0)
        return;
    const QColor chosen = m_chooseColor(m_colors[i], this);
    if (!chosen.isValid())
        return;  // cancelled
    m_colors[i] = chosen;
    applyColors();
}

void Ram::applyColors()
{
    for (int i = 0; i < RamChannels::kCount; ++i) {
        const QColor &c = m_colors[i];
        // With a border of its own the style draws the whole button in
        // the colour, not a paler shade of it.
        colorButton(i)->setStyleSheet(
            QStringLiteral("background-color:rgb(%1,%2,%3);border:1px solid gray;")
                .arg(c.red())
                .arg(c.green())
                .arg(c.blue()));
        QPen pen = m_plot->curve(i)->pen();
        pen.setColor(c);
        m_plot->curve(i)->setPen(pen);
    }
    m_plot->replot();
}

void Ram::saveChart()
{
    QString fileName =
        m_askFileName(this, tr("Save Chart"), QDir::currentPath(), QStringLiteral("*.png"));
    if (fileName.isEmpty())
        return;
    // The picture's format follows the name's suffix: a bare name gets ".png".
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".png");
    QImageWriter writer(fileName, "png");
    if (!writer.write(grab().toImage()))
        userInteraction()->warning(messageText(20),
                                   tr("Cannot write file %1:\n%2.")
                                       .arg(QDir::toNativeSeparators(fileName), writer.errorString()));
}

void Ram::saveData()
{
    // Worded as a failed "Save Chart" is.
    m_plot->saveData({m_ui->ch1CheckBox, m_ui->ch2CheckBox},
                     {m_ui->ch1AddressLineEdit, m_ui->ch2AddressLineEdit},
                     {messageText(20), tr("Cannot write file %1:\n%2.")});
}

void Ram::showPassWorkDlg()
{
    PassWordDlg dialog(this);
    dialog.setObjectName(QStringLiteral("RAM Password"));
    dialog.setModal(true);
    connect(&dialog, &PassWordDlg::unlocked, this, [this] {
        m_unlocked = true;
        setControlsEnabled(!m_running);
    });
    runDialog(m_runDialog, dialog);
}

void Ram::retranslate()
{
    m_ui->retranslateUi(this);
    showLengths();
}

void Ram::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QMainWindow::changeEvent(event);
}
