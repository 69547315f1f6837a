#pragma once

#include "gui/widgets/dialogrunner.h"
#include "monitor/quantitylists.h"

#include <QWidget>

#include <atomic>

class Dial;
class QComboBox;
class QFrame;
class QLCDNumber;
class QTimer;
class QToolButton;

// The three dials of the monitor page with their selectors, option buttons
// and, under the left and middle dial, a numeric display. The monitor thread
// hands the selected values in (takeSample); a 30 ms timer moves the needles.
class Cockpit : public QWidget
{
    Q_OBJECT
public:
    explicit Cockpit(QWidget *parent = nullptr);
    explicit Cockpit(const DriveProfile &drive, QWidget *parent = nullptr);

    // Starts the refresh and asks the monitor thread for the three selected
    // quantities and the status word.
    void start();
    void stop();
    // Monitor thread: copies the selected values out of the monitor data.
    void takeSample();
    void setSelectorsEnabled(bool on);
    void setLeftRange(double maximum);
    void setMidRange(double maximum);
    void setRightRange(double maximum);
    bool isRunning() const;

    Dial *leftDial() const { return m_dials[Left]; }
    Dial *midDial() const { return m_dials[Mid]; }
    Dial *rightDial() const { return m_dials[Right]; }
    QComboBox *leftSelector() const { return m_selectors[Left]; }
    QComboBox *midSelector() const { return m_selectors[Mid]; }
    QComboBox *rightSelector() const { return m_selectors[Right]; }
    QLCDNumber *leftDisplay() const { return m_displays[Left]; }
    QLCDNumber *midDisplay() const { return m_displays[Mid]; }
    QToolButton *optionButton(int dial) const { return m_options[dial]; }

    // How the dial option dialog is run (exec() by default).
    void setDialogRunner(DialogRunner runner) { m_runDialog = std::move(runner); }

    enum Which { Left, Mid, Right };

signals:
    // The dial option dialog's choice, for the page to apply.
    void leftDialMaxChosen(double maximum);
    void midDialMaxChosen(double maximum);
    void rightDialMaxChosen(double maximum);

public slots:
    void setLeftDialValue();
    void setMidDialValue();
    void setRightDialValue();
    void updateData();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QFrame *buildGaugePanel(Which which);
    QFrame *buildArcPanel();
    QFrame *dialFrame(QWidget *parent);
    void styleGauge(Dial *dial);
    void styleArc(Dial *dial);
    void fillSelectors();
    void placeRightDial();
    void setRange(Which which, double maximum);
    void openDialOption(Which which, const char *name);

    DriveProfile m_drive;
    QuantityLists::List m_list;
    Dial *m_dials[3];
    QComboBox *m_selectors[3];
    QToolButton *m_options[3];
    QLCDNumber *m_displays[2];
    QWidget *m_rightArea = nullptr;
    QTimer *m_timer;
    DialogRunner m_runDialog;

    // Set by start() (the selectors are locked while running), read by the
    // monitor thread.
    std::atomic<int> m_positions[3];
    // Written by the monitor thread, read by the refresh.
    std::atomic<double> m_values[3];
    std::atomic<double> m_displayValues[2];
    // What the displays show (GUI thread).
    double m_shownDisplays[2] = {0, 0};
    bool m_displaysFilled = false;
};
