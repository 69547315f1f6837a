#pragma once

#include "gui/widgets/dialogrunner.h"
#include "gui/widgets/plotbase.h"
#include "monitor/quantitylists.h"

#include "base/drivetarget.h"
#include "monitor/monitorpages.h"
#include "monitor/monitorrun.h"

#include <QMainWindow>
#include <QVector>

#include <array>
#include <atomic>
#include <functional>

class AdvancePlot;
class LinkWorker;
class MonitorThread;
class ParameterAccess;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimer;

namespace Ui {
class MainAdvPlot;
}

// The trend recorder: up to eight live quantities charted against time,
// scrolled, zoomed and read off with the pointer, and saved as .xls or .txt
// data or as a .png picture. The window asks the monitor thread for the
// quantities of its checked channels (the trend request flags); the thread
// hands each cycle over through sampleChannels. Made with create(), as the
// monitor thread calls it.
class MainAdvPlot : public QMainWindow, public TrendPageSink
{
    Q_OBJECT
public:
    static constexpr int kChannels = 8;
    // Idle: Run offered. Starting: the identity is being read on the link
    // worker. Running: recording.
    using State = MonitorRun::State;
    enum InfoField { DriveField, VersionField, KwField, VoltageField, CurrentField };

    // A page the monitor thread calls, attached as its trend page. `monitor`
    // may be null (nothing can be started); `parameters` is the catalogue
    // access of the identity read and must outlive the page.
    static MonitorPage<MainAdvPlot> *create(MonitorThread *monitor, LinkWorker &worker,
                                            ParameterAccess *parameters,
                                            QWidget *parent = nullptr);

    // Use create(); public for MonitorPage.
    MainAdvPlot(MonitorThread *monitor, LinkWorker &worker, ParameterAccess *parameters,
                QWidget *parent);
    ~MainAdvPlot() override;

    State state() const { return m_run.state(); }
    const DriveTarget &driveTarget() const { return m_run.target(); }
    // The chart holds samples that "Save Data" has not written yet.
    bool hasUnsavedRecording() const;
    bool moveMode() const { return m_moveMode; }

    // Monitor thread.
    void sampleChannels() override;
    void showDriveInfo(const QStringList &record) override;
    void setPageAndRecordTime(double page, int recordTime);

    AdvancePlot *plot() const;
    QCheckBox *channelCheckBox(int channel) const { return m_checks[channel]; }
    QPushButton *colourButton(int channel) const { return m_colourButtons[channel]; }
    QComboBox *quantityBox(int channel) const { return m_quantities[channel]; }
    QComboBox *penWidthBox(int channel) const { return m_penWidths[channel]; }
    QSpinBox *rangeBox(int channel) const { return m_ranges[channel]; }
    QLineEdit *valueField(int channel) const { return m_values[channel]; }
    QLabel *infoValue(InfoField field) const;
    // Which channel's values label the value axis.
    QComboBox *axisChannelBox() const { return m_axisChannel; }
    QAction *action(const char *objectName) const;

    // How dialogs are run (exec() by default) and how a colour and a picture
    // file are chosen (the standard dialogs by default): tests answer them.
    void setDialogRunner(DialogRunner runner) { m_runDialog = std::move(runner); }
    using ColourAsker = std::function<QColor(QWidget *parent, const QColor &initial)>;
    void setColourAsker(ColourAsker asker) { m_askColour = std::move(asker); }
    using FileNameAsker = std::function<QString(QWidget *parent, const QString &caption,
                                                const QString &dir, const QString &filter)>;
    void setFileNameAsker(FileNameAsker asker);
    // Also tells which filter was chosen.
    using FilteredFileNameAsker = PlotBase::FilteredFileNameAsker;
    void setFilteredFileNameAsker(FilteredFileNameAsker asker);

public slots:
    void checkBoxStateChanged();
    void checkBox1StateChanged(int state);
    void checkBox2StateChanged(int state);
    void checkBox3StateChanged(int state);
    void checkBox4StateChanged(int state);
    void checkBox5StateChanged(int state);
    void checkBox6StateChanged(int state);
    void checkBox7StateChanged(int state);
    void checkBox8StateChanged(int state);
    void penWidthBoxChanged(int index);
    void startMonitor();
    void changeColor();
    void optionAdvancePlot();
    void saveChart();
    void stopMonitor();
    void updateChLineEditValue();
    void saveData();
    void offLineAdv();
    void checkBox();
    void changeCursor();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void channelStateChanged(int channel, bool checked);
    void fillQuantityBoxes();
    void applyRanges();
    void applyColours();
    void retranslate();
    void showState(State state);
    void beginRunning();
    // What a stop, a lost line and closing do to the window: recording ends.
    void quietRecording();
    void applyDriveInfo(const DriveInfo &info);

    Ui::MainAdvPlot *m_ui;
    // Bound to the drive the window was opened for; a station chosen later
    // changes neither what it reads nor how it labels it.
    MonitorRun m_run;
    const DriveProfile m_drive;
    QuantityLists::List m_list;
    QTimer *m_lineWatch;
    DialogRunner m_runDialog;
    ColourAsker m_askColour;
    FilteredFileNameAsker m_askFileName;
    bool m_moveMode = false;
    QLabel *m_axisLabel = nullptr;
    QComboBox *m_axisChannel = nullptr;
    std::array<QCheckBox *, kChannels> m_checks{};
    std::array<QPushButton *, kChannels> m_colourButtons{};
    std::array<QComboBox *, kChannels> m_quantities{};
    std::array<QComboBox *, kChannels> m_penWidths{};
    std::array<QSpinBox *, kChannels> m_ranges{};
    std::array<QLineEdit *, kChannels> m_values{};
    std::array<QColor, kChannels> m_colours;
    std::array<int, kChannels> m_channelRanges{};

    // Read by the monitor thread.
    std::array<std::atomic<bool>, kChannels> m_requested{};
    std::array<std::atomic<int>, kChannels> m_quantityIndex{};
};
