#pragma once

#include "monitor/ramthread.h"

#include "gui/widgets/dialogrunner.h"

#include <QColor>
#include <QMainWindow>
#include <QMutex>

#include <functional>
#include <memory>

class Plot;
class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTimer;

namespace Ui {
class Ram;
}

// The RAM monitor of the service mode: up to two locations of drive memory
// (a hexadecimal address, 8, 16 or 32 bits) read over and over by a
// RamThread with the current driver's packed read, their values in two
// fields refreshed every 30 ms and charted on a two-curve sample plot.
// "Run" is offered once the service password has been given. A page of
// the monitor window (its "RAM" tab); it talks to the drive only through
// its reader, and only to the drive that was current when it was made.
//
// The page never waits for the line: Stop, closing and deleting it tell the
// reader to stop and let go of the page at once. A reader still inside an
// exchange is retired (see RamThread::retire) and ends on its own; the next
// Run takes a fresh one.
class Ram : public QMainWindow, private RamSampleSink
{
    Q_OBJECT
public:
    // Made for the drive currentDriveTarget() names now (the bound one when
    // made inside a DriveTargetScope); every run reads that drive.
    explicit Ram(QWidget *parent = nullptr);
    // Lets go of the reader without waiting for its exchange.
    ~Ram() override;

    // Seconds per page and the value maximum of the chart.
    void setAxes(double seconds, double maximum);

    bool isRunning() const { return m_running; }
    bool isUnlocked() const { return m_unlocked; }
    Plot *plot() const { return m_plot; }
    // The reader of the run going on; null when stopped.
    RamThread *reader() const { return m_reader; }
    DriveTarget driveTarget() const { return m_target; }
    QCheckBox *channelCheck(int i) const;
    QLineEdit *addressField(int i) const;
    QComboBox *typeBox(int i) const;
    QLineEdit *valueField(int i) const;
    QPushButton *colorButton(int i) const;
    QComboBox *penWidthBox(int i) const;
    QAction *runAction() const;
    QAction *clearAction() const;
    QAction *optionAction() const;
    QAction *saveDataAction() const;
    QAction *saveChartAction() const;
    QAction *stopAction() const;
    QAction *passwordAction() const;
    QColor penColor(int i) const { return m_colors[i == 1 ? 1 : 0]; }

    // How dialogs are run (exec() by default), how a colour is chosen and
    // how the chart's file name is asked for: tests answer them.
    void setDialogRunner(DialogRunner runner) { m_runDialog = std::move(runner); }
    using ColorChooser = std::function<QColor(const QColor &initial, QWidget *parent)>;
    void setColorChooser(ColorChooser chooser) { m_chooseColor = std::move(chooser); }
    using FileNameAsker = std::function<QString(QWidget *parent, const QString &caption,
                                                const QString &dir, const QString &filter)>;
    // For "Save Chart" and, through the plot, "Save Data".
    void setFileNameAsker(const FileNameAsker &asker);

    // The monitor window closes: the reader is told to stop (not waited
    // for) and the chart stops; the controls stay as they are.
    void offLine();

public slots:
    void startMonitor();
    void stopMonitor();
    void updateChLineEditValue();
    void checkBoxStateChanged(int state);
    void optionAdvancePlot();
    void penWidthBoxChanged(int index);
    void changeColor();
    void saveChart();
    void saveData();
    void showPassWorkDlg();

protected:
    void changeEvent(QEvent *event) override;
    // Closed with the monitor window: as offLine().
    void closeEvent(QCloseEvent *event) override;

private:
    // Reader thread.
    void sampleRam(const QByteArray &flags) override;

    void retranslate();
    void showLengths();
    void setControlsEnabled(bool idle);
    void applyColors();
    // Tells the reader to stop, detaches it from the page and retires it.
    void dropReader();
    // The byte count of channel i's type: 1, 2 or 4.
    int byteCount(int i) const;
    // Channel i's address field read as hexadecimal; empty reads 0.
    int address(int i) const;

    Ui::Ram *m_ui;
    Plot *m_plot;
    QTimer *m_refresh;
    const DriveTarget m_target;
    // Shared with the readers, which may outlive the page.
    const std::shared_ptr<RamChannels> m_channels;
    RamThread *m_reader = nullptr;
    bool m_running = false;
    bool m_unlocked = false;
    QColor m_colors[RamChannels::kCount];
    DialogRunner m_runDialog;
    ColorChooser m_chooseColor;
    FileNameAsker m_askFileName;
    QString m_shown[RamChannels::kCount];
    // Orders a sample against a channel being switched off: once the
    // switch has cleared a curve, no sample of the pass before reaches it.
    QMutex m_sampleMutex;
};
