#include "lamppanel.h"

#include "gui/widgets/lamp.h"

#include <QEvent>
#include <QLabel>
#include <QTimer>

namespace {
constexpr int kRefreshMs = 30;
}

LampPanel::LampPanel(const DriveProfile &drive, int lamps, QWidget *parent)
    : QGroupBox(parent), m_drive(drive), m_timer(new QTimer(this))
{
    for (int i = 0; i < lamps; ++i) {
        m_lamps.append(new Lamp(this));
        m_captions.append(new QLabel(this));
        m_captions.last()->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    connect(m_timer, &QTimer::timeout, this, &LampPanel::updateStatus);
}

void LampPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QGroupBox::changeEvent(event);
}

void LampPanel::start() { m_timer->start(kRefreshMs); }

void LampPanel::stop()
{
    m_timer->stop();
    clearWords();
    updateStatus();
}

bool LampPanel::isRunning() const { return m_timer->isActive(); }
