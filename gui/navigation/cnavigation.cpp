#include "cnavigation.h"
#include "link/driverregistry.h"

#include "ui_navform.h"

#include "csettype.h"
#include "base/messagetable.h"
#include "base/series.h"
#include "base/sharedstate.h"
#include "base/userinteraction.h"
#include "link/linkstate.h"
#include "link/readwrite.h"
#include "link/stationfile.h"
#include "gui/widgets/parameterformaccess.h"
#include "parameters/parametercore.h"
#include "parameters/parameterstate.h"
#include "parameters/parametertransfer.h"

#include <QEvent>
#include <QStandardItemModel>

namespace {
const QString kLit = QStringLiteral("background-color: rgb(255, 0, 0);");
const QString kDark = QStringLiteral("background-color: rgb(190, 190, 190);");

QString stationWord() { return CNavigation::tr(" station "); }
QString selectStationText() { return CNavigation::tr("Select station: "); }
}  // namespace

CNavigation::CNavigation(std::function<QStringList()> savedStations, QWidget *parent)
    : QWidget(parent), m_ui(new Ui::NavForm), m_model(new QStandardItemModel(this)),
      m_catalogue(TypeCatalogue::load(dataPath(QStringLiteral("InvType/InvType.mgr"))))
{
    m_ui->setupUi(this);
    for (int i = 0; i < StationFile::kStationCount; ++i)
        m_names.append(QString());
    const UserInteraction::Answer answer =
        userInteraction()->question(tr("Message"), tr("load saved stations ?"), true, true);
    if (answer != UserInteraction::Answer::No)
        setStationNames(savedStations());
    m_quitRequested = answer == UserInteraction::Answer::Cancel;
    m_namesAtStart = m_names;
    buildTree();
    m_setType = new CSetType(m_catalogue, this);
    m_setType->hide();
    m_dialogRunner = [](QDialog &dialog) { return dialog.exec(); };
    m_clickTimer.setSingleShot(true);
    m_clickTimer.setInterval(kDoubleClickMs);
    m_lampTimer.setInterval(10);
    connectControls();
    setCommandsEnabled(false);
    for (QLabel *lamp : {m_ui->CUstatusLabel, m_ui->ExtStatusLabel, m_ui->JogStatuslabel,
                         m_ui->RevStatusLabel, m_ui->FWDStatusLabel})
        setLamp(lamp, false);
}

CNavigation::~CNavigation()
{
    // The poll may be in its pause after a parameter function: it ends at
    // once, and the panel waits for one exchange at most.
    m_modeThread.requestStop();
    m_modeThread.wait();
    delete m_ui;
}

void CNavigation::setStationNames(const QStringList &names)
{
    for (int i = 0; i < m_names.size(); ++i)
        m_names[i] = names.value(i);
    if (m_root)
        for (int i = 0; i < m_names.size(); ++i)
            m_root->child(i)->setText(itemText(i));
}

QString CNavigation::itemText(int station) const
{
    return QString::number(station) + stationWord() + QLatin1Char(' ') + m_names.value(station);
}

int CNavigation::wordCount(const QString &text)
{
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts).size();
}

void CNavigation::buildTree()
{
    m_root = new QStandardItem(QIcon(QStringLiteral(":/new prefix/images/parent_small.png")),
                               tr("System setting"));
    m_root->setEditable(false);
    const QIcon drive(QStringLiteral(":/new prefix/images/inv_small.png"));
    for (int station = 0; station < StationFile::kStationCount; ++station) {
        auto *item = new QStandardItem(drive, itemText(station));
        item->setEditable(false);
        m_root->appendRow(item);
    }
    m_model->appendRow(m_root);
    m_ui->SysSettreeView->setModel(m_model);
    m_ui->SysSettreeView->expand(m_root->index());
    m_ui->SysSettabWidget->setTabText(0, tr("System setting"));
    m_ui->SysSettabWidget->setTabText(1, tr("Setting guide"));
    setStationLabel(QString(), true);
}

void CNavigation::connectControls()
{
    Ui::NavForm &ui = *m_ui;
    connect(ui.CUPB, &QPushButton::pressed, this, &CNavigation::SwitchToCU);
    connect(ui.ExtPB, &QPushButton::pressed, this, &CNavigation::SwitchToExt);
    connect(ui.JOGPB, &QPushButton::pressed, this, &CNavigation::SwitchToJOG);
    connect(ui.NaRevPB, &QPushButton::pressed, this, &CNavigation::InvRunRev);
    connect(ui.NaFWDPB, &QPushButton::pressed, this, &CNavigation::InvRunFwd);
    connect(ui.NaSetPB, &QPushButton::pressed, this, &CNavigation::InvSetFre);
    connect(ui.NaStopPB, &QPushButton::pressed, this, &CNavigation::InvStop);
    connect(ui.SysSettreeView, &QTreeView::clicked, this, &CNavigation::FunClicked);
    // Qt reports a double click as one clicked() and one doubleClicked().
    connect(ui.SysSettreeView, &QTreeView::doubleClicked, this, [this](const QModelIndex &index) {
        m_clickTimer.stop();
        m_pendingClicks = 0;
        m_lastClicked = index;
        CallSetType();
    });
    connect(&m_clickTimer, &QTimer::timeout, this, &CNavigation::ChStation);
    connect(&m_lampTimer, &QTimer::timeout, this, &CNavigation::monitorModeState);
}

QStandardItem *CNavigation::stationItem(int station) const
{
    return m_root && station >= 0 && station < m_root->rowCount() ? m_root->child(station)
                                                                   : nullptr;
}

void CNavigation::setLamp(QLabel *lamp, bool lit) { lamp->setStyleSheet(lit ? kLit : kDark); }

void CNavigation::darkenLamps()
{
    for (QLabel *lamp : {m_ui->CUstatusLabel, m_ui->ExtStatusLabel, m_ui->JogStatuslabel,
                         m_ui->RevStatusLabel, m_ui->FWDStatusLabel})
        setLamp(lamp, false);
    emit modeLabelChanged(QString());
}

void CNavigation::setCommandsEnabled(bool on)
{
    m_commandsEnabled = on;
    m_broadcastConfirmed = false;  // asked again for every station chosen
    const Ui::NavForm &ui = *m_ui;
    for (QPushButton *button : {ui.CUPB, ui.ExtPB, ui.JOGPB, ui.NaRevPB, ui.NaFWDPB, ui.NaSetPB,
                                ui.NaStopPB})
        button->setEnabled(on);
}

void CNavigation::setModeLamps(int mode)
{
    setLamp(m_ui->CUstatusLabel, mode == 0);
    setLamp(m_ui->ExtStatusLabel, mode == 1);
    setLamp(m_ui->JogStatuslabel, mode == 2);
}

void CNavigation::setStationLabel(const QString &itemText, bool untypedMark)
{
    m_ui->stationLabel->setText(selectStationText() + itemText +
                                (untypedMark ? QStringLiteral("---") : QString()));
}

// ---- commands

int CNavigation::frequencyValue() const
{
    int value = int((m_ui->FrespinBox->value() + 0.001) * 100);
    // Drives set to 0.1 Hz units by P.187 take a tenth of it. A P.187 that
    // cannot be read leaves the unit unknown: ten times the frequency asked
    // for is worse than none (the read's failure is reported).
    if (isSeriesFeature(QStringLiteral("Navigation_readP187")) && m_form) {
        const double unit = m_form->core().readParameter(187);
        if (unit < 0)
            return -1;
        if (ParameterTransfer::formatValue(unit) == QLatin1String("1"))
            value /= 10;
    }
    return value;
}

void CNavigation::InvSetFre()
{
    if (!m_commandsEnabled || !broadcastAllowed(false))
        return;
    if (isBroadcast() && isSeriesFeature(QStringLiteral("Navigation_readP187"))) {
        // The frequency unit (P.187) of every drive cannot be read through
        // an address that answers nothing.
        userInteraction()->warning(
            messageText(20),
            tr("The frequency unit (P.187) cannot be read at the broadcast address. Set the "
               "frequency station by station."));
        return;
    }
    const int value = frequencyValue();
    if (value < 0)
        return;
    QByteArray code("FRE");
    code.append(char((value >> 8) & 0xFF));
    code.append(char(value & 0xFF));
    currentDriver()->runFunction(code);
}

void CNavigation::InvRunFwd()
{
    if (m_commandsEnabled && broadcastAllowed(m_jogWired))
        currentDriver()->runFunction("FWD");
}

void CNavigation::InvRunRev()
{
    if (m_commandsEnabled && broadcastAllowed(m_jogWired))
        currentDriver()->runFunction("REV");
}

bool CNavigation::isBroadcast() const
{
    return m_currentStation == 0 && linkState().protocolCode != 0;
}

// Over Modbus, station 0 is every drive on the line at once. The first
// command to it is confirmed; STOP never asks. In JOG the press that asked
// sends nothing: its release went to the question, and a run that no
// release stops is worse than a second press.
bool CNavigation::broadcastAllowed(bool holdToRun)
{
    if (!isBroadcast() || m_broadcastConfirmed)
        return true;
    const QString text = tr("Station 0 is the broadcast address: every drive on the line obeys "
                            "this command, and none answers. Send commands to all drives?");
    if (userInteraction()->question(messageText(20), text, true, false) !=
        UserInteraction::Answer::Yes)
        return false;
    m_broadcastConfirmed = true;
    return !holdToRun;
}

void CNavigation::InvStop()
{
    if (!m_commandsEnabled || currentDriver()->runFunction("STO") == -1)
        return;
    setLamp(m_ui->RevStatusLabel, false);
    setLamp(m_ui->FWDStatusLabel, false);
}

void CNavigation::SwitchToCU() { switchMode(0, "CU0"); }

void CNavigation::SwitchToExt() { switchMode(1, "EXT"); }

void CNavigation::SwitchToJOG() { switchMode(2, "JOG"); }

void CNavigation::switchMode(int mode, const char *mnemonic)
{
    if (!m_commandsEnabled || !broadcastAllowed(false))
        return;
    ReadWrite *driver = currentDriver();
    int inMode = mode;
    if (driver->runFunction(mnemonic) == -1) {
        // Refused (a running drive keeps its mode) or unanswered: the lamps
        // and the JOG wiring follow the mode the drive says it is in, not
        // the one asked for.
        // MOD answers the mode as a character: '0' CU, '1' EXT, '2' JOG.
        const int answer = driver->runFunction("MOD");
        inMode = answer >= '0' && answer <= '2' ? answer - '0' : -1;
        if (inMode >= 0)
            showMode(inMode);
    } else {
        showMode(mode);
        m_modeThread.clearModeValid();
        if (mode == 0 && !versionReadFromDrive() && m_form)
            m_form->loadCatalogue();
        // No drive answers the broadcast address: nothing to poll.
        if (!isBroadcast() && (!m_modeThread.isRunning() || m_modeThread.stopRequested())) {
            m_modeThread.startPolling();
            m_lampTimer.start();
        }
    }
    wireJog(inMode == 2);
}

// The mode lamps and the main window's mode label.
void CNavigation::showMode(int mode)
{
    mode = qBound(0, mode, 2);
    setModeLamps(mode);
    static const char *const kLabels[] = {"CU", "Ext", "JOG"};
    emit modeLabelChanged(QString::fromLatin1(kLabels[mode]));
}

// In JOG mode the drive runs only while a direction button is held.
void CNavigation::wireJog(bool jog)
{
    disconnect(m_jogRev);
    disconnect(m_jogFwd);
    m_jogWired = jog;
    if (!jog)
        return;
    m_jogRev = connect(m_ui->NaRevPB, &QPushButton::released, this, &CNavigation::InvStop);
    m_jogFwd = connect(m_ui->NaFWDPB, &QPushButton::released, this, &CNavigation::InvStop);
}

void CNavigation::monitorModeState()
{
    if (!m_modeThread.modeValid())
        return;
    // Polling that has ended, for whatever reason, tells nothing any more.
    if (m_modeThread.pollFailed() || !m_modeThread.isRunning()) {
        darkenLamps();
        m_lampTimer.stop();
        return;
    }
    showMode(m_modeThread.mode());
    // Whenever the drive is in JOG, releasing a direction button stops it.
    if ((m_modeThread.mode() == 2) != m_jogWired)
        wireJog(m_modeThread.mode() == 2);
    const int status = m_modeThread.statusWord();
    const bool forward = status & 2;
    const bool reverse = !forward && (status & 4);
    setLamp(m_ui->FWDStatusLabel, forward);
    setLamp(m_ui->RevStatusLabel, reverse);
}

// ---- stations

void CNavigation::FunClicked(const QModelIndex &index)
{
    if (m_pendingClicks > 0 && index == m_lastClicked) {
        m_clickTimer.stop();
        m_pendingClicks = 0;
        m_lastClicked = index;
        CallSetType();
        return;
    }
    m_clickTimer.start();
    ++m_pendingClicks;
    m_lastClicked = index;
}

QStandardItem *CNavigation::firstTypedStation() const
{
    for (int station = 0; station < m_root->rowCount(); ++station)
        if (wordCount(m_root->child(station)->text()) >= 3)
            return m_root->child(station);
    return m_root->child(0);
}

void CNavigation::selectStation(int station)
{
    QStandardItem *item = stationItem(station);
    if (!item)
        return;
    m_lastClicked = item->index();
    ChStation();
}

void CNavigation::ChStation()
{
    m_pendingClicks = 0;
    QStandardItem *item = m_model->itemFromIndex(m_lastClicked);
    if (!item || !item->parent())
        return;
    makeCurrent(item);
}

void CNavigation::makeCurrent(QStandardItem *item)
{
    if (wordCount(item->text()) < 3)
        item = firstTypedStation();
    const QStringList next = item->text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (next.size() >= 3 && !formMayFollow(item->row(), next.last().simplified())) {
        // The panel stays on the drive the form still shows.
        if (QStandardItem *current = stationItem(m_currentStation))
            m_ui->SysSettreeView->setCurrentIndex(current->index());
        return;
    }
    m_ui->SysSettreeView->setCurrentIndex(item->index());
    setStationLabel(item->text());
    const QString before = modelString();
    const QStringList words = item->text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.size() < 3) {
        setModelString(QString());
    } else {
        emit typeLabelChanged(words.last());
        setModelString(words.last().simplified());
        linkState().setStation(item->row());
    }
    setCommandsEnabled(words.size() >= 3);
    m_currentStation = words.size() >= 3 ? item->row() : -1;
    getINVType();
    driveChanged(before);
}

// A drive of another model: the actions that need one come on and the
// parameter list shows its catalogue.
void CNavigation::driveChanged(const QString &before)
{
    if (modelString() == before || modelString().isEmpty())
        return;
    emit driveActionsEnabled(true);
    if (m_form) {
        m_form->loadCatalogue();
        m_form->formWidget()->show();
    }
}

// The form loads another catalogue when the model changes; it may hold
// work of the user's or a running batch, and asks first.
bool CNavigation::formMayFollow(int station, const QString &model)
{
    if (!m_form || model == modelString())
        return true;
    return m_form->mayReplaceTable(tr("station %1 %2").arg(station).arg(model));
}

void CNavigation::getINVType() { setSeriesLetter(seriesLetterForModel(modelString(), seriesLetter())); }

void CNavigation::CallSetType()
{
    QStandardItem *item = m_model->itemFromIndex(m_lastClicked);
    if (!item || !item->parent())
        return;
    const QString name = m_names.value(item->row());
    setStationLabel(item->text(), name.isEmpty());
    m_setType->setStation(item->row());
    if (name.isEmpty()) {
        m_setType->preset(-1, -1);
    } else {
        const QPair<int, int> preset = CSetType::presetFor(m_catalogue, name);
        m_setType->preset(preset.first, preset.second);
    }
    if (m_dialogRunner(*m_setType) != QDialog::Accepted)
        return;
    const int station = m_setType->station();
    QStandardItem *target = stationItem(station);
    if (!target)
        return;
    const QString before = modelString();
    if (m_setType->powerEnabled() && !m_setType->powerText().isEmpty()) {
        const QString model = CSetType::modelFor(m_setType->typeText(), m_setType->powerText());
        if (!formMayFollow(station, model))
            return;
        m_names[station] = model;
        target->setText(itemText(station));
        setModelString(model);
        getINVType();
        linkState().setStation(station);
        setCommandsEnabled(true);
        m_currentStation = station;
        m_ui->SysSettreeView->setCurrentIndex(target->index());
        setStationLabel(target->text());
        emit typeLabelChanged(model);
        // The form follows at once: a catalogue of the station's former type
        // would write another series' parameters to this drive.
        driveChanged(before);
        return;
    }
    m_names[station].clear();
    target->setText(itemText(station));
    QStandardItem *typed = firstTypedStation();
    if (wordCount(typed->text()) >= 3) {
        makeCurrent(typed);
        return;
    }
    setStationLabel(typed->text(), true);
    emit typeLabelChanged(QString());
    setModelString(QString());
    setSeriesLetter('0');
    // The last typed station is gone: no drive for the commands any more,
    // and no poll of one.
    linkState().setStation(0);
    setCommandsEnabled(false);
    m_currentStation = -1;
    m_modeThread.requestStop();
    m_lampTimer.stop();
    wireJog(false);
    darkenLamps();
    emit driveActionsEnabled(false);
    if (m_form)
        m_form->formWidget()->hide();
}

// ---- language

void CNavigation::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void CNavigation::retranslate()
{
    // The lamps keep their colours: the form's own texts only.
    QList<QString> lamps;
    for (QLabel *lamp : {m_ui->CUstatusLabel, m_ui->ExtStatusLabel, m_ui->JogStatuslabel,
                         m_ui->RevStatusLabel, m_ui->FWDStatusLabel})
        lamps.append(lamp->styleSheet());
    const QString label = m_ui->stationLabel->text();
    m_ui->retranslateUi(this);
    int i = 0;
    for (QLabel *lamp : {m_ui->CUstatusLabel, m_ui->ExtStatusLabel, m_ui->JogStatuslabel,
                         m_ui->RevStatusLabel, m_ui->FWDStatusLabel})
        lamp->setStyleSheet(lamps.at(i++));
    // A language installed while the start question is open arrives before
    // the type dialog exists.
    if (m_setType)
        m_setType->retranslate();
    if (m_root) {
        m_root->setText(tr("System setting"));
        for (int station = 0; station < m_root->rowCount(); ++station)
            m_root->child(station)->setText(itemText(station));
    }
    m_ui->SysSettabWidget->setTabText(0, tr("System setting"));
    m_ui->SysSettabWidget->setTabText(1, tr("Setting guide"));
    // The station label names the current station again in the new words
    // (not the item the keyboard highlight may have moved to).
    if (QStandardItem *item = stationItem(m_currentStation))
        setStationLabel(item->text(), wordCount(item->text()) < 3);
    else if (label.endsWith(QLatin1String("---")))
        setStationLabel(QString(), true);
}
