#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>

// How core logic talks to the person in front of it: message boxes, questions
// and progress dialogs in the GUI, stderr in the command-line tool, a recorder
// in tests. Texts and titles are passed exactly as they are to be shown.
class UserInteraction
{
public:
    enum class Answer { Yes, No, Cancel, Ok };
    enum class Icon { Question, Warning, Information };

    // What a progress dialog shows when it opens.
    struct ProgressSetup {
        QString label;
        QString cancelText;
        QString title;
        int minimum = 0;
        int maximum = 0;
    };

    virtual ~UserInteraction() = default;
    virtual void warning(const QString &title, const QString &text) = 0;
    virtual void critical(const QString &title, const QString &text) = 0;
    virtual void information(const QString &title, const QString &text) = 0;
    // A question with the given buttons (a combination of Yes, No, Cancel).
    virtual Answer question(const QString &title, const QString &text, bool withNo,
                            bool withCancel) = 0;
    // A message whose buttons carry the given texts. Returns the index of the
    // chosen button, or -1 when the box was closed without a choice.
    virtual int choose(Icon icon, const QString &title, const QString &text,
                       const QStringList &buttons, int defaultButton) = 0;

    // One progress dialog at a time (window-modal in the GUI). The start shows
    // it at its minimum and lets pending events run.
    virtual void progressStart(const ProgressSetup &setup) = 0;
    virtual void progressSetRange(int minimum, int maximum) = 0;
    virtual void progressSetValue(int value) = 0;
    // Whether the user pressed the dialog's cancel button.
    virtual bool progressCancelled() = 0;
    virtual void progressEnd() = 0;
};

class QTextStream;

// Prints every message on stderr (or on the stream given), answers every
// question with Yes (or the default button) and reports progress in steps of
// a tenth, unless told to keep progress to itself (benchmarks, picture runs).
class StderrInteraction : public UserInteraction
{
public:
    explicit StderrInteraction(QTextStream *stream = nullptr, bool showProgress = true)
        : m_stream(stream), m_showProgress(showProgress)
    {
    }

    void warning(const QString &title, const QString &text) override;
    void critical(const QString &title, const QString &text) override;
    void information(const QString &title, const QString &text) override;
    Answer question(const QString &title, const QString &text, bool withNo,
                    bool withCancel) override;
    int choose(Icon icon, const QString &title, const QString &text, const QStringList &buttons,
               int defaultButton) override;

    void progressStart(const ProgressSetup &setup) override;
    void progressSetRange(int minimum, int maximum) override;
    void progressSetValue(int value) override;
    bool progressCancelled() override { return false; }
    void progressEnd() override;

private:
    void print(const QString &title, const QString &text);
    void printProgress(int value);

    QTextStream *m_stream;
    const bool m_showProgress;
    QString m_progressTitle;
    int m_minimum = 0;
    int m_maximum = 0;
    int m_lastTenth = -1;
};

// Another interaction whose calls take a lock: where several threads (the
// link worker and the command-line tool's own) print on one stream.
class LockedInteraction : public UserInteraction
{
public:
    LockedInteraction(UserInteraction &inner, QMutex &lock) : m_inner(inner), m_lock(lock) {}

    void warning(const QString &title, const QString &text) override;
    void critical(const QString &title, const QString &text) override;
    void information(const QString &title, const QString &text) override;
    Answer question(const QString &title, const QString &text, bool withNo,
                    bool withCancel) override;
    int choose(Icon icon, const QString &title, const QString &text, const QStringList &buttons,
               int defaultButton) override;
    void progressStart(const ProgressSetup &setup) override;
    void progressSetRange(int minimum, int maximum) override;
    void progressSetValue(int value) override;
    bool progressCancelled() override;
    void progressEnd() override;

private:
    UserInteraction &m_inner;
    QMutex &m_lock;
};

// The interaction in force for the calling thread: the one installed for
// this thread, else the process-wide one, else a StderrInteraction.
UserInteraction *userInteraction();
// Installs `ui` (not owned) for the process; nullptr restores the stderr default.
void setUserInteraction(UserInteraction *ui);
// The process-wide interaction, whatever the calling thread has installed.
UserInteraction *processInteraction();

// Installs an interaction for the calling thread while it lives (a job on
// the link worker sends its progress to its own window, not to the process's).
class ThreadInteractionScope
{
public:
    explicit ThreadInteractionScope(UserInteraction *ui);
    ~ThreadInteractionScope();
    ThreadInteractionScope(const ThreadInteractionScope &) = delete;
    ThreadInteractionScope &operator=(const ThreadInteractionScope &) = delete;

private:
    UserInteraction *m_previous;
};

// A progress dialog for the length of a scope: opened by the constructor,
// closed by the destructor, so that every early return closes it.
class ProgressScope
{
public:
    explicit ProgressScope(const UserInteraction::ProgressSetup &setup);
    ~ProgressScope();
    ProgressScope(const ProgressScope &) = delete;
    ProgressScope &operator=(const ProgressScope &) = delete;

    void step() { setValue(m_value + 1); }
    void setValue(int value);
    void setRange(int minimum, int maximum);
    int value() const { return m_value; }
    bool cancelled() const;

private:
    UserInteraction *m_ui;
    int m_value;
};
