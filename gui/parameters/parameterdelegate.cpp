#include "parameterdelegate.h"

#include "parameters/parametertable.h"
#include "parameters/rangetext.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

namespace {
QString cellText(const QModelIndex &index, int column)
{
    return index.sibling(index.row(), column).data().toString().trimmed();
}

bool sameValue(const QString &a, const QString &b)
{
    bool aNumber = false;
    bool bNumber = false;
    const double x = a.toDouble(&aNumber);
    const double y = b.toDouble(&bNumber);
    if (aNumber && bNumber)
        return qFuzzyCompare(x + 1, y + 1);
    return a == b;
}
}  // namespace

ParameterDelegate::Mark ParameterDelegate::markOf(const QModelIndex &index)
{
    if (!index.isValid() || index.column() != ParameterTable::SettingColumn)
        return Mark::None;
    const QString setting = cellText(index, ParameterTable::SettingColumn);
    if (setting.isEmpty() || ParameterTable::isFunctionRowText(
                                 cellText(index, ParameterTable::NumberColumn)))
        return Mark::None;
    const RangeText::Verdict verdict =
        RangeText::check(cellText(index, ParameterTable::RangeColumn), setting,
                         ParameterTable::timeResolutionOf(*index.model()));
    if (verdict == RangeText::Verdict::Outside || verdict == RangeText::Verdict::NotANumber)
        return Mark::OutsideRange;
    const QString current = cellText(index, ParameterTable::CurrentColumn);
    if (!current.isEmpty() && current != QLatin1String("--") && !sameValue(setting, current))
        return Mark::Differs;
    return Mark::None;
}

void ParameterDelegate::initStyleOption(QStyleOptionViewItem *option,
                                        const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    switch (markOf(index)) {
    case Mark::Differs:
        option->backgroundBrush = QColor(255, 214, 140);
        break;
    case Mark::OutsideRange:
        option->backgroundBrush = QColor(255, 150, 150);
        option->palette.setColor(QPalette::Text, QColor(140, 0, 0));
        break;
    case Mark::None:
        break;
    }
}

bool ParameterDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                  const QStyleOptionViewItem &option, const QModelIndex &index)
{
    QString tip;
    switch (markOf(index)) {
    case Mark::Differs:
        tip = tr("Differs from the current value %1").arg(cellText(index, ParameterTable::CurrentColumn));
        break;
    case Mark::OutsideRange:
        tip = tr("Outside the setting range %1").arg(cellText(index, ParameterTable::RangeColumn));
        break;
    case Mark::None:
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
    QToolTip::showText(event->globalPos(), tip, view);
    return true;
}
