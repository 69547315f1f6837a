#include "dialoptiondialog.h"

#include "ui_dialoptiondialog.h"

#include <QEvent>

DialOptionDialog::DialOptionDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowCloseButtonHint),
      m_ui(new Ui::DialOptionDialog)
{
    m_ui->setupUi(this);
    setFixedSize(200, 110);
    // "OK" and "Cancel" under their icons in 48 pixels.
    for (QToolButton *b : {m_ui->okToolButton, m_ui->cancelToolButton}) {
        QFont small = b->font();
        small.setPixelSize(11);
        b->setFont(small);
    }
    connect(m_ui->okToolButton, &QToolButton::clicked, this, &DialOptionDialog::setDialValue);
    connect(m_ui->cancelToolButton, &QToolButton::clicked, this, &QDialog::close);
}

DialOptionDialog::~DialOptionDialog() { delete m_ui; }

void DialOptionDialog::setMaximum(double maximum) { m_ui->maxSpinBox->setValue(int(maximum)); }

int DialOptionDialog::maximum() const { return m_ui->maxSpinBox->value(); }

void DialOptionDialog::setDialValue()
{
    const QString name = objectName();
    if (name == QLatin1String("LeftDial"))
        emit leftDialMaxChosen(maximum());
    else if (name == QLatin1String("MidDial"))
        emit midDialMaxChosen(maximum());
    else if (name == QLatin1String("RightDial"))
        emit rightDialMaxChosen(maximum());
    accept();
}

void DialOptionDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        m_ui->retranslateUi(this);
    QDialog::changeEvent(event);
}
