#pragma once

#include <QDialog>
#include <QVector>

class QSpinBox;

namespace Ui {
class AdvOptionDialog;
}

// The trend recorder's settings: seconds per page, the record time and the
// eight channels' value offsets. The opener names the dialog "AdvancePlot"
// and listens to valuesChosen; OK hands the values on and closes. The opener
// presets the values in use.
class AdvOptionDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AdvOptionDialog(QWidget *parent = nullptr);
    ~AdvOptionDialog() override;

    // Preset: cut to a whole number.
    void setSecondsPerPage(double seconds);
    void setRecordTime(int seconds);
    void setOffsets(const QVector<int> &offsets);
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
