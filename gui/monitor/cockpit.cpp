#include "cockpit.h"

#include "dial.h"
#include "dialoptiondialog.h"

#include "monitor/monitordata.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLCDNumber>
#include <QResizeEvent>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <qwt_dial_needle.h>
#include <qwt_round_scale_draw.h>

namespace {
constexpr int kRefreshMs = 30;
constexpr int kArcSize = 340;
constexpr int kArcVisibleHeight = 213;
const QColor kDialBase(106, 156, 255);

// The dial frames take shades of one blue: a dark face, light text and
// scale, and a lighter and a darker rim for the sunken frame.
QPalette dialPalette()
{
    const QColor face = kDialBase.darker(300);
    QPalette p;
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(g, QPalette::Window, face);
        p.setColor(g, QPalette::Base, face.darker(120));
        p.setColor(g, QPalette::Button, face);
        p.setColor(g, QPalette::Mid, face.lighter(130));
        p.setColor(g, QPalette::Light, kDialBase.darker(140));
        p.setColor(g, QPalette::Midlight, kDialBase.darker(200));
        p.setColor(g, QPalette::Dark, face.darker(200));
        p.setColor(g, QPalette::Shadow, face.darker(300));
        p.setColor(g, QPalette::Text, kDialBase.lighter(150));
        p.setColor(g, QPalette::WindowText, kDialBase.lighter(150));
        p.setColor(g, QPalette::ButtonText, kDialBase.lighter(150));
    }
    return p;
}

QToolButton *optionToolButton(QWidget *parent, const QSize &icon)
{
    auto *button = new QToolButton(parent);
    button->setIcon(QIcon(QStringLiteral(":/new prefix/images/option.png")));
    button->setIconSize(icon);
    button->setAutoRaise(true);
    return button;
}

void showTicksAndLabels(Dial *dial)
{
    QwtRoundScaleDraw *draw = dial->scaleDraw();
    draw->enableComponent(QwtAbstractScaleDraw::Backbone, false);
    draw->enableComponent(QwtAbstractScaleDraw::Ticks, true);
    draw->enableComponent(QwtAbstractScaleDraw::Labels, true);
}
}  // namespace

Cockpit::Cockpit(QWidget *parent) : Cockpit(DriveProfile::current(), parent) {}

Cockpit::Cockpit(const DriveProfile &drive, QWidget *parent)
    : QWidget(parent), m_drive(drive), m_list(QuantityLists::dialList(drive)),
      m_timer(new QTimer(this))
{
    for (int i = 0; i < 3; ++i) {
        m_positions[i] = i;
        m_values[i] = 0;
    }
    for (auto &v : m_displayValues)
        v = 0;
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(buildGaugePanel(Left), 4);
    row->addWidget(buildGaugePanel(Mid), 4);
    row->addWidget(buildArcPanel(), 5);
    fillSelectors();
    for (int i = 0; i < 3; ++i) {
        m_selectors[i]->setCurrentIndex(i);
        m_dials[i]->setLabel(i);
        connect(m_selectors[i], QOverload<int>::of(&QComboBox::currentIndexChanged), m_dials[i],
                &Dial::setLabel);
    }
    connect(m_options[Left], &QToolButton::clicked, this, &Cockpit::setLeftDialValue);
    connect(m_options[Mid], &QToolButton::clicked, this, &Cockpit::setMidDialValue);
    connect(m_options[Right], &QToolButton::clicked, this, &Cockpit::setRightDialValue);
    connect(m_timer, &QTimer::timeout, this, &Cockpit::updateData);
}

QFrame *Cockpit::dialFrame(QWidget *parent)
{
    auto *frame = new QFrame(parent);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setPalette(dialPalette());
    frame->setAutoFillBackground(true);
    return frame;
}

QFrame *Cockpit::buildGaugePanel(Which which)
{
    auto *panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Raised);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(3);

    QFrame *inner = dialFrame(panel);
    auto *innerLayout = new QVBoxLayout(inner);
    innerLayout->setContentsMargins(4, 4, 4, 4);
    m_dials[which] = new Dial(Dial::Gauge, m_drive.series, inner);
    styleGauge(m_dials[which]);
    innerLayout->addWidget(m_dials[which]);
    column->addWidget(inner, 1);

    auto *displayRow = new QHBoxLayout;
    m_options[which] = optionToolButton(panel, QSize(30, 26));
    auto *lcd = new QLCDNumber(8, panel);
    lcd->setSegmentStyle(QLCDNumber::Flat);
    lcd->setMinimumHeight(30);
    QPalette lcdPalette = lcd->palette();
    lcdPalette.setColor(QPalette::Window, QColor(46, 74, 95));
    lcdPalette.setColor(QPalette::WindowText, kDialBase.lighter(130));
    lcd->setPalette(lcdPalette);
    lcd->setAutoFillBackground(true);
    m_displays[which] = lcd;
    displayRow->addWidget(m_options[which]);
    displayRow->addWidget(lcd, 1);
    column->addLayout(displayRow);

    m_selectors[which] = new QComboBox(panel);
    column->addWidget(m_selectors[which]);
    if (which == Mid)
        setRange(Mid, 450);
    return panel;
}

QFrame *Cockpit::buildArcPanel()
{
    auto *panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Raised);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(3);

    QFrame *inner = dialFrame(panel);
    inner->setMinimumSize(kArcSize, kArcVisibleHeight);
    m_rightArea = inner;
    m_rightArea->installEventFilter(this);
    m_dials[Right] = new Dial(Dial::Arc, m_drive.series, inner);
    styleArc(m_dials[Right]);
    column->addWidget(inner, 1);

    auto *selectRow = new QHBoxLayout;
    m_selectors[Right] = new QComboBox(panel);
    m_options[Right] = optionToolButton(panel, QSize(18, 18));
    selectRow->addWidget(m_selectors[Right], 7);
    selectRow->addWidget(m_options[Right]);
    column->addLayout(selectRow);
    return panel;
}

void Cockpit::styleGauge(Dial *dial)
{
    dial->setScale(0, 100);
    dial->setScaleMaxMinor(10);
    dial->setScaleStepSize(10);
    showTicksAndLabels(dial);
    dial->setOrigin(140);
    dial->setScaleArc(0, 260);
    auto *needle = new QwtDialSimpleNeedle(QwtDialSimpleNeedle::Arrow, true, Qt::red,
                                           QColor(Qt::blue).lighter(130));
    needle->setWidth(6);
    dial->setNeedle(needle);
    dial->setLineWidth(4);
    dial->setFrameShadow(QwtDial::Sunken);
}

void Cockpit::styleArc(Dial *dial)
{
    dial->setScale(0, 100);
    dial->setScaleMaxMinor(10);
    dial->setScaleStepSize(10);
    showTicksAndLabels(dial);
    dial->setOrigin(210);
    dial->setScaleArc(0, 120);
    dial->setFixedSize(kArcSize, kArcSize);
    auto *needle = new QwtDialSimpleNeedle(QwtDialSimpleNeedle::Ray, false,
                                           QColor(29, 82, 255).darker(160),
                                           QColor(Qt::blue).lighter(130));
    needle->setWidth(2);
    dial->setNeedle(needle);
}

void Cockpit::fillSelectors()
{
    const QStringList captions = QuantityLists::captions(m_list);
    for (QComboBox *selector : m_selectors) {
        const int index = selector->currentIndex();
        const bool blocked = selector->blockSignals(true);
        selector->clear();
        selector->addItems(captions);
        selector->setCurrentIndex(index);
        selector->blockSignals(blocked);
    }
}

void Cockpit::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        fillSelectors();
    QWidget::changeEvent(event);
}

void Cockpit::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeRightDial();
}

bool Cockpit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_rightArea && event->type() == QEvent::Resize)
        placeRightDial();
    return QWidget::eventFilter(watched, event);
}

// The right dial keeps its size: centred across its panel, a third of the
// spare height above it. A panel with no room to spare puts it at the edge:
// a place kept from a larger panel would push its label out of sight.
void Cockpit::placeRightDial()
{
    const QSize area = m_rightArea->size();
    m_dials[Right]->move(qMax(0, (area.width() - kArcSize) / 2),
                         qMax(0, (area.height() - kArcVisibleHeight) / 3));
}

bool Cockpit::isRunning() const { return m_timer->isActive(); }

void Cockpit::start()
{
    for (int i = 0; i < 3; ++i) {
        m_values[i] = 0;
        m_positions[i] = m_selectors[i]->currentIndex();
    }
    for (auto &v : m_displayValues)
        v = 0;
    m_timer->start(kRefreshMs);
    MonitorData &data = monitorData();
    for (int i = 0; i < 3; ++i)
        data.setDialFlag(m_positions[i], true);
    data.setDialFlag(QuantityLists::statusPosition(m_drive.series), true);
}

void Cockpit::stop() { m_timer->stop(); }

void Cockpit::takeSample()
{
    const MonitorData &data = monitorData();
    for (int i = 0; i < 3; ++i)
        m_values[i] = data.value(m_positions[i]);
    m_displayValues[Left] = m_values[Left].load();
    m_displayValues[Mid] = m_values[Mid].load();
}

void Cockpit::updateData()
{
    for (int i = 0; i < 3; ++i)
        m_dials[i]->changeDialValue(m_values[i]);
    for (int i = 0; i < 2; ++i) {
        const double shown = m_displayValues[i];
        if (!m_displaysFilled || shown != m_shownDisplays[i])
            m_displays[i]->display(shown);
        m_shownDisplays[i] = shown;
    }
    m_displaysFilled = true;
    m_dials[Right]->setValueText(QString::number(m_values[Right], 'g', 6));
}

void Cockpit::setSelectorsEnabled(bool on)
{
    for (QComboBox *selector : m_selectors)
        selector->setEnabled(on);
}

void Cockpit::setRange(Which which, double maximum)
{
    m_dials[which]->setMaximum(maximum);
}

void Cockpit::setLeftRange(double maximum) { setRange(Left, maximum); }
void Cockpit::setMidRange(double maximum) { setRange(Mid, maximum); }
void Cockpit::setRightRange(double maximum) { setRange(Right, maximum); }

void Cockpit::openDialOption(Which which, const char *name)
{
    DialOptionDialog dialog(this);
    dialog.setObjectName(QLatin1String(name));
    dialog.setMaximum(m_dials[which]->upperBound());
    dialog.setModal(true);
    connect(&dialog, &DialOptionDialog::leftDialMaxChosen, this, &Cockpit::leftDialMaxChosen);
    connect(&dialog, &DialOptionDialog::midDialMaxChosen, this, &Cockpit::midDialMaxChosen);
    connect(&dialog, &DialOptionDialog::rightDialMaxChosen, this, &Cockpit::rightDialMaxChosen);
    runDialog(m_runDialog, dialog);
}

void Cockpit::setLeftDialValue() { openDialOption(Left, "LeftDial"); }
void Cockpit::setMidDialValue() { openDialOption(Mid, "MidDial"); }
void Cockpit::setRightDialValue() { openDialOption(Right, "RightDial"); }
