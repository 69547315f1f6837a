#pragma once

#include "lamppanel.h"

#include <atomic>

class Lamp;
class QLabel;

// "I/O State": fifteen terminal lamps (L1 to L10 inputs, L11 to L15
// outputs). Terminals are active low: a lamp is lit while its bit is 0.
// Which bit drives which lamp, the captions and which lamps are greyed out
// follow the series; the monitor thread hands the two words in and a 30 ms
// timer repaints.
class IOState : public LampPanel
{
    Q_OBJECT
public:
    static constexpr int kLamps = 15;

    explicit IOState(QWidget *parent = nullptr);
    explicit IOState(const DriveProfile &drive, QWidget *parent = nullptr);

    // Any thread.
    void setTerminalWords(int inputs, int outputs);
    int inputWord() const { return m_inputs.load(); }
    int outputWord() const { return m_outputs.load(); }

    // Lamps and captions by number, 1 to 15.
    Lamp *lamp(int number) const { return m_lamps[number - 1]; }
    QLabel *caption(int number) const { return m_captions[number - 1]; }

    // Which lamp (1 to 15) a bit drives for a series, 0 for none.
    static int lampOfInput(char series, int bit);
    static int lampOfOutput(char series, int bit);

public slots:
    void updateStatus() override;

private:
    void buildLayout();
    void applySeries();
    void retranslate() override;
    void clearWords() override { setTerminalWords(0xFFFF, 0xFFFF); }

    std::atomic<int> m_inputs{0xFFFF};
    std::atomic<int> m_outputs{0xFFFF};
};
