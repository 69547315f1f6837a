#pragma once

#include "base/typecatalogue.h"

#include <QDialog>

namespace Ui {
class SetTypeDialog;
}

// "Inverter Type setting": the station number, the inverter type and its
// power rating of a drive that cannot say what it is, from the type
// catalogue InvType/InvType.mgr.
class CSetType : public QDialog
{
    Q_OBJECT
public:
    explicit CSetType(const TypeCatalogue &catalogue, QWidget *parent = nullptr);
    ~CSetType() override;

    int station() const;
    void setStation(int station);
    // The chosen type text ("None" for none) and power text.
    QString typeText() const;
    QString powerText() const;
    bool powerEnabled() const;
    // Selects the type and the power by their place in the lists; a type of
    // -1 is "None" (power off), a power of -1 leaves the power list as it is.
    void preset(int typeIndex, int powerIndex);

    // The type and power to pre-select for a station's model string: the
    // type's index in the catalogue's list and the power's in the type's
    // ratings; -1 each when not found. ZM-K ("-K") and ZM-KX ("-KX") models
    // name their catalogue types "ZM/ZM-K-..." and "ZM-KX-...".
    static QPair<int, int> presetFor(const TypeCatalogue &catalogue, const QString &model);
    // The model string of a chosen type and power, the reverse of presetFor.
    static QString modelFor(const QString &type, const QString &power);

    void retranslate();

public slots:
    void InvTypeCH(int index);

private:
    Ui::SetTypeDialog *m_ui;
    TypeCatalogue m_catalogue;
};
