#include "optiondialog.h"

#include "ui_optiondialog.h"

#include <QEvent>

OptionDialog::OptionDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowCloseButtonHint),
      m_ui(new Ui::OptionDialog)
{
    m_ui->setupUi(this);
    setFixedSize(260, 200);
    connect(m_ui->okPushButton, &QPushButton::clicked, this, &OptionDialog::setValue);
    connect(m_ui->cancelPushButton, &QPushButton::clicked, this, &QDialog::close);
}

OptionDialog::~OptionDialog() { delete m_ui; }

void OptionDialog::setValues(double seconds, double maximum)
{
    m_ui->secondsSpinBox->setValue(int(seconds));
    m_ui->maxSpinBox->setValue(int(maximum));
}

int OptionDialog::seconds() const { return m_ui->secondsSpinBox->value(); }

int OptionDialog::maximum() const { return m_ui->maxSpinBox->value(); }

void OptionDialog::setValue()
{
    if (objectName() == QLatin1String("Plot"))
        emit plotValueChosen(seconds(), maximum());
    else if (objectName() == QLatin1String("RamAdvancePlot"))
        emit ramValueChosen(seconds(), maximum());
    accept();
}

void OptionDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        m_ui->retranslateUi(this);
    QDialog::changeEvent(event);
}
