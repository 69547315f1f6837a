#include "cabout.h"

#include "ui_aboutdialog.h"

#include <QEvent>

#include <qwt_global.h>

CAbout::CAbout(QWidget *parent) : QDialog(parent), m_ui(new Ui::AboutDialog)
{
    m_ui->setupUi(this);
    retranslate();
}

CAbout::~CAbout() { delete m_ui; }

QString CAbout::titleText()
{
    return tr("Vantreo %1 - drive setup and monitoring").arg(QStringLiteral(VANTREO_VERSION));
}

QString CAbout::infoHtml()
{
    const QString versions =
        tr("Built with Qt %1, running on Qt %2; plots by Qwt %3.")
            .arg(QStringLiteral(QT_VERSION_STR), QString::fromLatin1(qVersion()),
                 QStringLiteral(QWT_VERSION_STR));
    return QStringLiteral("<p><b>Vantreo %1</b></p><p>%2</p><p>%3</p><p>%4</p>")
        .arg(QStringLiteral(VANTREO_VERSION),
             tr("Reads and writes the parameters of variable-frequency drives, saves "
                "them as files, and watches and records the running drive over a serial "
                "line (Korvane protocol, Modbus RTU and Modbus ASCII)."),
             versions.toHtmlEscaped(),
             tr("Free software: you may use, study, share and improve it."));
}

void CAbout::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void CAbout::retranslate()
{
    m_ui->retranslateUi(this);
    m_ui->titleLineEdit->setText(titleText());
    m_ui->titleLineEdit->setCursorPosition(0);
    m_ui->infoTextBrowser->setHtml(infoHtml());
}
