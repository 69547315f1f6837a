#pragma once

#include <QDialog>

namespace Ui {
class AboutDialog;
}

// The "Version Information" dialog: our picture, the program's version and
// the Qt and Qwt versions it was built with and runs on.
class CAbout : public QDialog
{
    Q_OBJECT
public:
    explicit CAbout(QWidget *parent = nullptr);
    ~CAbout() override;

    // The one-line field's text and the rich-text field's HTML.
    static QString titleText();
    static QString infoHtml();

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();

    Ui::AboutDialog *m_ui;
};
