#pragma once

#include <QMainWindow>

// A window that holds the place of a page not built yet: its title and icon,
// retranslated with the program's language, and nothing else.
class EmptyPage : public QMainWindow
{
    Q_OBJECT
public:
    // `context` and `title` as the page's own translation names them.
    EmptyPage(const char *context, const char *title, const QString &iconPath,
              QWidget *parent = nullptr);

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();

    const char *m_context;
    const char *m_title;
};
