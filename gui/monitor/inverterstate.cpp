#include "inverterstate.h"

#include "alarmlamps.h"
#include "gui/widgets/lamp.h"

#include "link/linkstate.h"

#include <QGridLayout>
#include <QLabel>

namespace {
constexpr int kAlarmBit = 7;
}  // namespace

InverterState::InverterState(QWidget *parent) : InverterState(DriveProfile::current(), parent) {}

InverterState::InverterState(const DriveProfile &drive, QWidget *parent)
    : LampPanel(drive, kLamps, parent)
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setVerticalSpacing(2);
    // Two rows of four lamp and caption pairs: bits 0 and 1 in the first
    // pair, 2 and 3 in the second, and so on.
    for (int bit = 0; bit < kLamps; ++bit) {
        const int row = bit % 2;
        const int column = 2 * (bit / 2);
        grid->addWidget(m_lamps[bit], row, column);
        grid->addWidget(m_captions[bit], row, column + 1);
        grid->setColumnStretch(column + 1, 1);
    }
    retranslate();
}

void InverterState::retranslate()
{
    setTitle(tr("System State"));
    const QString captions[kLamps] = {
        tr("Running") + QString(14, QLatin1Char(' ')),
        tr("Forward"),
        tr("Reversal"),
        tr("Freq Arrival"),
        tr("Overload"),
        m_drive.series == 'H' ? tr("key tone") : tr("Pr. restor"),
        tr("Freq Detection"),
        tr("Alarm occurrence"),
    };
    for (int bit = 0; bit < kLamps; ++bit)
        m_captions[bit]->setText(captions[bit]);
}

void InverterState::setStatusWord(double word) { m_word = int(word); }

void InverterState::updateStatus()
{
    const int word = m_word.load();
    for (int bit = 0; bit < kAlarmBit; ++bit)
        m_lamps[bit]->setLit((word >> bit) & 1);
    const bool alarm = (word >> kAlarmBit) & 1;
    m_lamps[kAlarmBit]->setLit(alarm);
    if (!m_alarms)
        return;
    if (alarm) {
        // The drive may refuse the alarm registers while it reports an
        // alarm; that is no error here.
        linkState().acceptReject288 = true;
        m_alarms->showCurrentAlarm();
        linkState().acceptReject288 = false;
    } else {
        m_alarms->clearAlarmLamps();
    }
}
