#pragma once

#include "monitor/quantitylists.h"

#include <QGroupBox>
#include <QVector>

class Lamp;
class QLabel;
class QTimer;

// A group of lamps with their captions that the monitor thread feeds from
// any thread and a 30 ms timer repaints: the base of "System State" and
// "I/O State". Stopping shows the words a stopped drive gives (all dark).
class LampPanel : public QGroupBox
{
    Q_OBJECT
public:
    void start();
    void stop();
    bool isRunning() const;

public slots:
    // Lights the lamps from the words last handed in.
    virtual void updateStatus() = 0;

protected:
    // `lamps` lamps and captions for the drive's series; the panel lays them out.
    LampPanel(const DriveProfile &drive, int lamps, QWidget *parent);

    void changeEvent(QEvent *event) override;
    virtual void retranslate() = 0;
    // Sets the words a stopped drive gives.
    virtual void clearWords() = 0;

    const DriveProfile m_drive;
    QVector<Lamp *> m_lamps;
    QVector<QLabel *> m_captions;

private:
    QTimer *m_timer;
};
