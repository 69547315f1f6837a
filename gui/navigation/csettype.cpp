#include "csettype.h"

#include "ui_settypedialog.h"

#include <QPair>

namespace {
const QString kZmK = QStringLiteral("ZM/ZM-K");
const QString kZmKx = QStringLiteral("ZM-KX");
}  // namespace

CSetType::CSetType(const TypeCatalogue &catalogue, QWidget *parent)
    : QDialog(parent, Qt::WindowSystemMenuHint), m_ui(new Ui::SetTypeDialog), m_catalogue(catalogue)
{
    m_ui->setupUi(this);
    m_ui->TypeComboBox->addItem(tr("None"));
    m_ui->TypeComboBox->addItems(m_catalogue.types());
    m_ui->PowerComboBox->setEnabled(false);
    connect(m_ui->TypeComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CSetType::InvTypeCH);
}

CSetType::~CSetType() { delete m_ui; }

int CSetType::station() const { return m_ui->StationSpinBox->value(); }

void CSetType::setStation(int station) { m_ui->StationSpinBox->setValue(station); }

QString CSetType::typeText() const { return m_ui->TypeComboBox->currentText(); }

QString CSetType::powerText() const { return m_ui->PowerComboBox->currentText(); }

bool CSetType::powerEnabled() const { return m_ui->PowerComboBox->isEnabled(); }

void CSetType::InvTypeCH(int index)
{
    m_ui->PowerComboBox->clear();
    m_ui->PowerComboBox->setEnabled(index > 0);
    if (index > 0)
        m_ui->PowerComboBox->addItems(m_catalogue.powersOf(m_ui->TypeComboBox->itemText(index)));
}

void CSetType::preset(int typeIndex, int powerIndex)
{
    // An untyped station (or one of an unknown type) shows "None", never the
    // type of the station the dialog was last opened for.
    m_ui->TypeComboBox->setCurrentIndex(typeIndex >= 0 ? typeIndex + 1 : 0);
    if (powerIndex >= 0)
        m_ui->PowerComboBox->setCurrentIndex(powerIndex);
}

QPair<int, int> CSetType::presetFor(const TypeCatalogue &catalogue, const QString &model)
{
    QString plain = model;
    QString family;
    if (plain.endsWith(QLatin1String("-KX"))) {
        plain.chop(3);
        family = kZmKx;
    } else if (plain.endsWith(QLatin1String("-K"))) {
        plain.chop(2);
        family = kZmK;
    }
    const QStringList fields = plain.split(QLatin1Char('-'));
    if (fields.size() < 3)
        return {-1, -1};
    const QString type = (family.isEmpty() ? fields.at(0) : family) + QLatin1Char('-') + fields.at(1);
    const int typeIndex = catalogue.types().indexOf(type);
    if (typeIndex < 0)
        return {-1, -1};
    return {typeIndex, catalogue.powersOf(type).indexOf(fields.last())};
}

QString CSetType::modelFor(const QString &type, const QString &power)
{
    if (type.startsWith(kZmK + QLatin1Char('-')))
        return QStringLiteral("ZM") + type.mid(kZmK.size()) + QLatin1Char('-') + power +
               QStringLiteral("-K");
    if (type.startsWith(kZmKx + QLatin1Char('-')))
        return QStringLiteral("ZM") + type.mid(kZmKx.size()) + QLatin1Char('-') + power +
               QStringLiteral("-KX");
    return type + QLatin1Char('-') + power;
}

void CSetType::retranslate()
{
    m_ui->retranslateUi(this);
    m_ui->TypeComboBox->setItemText(0, tr("None"));
}
