#include "jobprogresspanel.h"

#include "link/linkjob.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

JobProgressPanel::JobProgressPanel(QWidget *parent)
    : QWidget(parent), m_title(new QLabel(this)), m_bar(new QProgressBar(this)),
      m_cancel(new QPushButton(this))
{
    setObjectName(QStringLiteral("jobProgressPanel"));
    m_title->setObjectName(QStringLiteral("jobProgressTitle"));
    m_bar->setObjectName(QStringLiteral("jobProgressBar"));
    m_cancel->setObjectName(QStringLiteral("jobProgressCancel"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->addWidget(m_title);
    layout->addWidget(m_bar, 1);
    layout->addWidget(m_cancel);
    m_bar->setTextVisible(true);
    connect(m_cancel, &QPushButton::clicked, this, &JobProgressPanel::cancelJob);
    hide();
}

void JobProgressPanel::follow(const std::shared_ptr<LinkJob> &job)
{
    if (!job)
        return;
    const bool wasBusy = busy();
    m_job = job;
    LinkJob *raw = job.get();
    connect(raw, &LinkJob::progressStarted, this, [this, raw] { showProgress(raw); });
    connect(raw, &LinkJob::progressRangeChanged, this, [this, raw](int minimum, int maximum) {
        if (m_job.lock().get() == raw)
            m_bar->setRange(minimum, maximum);
    });
    connect(raw, &LinkJob::progressValueChanged, this, [this, raw](int value) {
        if (m_job.lock().get() == raw)
            m_bar->setValue(value);
    });
    connect(raw, &LinkJob::finished, this, [this, raw] { jobFinished(raw); });
    if (!wasBusy)
        emit busyChanged(true);
}

void JobProgressPanel::showProgress(LinkJob *job)
{
    const std::shared_ptr<LinkJob> followed = m_job.lock();
    if (followed.get() != job)
        return;
    const UserInteraction::ProgressSetup setup = followed->progressSetup();
    QString title = setup.title;
    if (!setup.label.isEmpty())
        title = title.isEmpty() ? setup.label : title + QLatin1Char(' ') + setup.label;
    m_title->setText(title);
    m_bar->setRange(setup.minimum, setup.maximum);
    m_bar->setValue(setup.minimum);
    m_cancelText = setup.cancelText;
    m_cancel->setText(setup.cancelText.isEmpty() ? tr("Cancel") : setup.cancelText);
    m_cancel->setEnabled(true);
    show();
}

void JobProgressPanel::cancelJob()
{
    const std::shared_ptr<LinkJob> job = m_job.lock();
    if (!job)
        return;
    // The job stops at its next check, between two exchanges; the panel
    // stays until it has.
    job->cancel();
    m_cancel->setEnabled(false);
}

void JobProgressPanel::jobFinished(LinkJob *job)
{
    const std::shared_ptr<LinkJob> followed = m_job.lock();
    if (followed && followed.get() != job)
        return;  // an earlier job; the one followed now goes on
    m_job.reset();
    hide();
    emit busyChanged(false);
}

void JobProgressPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange && m_cancelText.isEmpty())
        m_cancel->setText(tr("Cancel"));
    QWidget::changeEvent(event);
}
