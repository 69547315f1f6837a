#include "userinteraction.h"

#include <QTextStream>

#include <atomic>
#include <cstdio>

namespace {
StderrInteraction g_stderrInteraction;
std::atomic<UserInteraction *> g_interaction{nullptr};

void printMessage(const QString &title, const QString &text)
{
    QTextStream err(stderr);
    err << title << ": " << text << '\n';
}
}  // namespace

void StderrInteraction::warning(const QString &title, const QString &text)
{
    printMessage(title, text);
}

void StderrInteraction::critical(const QString &title, const QString &text)
{
    printMessage(title, text);
}

void StderrInteraction::information(const QString &title, const QString &text)
{
    printMessage(title, text);
}

UserInteraction::Answer StderrInteraction::question(const QString &title, const QString &text,
                                                    bool, bool)
{
    printMessage(title, text);
    return Answer::Yes;
}

UserInteraction *userInteraction()
{
    UserInteraction *ui = g_interaction.load();
    return ui ? ui : &g_stderrInteraction;
}

void setUserInteraction(UserInteraction *ui) { g_interaction.store(ui); }
