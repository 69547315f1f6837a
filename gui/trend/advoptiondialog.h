#pragma once

#include <QDialog>
#include <QVector>

class QSpinBox;

namespace Ui {
class AdvOptionDialog;
}

// The trend recorder's settings: seconds per page, the record time and the
// eight channels' value offsets. The opener names the dialog "AdvancePlot"
// and listens to valuesChosen; OK hands the values on and closes. The record
// time and the offsets start at 1200 and 0 every time the dialog opens.
class AdvOptionDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AdvOptionDialog(QWidget *parent = nullptr);
    ~AdvOptionDialog() override;

    // Preset: cut to a whole number.
    void setSecondsPerPage(double seconds);
    int secondsPerPage() const;
    int recordTime() const;
    QVector<QSpinBox *> offsetSpinBoxes() const;
    QSpinBox *pageSpinBox() const;
    QSpinBox *recordTimeSpinBox() const;

signals:
    // Seconds per page, record time, and the offset spin boxes.
    void valuesChosen(double secondsPerPage, int recordTime, const QVector<QSpinBox *> &offsets);

public slots:
    void setValue();

protected:
    void changeEvent(QEvent *event) override;

private:
    Ui::AdvOptionDialog *m_ui;
};
