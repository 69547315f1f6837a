#pragma once

#include <QDialog>
#include <QStringList>

class ParameterTable;
class QTableWidget;

namespace Ui {
class SelectParaDialog;
}

// "Show Select Parameter": two lists of the table's parameters, those not
// shown (left) and those shown (right); Add and Delete move the selected
// rows across, OK takes the right list as the selection.
class SelectParaDialog : public QDialog
{
    Q_OBJECT
public:
    // `selected`: the number texts shown so far ("12", "99X"); none puts
    // every parameter on the left.
    SelectParaDialog(const ParameterTable &table, const QStringList &selected,
                     QWidget *parent = nullptr);
    ~SelectParaDialog() override;

    // After OK: the number texts on the right, in table order.
    QStringList selectedNumbers() const { return m_selected; }

    QTableWidget *notShownList() const;
    QTableWidget *shownList() const;

public slots:
    void addPara();
    void deletePara();
    void ok();
    void cancel();

private:
    static void fill(QTableWidget *list, const QStringList &texts);
    static void move(QTableWidget *from, QTableWidget *to);

    Ui::SelectParaDialog *m_ui;
    QStringList m_numbers;  // per list row
    QStringList m_selected;
};
