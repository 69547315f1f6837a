#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class LinkJob;
class QProgressDialog;
class QWidget;

// Shows a link job's progress in a window-modal progress dialog, the way
// the core asks for it (title, label, Cancel text, range); Cancel cancels
// the job. Goes away by itself when the job has finished, or with `parent`.
class JobProgressDialog : public QObject
{
    Q_OBJECT
public:
    JobProgressDialog(const std::shared_ptr<LinkJob> &job, QWidget *parent);
    ~JobProgressDialog() override;

    QProgressDialog *dialog() const;

private:
    void open();
    void close();

    std::weak_ptr<LinkJob> m_job;
    QWidget *m_parent;
    QPointer<QProgressDialog> m_dialog;
};
