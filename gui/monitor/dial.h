#pragma once

#include <qwt_dial.h>

// A read-only dial of the monitor page with a label inside its scale: the
// unit of the quantity shown, and on the right dial the value with its unit.
// Gauge style: a 260° scale with an arrow needle; arc style: a 120° arc
// across the top with a ray needle.
class Dial : public QwtDial
{
    Q_OBJECT
public:
    enum Style { Gauge = 0, Arc = 1 };

    // `series`: the letter whose unit table the labels follow.
    explicit Dial(Style style, char series, QWidget *parent = nullptr);

    Style style() const { return m_style; }
    QString label() const { return m_label; }
    int labelOffset() const { return m_labelOffset; }
    // The unit of the position last chosen with setLabel.
    QString unit() const { return m_unit; }

public slots:
    // The unit of a list position becomes the label.
    void setLabel(int position);
    void changeDialValue(double value);
    // A scale from 0 to `maximum` in ten steps; the needle stays at its value.
    void setMaximum(double maximum);
    // The right dial's label: the value text followed by the unit of the
    // position shown.
    void setValueText(const QString &text);

protected:
    void drawScaleContents(QPainter *painter, const QPointF &center,
                           double radius) const override;

private:
    void showLabel(const QString &label);

    Style m_style;
    char m_series;
    QString m_label;
    QString m_unit;
    int m_labelOffset;
    double m_needle = 0;
    bool m_shown = false;
};
