#pragma once

#include <QLabel>

// A lamp of the status and terminal panels: the picture on.png when lit,
// off.png when dark. Created dark; only a change of state repaints it.
class Lamp : public QLabel
{
    Q_OBJECT
public:
    explicit Lamp(QWidget *parent = nullptr);

    bool isLit() const { return m_lit; }
    void setLit(bool lit);

private:
    bool m_lit = false;
};
