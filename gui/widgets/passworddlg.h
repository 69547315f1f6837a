#pragma once

#include <QDialog>

namespace Ui {
class PassWordDialog;
}

// The password prompt of the service functions: the maintenance window
// ("Parameter Password") and the RAM monitor ("RAM Password") set its
// object name and listen to unlocked(). The password keeps users from
// changing what they should not by accident; it is no protection.
class PassWordDlg : public QDialog
{
    Q_OBJECT
public:
    explicit PassWordDlg(QWidget *parent = nullptr);
    ~PassWordDlg() override;

    // Whether `typed` is the password (letter case does not matter).
    static bool isPassword(const QString &typed);

public slots:
    // The right password: unlocked(), then the dialog closes as accepted;
    // a wrong one: "Password Error !" and the dialog stays open.
    void accept() override;

signals:
    void unlocked();

private:
    Ui::PassWordDialog *m_ui;
};
