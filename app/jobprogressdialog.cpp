#include "jobprogressdialog.h"

#include "link/linkjob.h"

#include <QProgressDialog>
#include <QWidget>

JobProgressDialog::JobProgressDialog(const std::shared_ptr<LinkJob> &job, QWidget *parent)
    : QObject(parent), m_job(job), m_parent(parent)
{
    LinkJob *raw = job.get();
    connect(raw, &LinkJob::progressStarted, this, &JobProgressDialog::open);
    connect(raw, &LinkJob::progressRangeChanged, this, [this](int minimum, int maximum) {
        if (m_dialog)
            m_dialog->setRange(minimum, maximum);
    });
    connect(raw, &LinkJob::progressValueChanged, this, [this](int value) {
        if (m_dialog)
            m_dialog->setValue(value);
    });
    connect(raw, &LinkJob::progressEnded, this, &JobProgressDialog::close);
    connect(raw, &LinkJob::finished, this, [this] {
        close();
        deleteLater();
    });
}

JobProgressDialog::~JobProgressDialog() { delete m_dialog.data(); }

QProgressDialog *JobProgressDialog::dialog() const { return m_dialog.data(); }

void JobProgressDialog::open()
{
    const std::shared_ptr<LinkJob> job = m_job.lock();
    if (!job)
        return;
    const UserInteraction::ProgressSetup setup = job->progressSetup();
    delete m_dialog.data();
    m_dialog = new QProgressDialog(setup.label, setup.cancelText, setup.minimum, setup.maximum,
                                   m_parent);
    m_dialog->setWindowTitle(setup.title);
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumDuration(0);
    m_dialog->setValue(setup.minimum);
    // The job stops at its next check; the dialog stays until it has.
    connect(m_dialog, &QProgressDialog::canceled, this, [this] {
        if (const std::shared_ptr<LinkJob> j = m_job.lock())
            j->cancel();
    });
    m_dialog->show();
}

void JobProgressDialog::close()
{
    if (m_dialog)
        m_dialog->hide();
}
