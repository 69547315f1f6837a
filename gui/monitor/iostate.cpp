#include "iostate.h"

#include "gui/widgets/lamp.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

namespace {
constexpr int kInputBits = 10;
constexpr int kOutputBits = 6;

const char *const kDefaultCaptions[IOState::kLamps] = {
    "STF", "STR", "M0",  "M1",    "M2",       "RES",     "M3",      "M4",
    "M5",  "HDI", "A-B-C", "SO-SE", "SO2-SE", "A1-B1-C1", "A2-B2-C2",
};

// ZM-KX and series A wire their terminals in order; the other series put
// RES on input bit 8 and the relay outputs on bits 1, 4 and 5.
bool inOrder(char series) { return series == 'L' || series == 'A'; }

struct Caption {
    int lamp;
    const char *text;
};
}  // namespace

int IOState::lampOfInput(char series, int bit)
{
    static const int kOthers[kInputBits] = {1, 2, 3, 4, 5, 7, 8, 9, 6, 10};
    if (bit < 0 || bit >= kInputBits)
        return 0;
    return inOrder(series) ? bit + 1 : kOthers[bit];
}

int IOState::lampOfOutput(char series, int bit)
{
    static const int kInOrder[kOutputBits] = {12, 14, 11, 15, 0, 0};
    static const int kOthers[kOutputBits] = {12, 11, 0, 0, 14, 15};
    if (bit < 0 || bit >= kOutputBits)
        return 0;
    return inOrder(series) ? kInOrder[bit] : kOthers[bit];
}

IOState::IOState(QWidget *parent) : IOState(DriveProfile::current(), parent) {}

IOState::IOState(const DriveProfile &drive, QWidget *parent)
    : LampPanel(drive, kLamps, parent)
{
    for (int i = 0; i < kLamps; ++i)
        m_captions[i]->setText(QString::fromLatin1(kDefaultCaptions[i]));
    buildLayout();
    applySeries();
    retranslate();
}

// Inputs in two rows of five pairs, a raised line, the outputs in two rows
// of three pairs.
void IOState::buildLayout()
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(6, 2, 6, 2);
    auto *inputs = new QGridLayout;
    auto *outputs = new QGridLayout;
    for (auto *grid : {inputs, outputs})
        grid->setVerticalSpacing(2);
    for (int i = 0; i < kLamps; ++i) {
        const bool input = i < kInputBits;
        const int n = input ? i : i - kInputBits;
        QGridLayout *grid = input ? inputs : outputs;
        grid->addWidget(m_lamps[i], n % 2, 2 * (n / 2));
        grid->addWidget(m_captions[i], n % 2, 2 * (n / 2) + 1);
    }
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Raised);
    row->addLayout(inputs, 5);
    row->addWidget(line);
    row->addLayout(outputs, 3);
}

void IOState::applySeries()
{
    const char s = m_drive.series;
    QList<Caption> captions;
    QList<int> greyed;
    if (s == 'F' || m_drive.zmkFrom02()) {
        captions = {{3, "RL"}, {4, "RM"},  {5, "RH"},  {7, "AU"},  {8, "RT"},
                    {9, "MRS"}, {12, "SU"}, {11, "ABC"}, {14, "RUN"}, {15, "FU"}};
        greyed = {10, 13};
    } else if (s == 'T') {
        greyed = {7, 8, 9, 14, 15, 10, 13};
    } else if (m_drive.zp2From06()) {
        greyed = {10, 13};
    } else if (s == 'L') {
        captions = {{12, "SO1-SE"}, {11, "SO2-SE"}};
        greyed = {8, 9};
    } else if (s == 'A') {
        captions = {{12, "SO1-SE"}, {11, "SO2-SE"}};
    } else {
        for (int n = 1; n <= kLamps; ++n)
            greyed.append(n);
    }
    for (const Caption &c : captions)
        caption(c.lamp)->setText(QString::fromLatin1(c.text));
    for (int n : greyed) {
        lamp(n)->setEnabled(false);
        caption(n)->setEnabled(false);
    }
}

void IOState::retranslate() { setTitle(tr("I/O State")); }

void IOState::setTerminalWords(int inputs, int outputs)
{
    m_inputs = inputs;
    m_outputs = outputs;
}

void IOState::updateStatus()
{
    const int inputs = m_inputs.load();
    const int outputs = m_outputs.load();
    for (int bit = 0; bit < kInputBits; ++bit) {
        if (const int n = lampOfInput(m_drive.series, bit))
            lamp(n)->setLit(((inputs >> bit) & 1) == 0);
    }
    for (int bit = 0; bit < kOutputBits; ++bit) {
        if (const int n = lampOfOutput(m_drive.series, bit))
            lamp(n)->setLit(((outputs >> bit) & 1) == 0);
    }
}
