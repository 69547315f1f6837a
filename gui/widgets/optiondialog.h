#pragma once

#include <QDialog>

namespace Ui {
class OptionDialog;
}

// The settings of a sample plot: seconds per page and the value maximum. The
// opener names the dialog after the plot it serves ("Plot" for the monitor
// page's, "RamAdvancePlot" for the RAM monitor's) and listens to the signal
// of that name; OK hands the two values on and closes.
class OptionDialog : public QDialog
{
    Q_OBJECT
public:
    explicit OptionDialog(QWidget *parent = nullptr);
    ~OptionDialog() override;

    // Preset: both cut to whole numbers.
    void setValues(double seconds, double maximum);
    int seconds() const;
    int maximum() const;

signals:
    void plotValueChosen(double seconds, double maximum);
    void ramValueChosen(double seconds, double maximum);

public slots:
    void setValue();

protected:
    void changeEvent(QEvent *event) override;

private:
    Ui::OptionDialog *m_ui;
};
