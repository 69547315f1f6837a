#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>

class LinkJob;
class QLabel;
class QProgressBar;
class QPushButton;

// A link job's progress inside the window that started it: its title, a
// progress bar and Cancel, shown while the job reports progress. Unlike a
// modal dialog it blocks nothing: the navigation panel (STOP above all) stays
// usable while a batch runs. The owner disables its own controls while
// busyChanged(true) holds.
class JobProgressPanel : public QWidget
{
    Q_OBJECT
public:
    explicit JobProgressPanel(QWidget *parent = nullptr);

    // Follows `job` from now until it has finished; Cancel cancels it.
    void follow(const std::shared_ptr<LinkJob> &job);
    // A job is followed and has not finished yet.
    bool busy() const { return bool(m_job.lock()); }
    // Cancels the followed job (as Cancel does); nothing when idle.
    void cancelJob();

    QLabel *titleLabel() const { return m_title; }
    QProgressBar *bar() const { return m_bar; }
    QPushButton *cancelButton() const { return m_cancel; }

signals:
    void busyChanged(bool busy);

protected:
    void changeEvent(QEvent *event) override;

private:
    void showProgress(LinkJob *job);
    void jobFinished(LinkJob *job);

    std::weak_ptr<LinkJob> m_job;
    QLabel *m_title;
    QProgressBar *m_bar;
    QPushButton *m_cancel;
    QString m_cancelText;
};
