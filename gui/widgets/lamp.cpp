#include "lamp.h"

namespace {
const QString kOn = QStringLiteral(":/new prefix/images/on.png");
const QString kOff = QStringLiteral(":/new prefix/images/off.png");
}  // namespace

Lamp::Lamp(QWidget *parent) : QLabel(parent)
{
    setPixmap(QPixmap(kOff));
    setFixedSize(20, 20);
    setScaledContents(true);
}

void Lamp::setLit(bool lit)
{
    if (lit == m_lit)
        return;
    m_lit = lit;
    setPixmap(QPixmap(lit ? kOn : kOff));
}
