#pragma once

#include <QDialog>

namespace Ui {
class DialOptionDialog;
}

// The maximum of one dial. The opener names the dialog after the dial
// ("LeftDial", "MidDial" or "RightDial"); OK hands the value to the signal
// of that dial and closes.
class DialOptionDialog : public QDialog
{
    Q_OBJECT
public:
    explicit DialOptionDialog(QWidget *parent = nullptr);
    ~DialOptionDialog() override;

    // Preset, cut to a whole number within the spin box's range.
    void setMaximum(double maximum);
    int maximum() const;

signals:
    void leftDialMaxChosen(double maximum);
    void midDialMaxChosen(double maximum);
    void rightDialMaxChosen(double maximum);

public slots:
    void setDialValue();

protected:
    void changeEvent(QEvent *event) override;

private:
    Ui::DialOptionDialog *m_ui;
};
