#pragma once

#include <QString>

// How core logic talks to the person in front of it: message boxes and
// questions in the GUI, stderr in the command-line tool, a recorder in tests.
// Texts and titles are passed exactly as they are to be shown.
class UserInteraction
{
public:
    enum class Answer { Yes, No, Cancel, Ok };

    virtual ~UserInteraction() = default;
    virtual void warning(const QString &title, const QString &text) = 0;
    virtual void critical(const QString &title, const QString &text) = 0;
    virtual void information(const QString &title, const QString &text) = 0;
    // A question with the given buttons (a combination of Yes, No, Cancel).
    virtual Answer question(const QString &title, const QString &text, bool withNo,
                            bool withCancel) = 0;
};

// Prints every message on stderr and answers every question with Yes.
class StderrInteraction : public UserInteraction
{
public:
    void warning(const QString &title, const QString &text) override;
    void critical(const QString &title, const QString &text) override;
    void information(const QString &title, const QString &text) override;
    Answer question(const QString &title, const QString &text, bool withNo,
                    bool withCancel) override;
};

// The interaction in force; a StderrInteraction until one is installed.
UserInteraction *userInteraction();
// Installs `ui` (not owned); nullptr restores the stderr default.
void setUserInteraction(UserInteraction *ui);
