#include "passworddlg.h"

#include "ui_passworddialog.h"

#include "base/messagetable.h"
#include "base/userinteraction.h"

PassWordDlg::PassWordDlg(QWidget *parent) : QDialog(parent), m_ui(new Ui::PassWordDialog)
{
    m_ui->setupUi(this);
}

PassWordDlg::~PassWordDlg() { delete m_ui; }

bool PassWordDlg::isPassword(const QString &typed)
{
    return typed.toLower() == QLatin1String("tarmelo");
}

void PassWordDlg::accept()
{
    if (!isPassword(m_ui->passwordLineEdit->text())) {
        userInteraction()->warning(messageText(20), tr("Password Error !"));
        return;
    }
    emit unlocked();
    QDialog::accept();
}
