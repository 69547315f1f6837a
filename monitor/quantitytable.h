#pragma once

#include <QByteArray>
#include <QList>

// The drive functions that read each monitor quantity, by series: a selector
// write first where the quantity needs one, then the reading. The last entry
// of each table ("MCR") is read only for the dial page.
struct QuantityFunctions {
    QByteArray selector;  // empty: none
    QByteArray reading;
};

const QList<QuantityFunctions> &quantityTable(char series);
