#include "ccomsetup.h"

#include "link/linkstate.h"
#include "link/portsetup.h"

#include "ui_comsetdialog.h"

#include <QSerialPortInfo>

#include <algorithm>

namespace {
constexpr int kNative = 0;
constexpr int kRtu = 1;
constexpr int kAscii = 2;

#ifdef Q_OS_WIN
constexpr bool kWindowsPortNames = true;
#else
constexpr bool kWindowsPortNames = false;
#endif

// Natural order for system port names: "ttyS2" before "ttyS10".
bool naturalLess(const QString &a, const QString &b)
{
    auto split = [](const QString &s) {
        int i = s.size();
        while (i > 0 && s.at(i - 1).isDigit())
            --i;
        return qMakePair(s.left(i), s.mid(i).toLongLong());
    };
    const auto x = split(a);
    const auto y = split(b);
    if (x.first != y.first)
        return x.first < y.first;
    if (x.second != y.second)
        return x.second < y.second;
    return a < b;
}
}  // namespace

CComSetup::CComSetup(QWidget *parent) : QDialog(parent), m_ui(new Ui::ComSetDialog)
{
    m_ui->setupUi(this);
    // Initial choices: native protocol, 9600 baud, 8 data bits, one stop
    // bit, no parity, CR (set here, not in the form: the form's generated
    // retranslation would reset them on every language change).
    m_ui->ProtocolcomboBox->setCurrentIndex(kNative);
    m_ui->BaudcomboBox->setCurrentIndex(1);
    m_ui->DataLengthcomboBox->setCurrentIndex(1);
    m_ui->StopBitcomboBox->setCurrentIndex(0);
    m_ui->ParitycomboBox->setCurrentIndex(0);
    m_ui->CRLFcomboBox->setCurrentIndex(1);
    connect(m_ui->ProtocolcomboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CComSetup::ProComboxCh);
    m_portLister = [] { return portItems(systemPortNames(), kWindowsPortNames); };
    m_modalRunner = [](CComSetup &dialog) { return dialog.exec(); };
    refreshPorts();
    ProComboxCh(kNative);
}

CComSetup::~CComSetup() { delete m_ui; }

void CComSetup::setInfoTexts(int protocol)
{
    const bool native = protocol == kNative;
    m_ui->ProtocolInfoLabel->setText(
        native ? tr("Please set the P.170 of ZN series to 0, set the P.33 of other series to 1.")
               : tr("Please set the P.170 of ZN series to 1, set the P.33 of other series to 0."));
    m_ui->BaudInfoLabel->setText(
        native ? tr("This setting value should correspond to parameter P.32 settings.")
               : tr("This setting value of ZN series(other series) should correpond to "
                    "P.172(P.32)."));
    if (native)
        m_ui->DataLengthInfoLabel->setText(
            tr("This setting value should correspond to parameter P.48 settings."));
    else if (protocol == kRtu)
        m_ui->DataLengthInfoLabel->setText(tr("This value only can be set to 8."));
    else
        m_ui->DataLengthInfoLabel->setText(tr("This value only can be set to 7."));
    const QString modbusFraming =
        tr("This setting value of ZN series(other series) should correpond to P.173(P.154).");
    m_ui->StopBitInfoLabel->setText(
        native ? tr("This setting value should correspond to parameter P.49 settings.")
               : modbusFraming);
    m_ui->ParityInfoLabel->setText(
        native ? tr("This setting value should correspond to parameter P.50 settings.")
               : modbusFraming);
    if (native)
        m_ui->CRLFInfoLabel->setText(
            tr("This setting value should correspond to parameter P.51 settings."));
    else if (protocol == kRtu)
        m_ui->CRLFInfoLabel->setText(tr(" "));
    else
        m_ui->CRLFInfoLabel->setText(tr("This value only can be set to CR+LF."));
}

void CComSetup::ProComboxCh(int index)
{
    const bool native = index == kNative;
    m_ui->DataLengthcomboBox->setEnabled(native);
    m_ui->CRLFcomboBox->setEnabled(native);
    m_ui->CRLFLabel->setEnabled(index != kRtu);
    if (index == kRtu) {
        m_ui->DataLengthcomboBox->setCurrentIndex(1);
        m_ui->CRLFcomboBox->setCurrentIndex(0);
    } else if (index == kAscii) {
        m_ui->DataLengthcomboBox->setCurrentIndex(0);
        m_ui->CRLFcomboBox->setCurrentIndex(2);
    }
    setInfoTexts(index);
}

void CComSetup::retranslate()
{
    m_ui->retranslateUi(this);
    setInfoTexts(m_ui->ProtocolcomboBox->currentIndex());
}

QStringList CComSetup::systemPortNames()
{
    QStringList names;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : ports)
        names.append(port.portName());
    return names;
}

QStringList CComSetup::portItems(const QStringList &systemNames, bool windowsNames)
{
    QStringList items;
    if (windowsNames) {
        QList<int> numbers;
        for (const QString &name : systemNames) {
            bool ok = false;
            const int number = name.mid(3).toInt(&ok, 10);
            if (name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive) && ok && number >= 0 &&
                !numbers.contains(number))
                numbers.append(number);
        }
        std::sort(numbers.begin(), numbers.end());
        for (int number : qAsConst(numbers))
            items.append(QStringLiteral("Com%1").arg(number));
    } else {
        for (const QString &name : systemNames)
            if (ComSettings::isStorablePortText(name) && !items.contains(name))
                items.append(name);
        std::sort(items.begin(), items.end(), naturalLess);
    }
    if (items.isEmpty())
        items.append(QStringLiteral("Com0"));
    return items;
}

void CComSetup::refreshPorts()
{
    const QString current = m_ui->ComPortComboBox->currentText();
    m_ui->ComPortComboBox->clear();
    m_ui->ComPortComboBox->addItems(m_portLister());
    const int index = m_ui->ComPortComboBox->findText(current, Qt::MatchExactly);
    m_ui->ComPortComboBox->setCurrentIndex(index >= 0 ? index : 0);
}

void CComSetup::setPortLister(PortLister lister)
{
    m_portLister = std::move(lister);
    refreshPorts();
}

void CComSetup::setModalRunner(ModalRunner runner) { m_modalRunner = std::move(runner); }

void CComSetup::selectIndex(QComboBox *combo, int index)
{
    if (index >= 0 && index < combo->count())
        combo->setCurrentIndex(index);
}

ComSettings CComSetup::settings() const
{
    ComSettings s;
    s.protocol = m_ui->ProtocolcomboBox->currentIndex();
    s.portText = m_ui->ComPortComboBox->currentText();
    s.baudIndex = m_ui->BaudcomboBox->currentIndex();
    s.dataBitsIndex = m_ui->DataLengthcomboBox->currentIndex();
    s.stopBitsIndex = m_ui->StopBitcomboBox->currentIndex();
    s.parityIndex = m_ui->ParitycomboBox->currentIndex();
    s.lineEndIndex = m_ui->CRLFcomboBox->currentIndex();
    return s;
}

void CComSetup::setSettings(const ComSettings &s)
{
    selectIndex(m_ui->ProtocolcomboBox, s.protocol);
    const int port = m_ui->ComPortComboBox->findText(s.portText, Qt::MatchExactly);
    m_ui->ComPortComboBox->setCurrentIndex(port >= 0 ? port : 0);
    selectIndex(m_ui->BaudcomboBox, s.baudIndex);
    selectIndex(m_ui->DataLengthcomboBox, s.dataBitsIndex);
    selectIndex(m_ui->StopBitcomboBox, s.stopBitsIndex);
    selectIndex(m_ui->ParitycomboBox, s.parityIndex);
    selectIndex(m_ui->CRLFcomboBox, s.lineEndIndex);
}

bool CComSetup::loadFromFile()
{
    const QStringList lines = PortSetup::readSettingsLines();
    for (const QString &line : lines) {
        // The protocol goes first: its rules decide what a missing or
        // unreadable data-length or line-end field leaves in place.
        selectIndex(m_ui->ProtocolcomboBox, ComSettings::fromLine(line, settings()).protocol);
        setSettings(ComSettings::fromLine(line, settings()));
    }
    return !lines.isEmpty();
}

LineSettings CComSetup::chosenLineSettings() const
{
    const ComSettings s = settings();
    LineSettings line = s.lineSettings();
    line.dataBits = ComSettings::dataBitsFor(s.protocol, s.dataBitsIndex);
    return line;
}

bool CComSetup::reopenPort()
{
    return PortSetup::reopenPort(m_ui->ComPortComboBox->currentText(), chosenLineSettings());
}

void CComSetup::applyAccepted()
{
    const int protocol = m_ui->ProtocolcomboBox->currentIndex();
    reopenPort();
    PortSetup::installDriver(protocol);
    linkState().lineEnd = m_ui->CRLFcomboBox->currentIndex();
    ProComboxCh(protocol);
}

bool CComSetup::store() { return PortSetup::writeSettings(settings()); }

void CComSetup::iniComDialog()
{
    refreshPorts();
    if (m_settingsStored)
        loadFromFile();
    const ComSettings before = settings();
    if (m_modalRunner(*this) != QDialog::Accepted) {
        // The next run starts from what is in force, not from the cancelled choices.
        setSettings(before);
        return;
    }
    applyAccepted();
    if (m_settingsStored)
        store();
}
