#pragma once

#include <QStyledItemDelegate>

// Draws the parameter table's "Setting value" cells so that what a write
// would change stands out: tinted where the setting differs from the value
// read from the drive, red where it lies outside the "Setting range" text
// (the tool tip says why). Writing is not refused for it.
class ParameterDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    enum class Mark { None, Differs, OutsideRange };
    // How the "Setting value" cell of `index`'s row is marked.
    static Mark markOf(const QModelIndex &index);

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
