#include "advoptiondialog.h"

#include "ui_advoptiondialog.h"

#include <QEvent>

AdvOptionDialog::AdvOptionDialog(QWidget *parent) : QDialog(parent), m_ui(new Ui::AdvOptionDialog)
{
    m_ui->setupUi(this);
    connect(m_ui->okButton, &QPushButton::clicked, this, &AdvOptionDialog::setValue);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

AdvOptionDialog::~AdvOptionDialog() { delete m_ui; }

void AdvOptionDialog::setSecondsPerPage(double seconds) { m_ui->pageSpinBox->setValue(int(seconds)); }

void AdvOptionDialog::setRecordTime(int seconds) { m_ui->recordTimeSpinBox->setValue(seconds); }

void AdvOptionDialog::setOffsets(const QVector<int> &offsets)
{
    const QVector<QSpinBox *> boxes = offsetSpinBoxes();
    for (int i = 0; i < boxes.size(); ++i)
        boxes[i]->setValue(offsets.value(i));
}

int AdvOptionDialog::secondsPerPage() const { return m_ui->pageSpinBox->value(); }

int AdvOptionDialog::recordTime() const { return m_ui->recordTimeSpinBox->value(); }

QSpinBox *AdvOptionDialog::pageSpinBox() const { return m_ui->pageSpinBox; }

QSpinBox *AdvOptionDialog::recordTimeSpinBox() const { return m_ui->recordTimeSpinBox; }

QVector<QSpinBox *> AdvOptionDialog::offsetSpinBoxes() const
{
    return {m_ui->offsetSpinBox1, m_ui->offsetSpinBox2, m_ui->offsetSpinBox3,
            m_ui->offsetSpinBox4, m_ui->offsetSpinBox5, m_ui->offsetSpinBox6,
            m_ui->offsetSpinBox7, m_ui->offsetSpinBox8};
}

void AdvOptionDialog::setValue()
{
    if (objectName() == QLatin1String("AdvancePlot"))
        emit valuesChosen(secondsPerPage(), recordTime(), offsetSpinBoxes());
    accept();
}

void AdvOptionDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        m_ui->retranslateUi(this);
    QDialog::changeEvent(event);
}
