#pragma once

#include "monitor/monitormodethread.h"

#include "base/typecatalogue.h"

#include <QMetaObject>
#include <QModelIndex>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

class ParameterFormAccess;
class CSetType;
class QDialog;
class QLabel;
class QStandardItem;
class QStandardItemModel;

namespace Ui {
class NavForm;
}

// The navigation and operation panel: the 255 stations of the line with the
// drive type saved for each, the current station (the one every request goes
// to, whose type gives the series and the parameter catalogue), the operation
// mode, run, stop and frequency commands, and the mode and direction lamps fed
// by the mode poll.
class CNavigation : public QWidget
{
    Q_OBJECT
public:
    // `savedStations` gives the saved type names (255, index = station) if
    // the user wants them; the panel asks "load saved stations ?" while it
    // is built.
    CNavigation(std::function<QStringList()> savedStations, QWidget *parent = nullptr);
    ~CNavigation() override;

    void setParameterForm(ParameterFormAccess *form) { m_form = form; }

    QStringList stationNames() const { return m_names; }
    // Whether the names differ from those the start left (the saved ones, or
    // none after "No"): only then is station.txt written again.
    bool stationNamesChanged() const { return m_names != m_namesAtStart; }
    void setStationNames(const QStringList &names);
    // The user chose Cancel in the start-up question: the program ends.
    bool quitRequested() const { return m_quitRequested; }

    // Makes station `station` current, as a click on it does (400 ms later).
    void selectStation(int station);

    // The station item of a number (null outside 0 to 254).
    QStandardItem *stationItem(int station) const;
    QStandardItemModel *stationModel() const { return m_model; }
    CSetType *typeDialog() const { return m_setType; }
    MonitorModeThread &modeThread() { return m_modeThread; }
    // Tests run the type dialog themselves.
    using DialogRunner = std::function<int(QDialog &)>;
    void setDialogRunner(DialogRunner runner) { m_dialogRunner = std::move(runner); }
    // The frequency command FRE carries for the spin box's value; -1 when the
    // unit cannot be known (P.187 of a drive that has it could not be read).
    int frequencyValue() const;
    // Whether a typed station is current: run, stop, mode and SET go to it;
    // without one they are off and send nothing.
    bool commandsEnabled() const { return m_commandsEnabled; }
    // The time a second click has to come within to count as a double click.
    static constexpr int kDoubleClickMs = 400;

signals:
    void typeLabelChanged(const QString &text);
    void modeLabelChanged(const QString &text);
    void driveActionsEnabled(bool on);

public slots:
    void SwitchToCU();
    void SwitchToExt();
    void SwitchToJOG();
    void InvRunRev();
    void InvRunFwd();
    void InvSetFre();
    void InvStop();
    void FunClicked(const QModelIndex &index);
    void CallSetType();
    void ChStation();
    void getINVType();
    void monitorModeState();

protected:
    void changeEvent(QEvent *event) override;

private:
    void buildTree();
    void connectControls();
    void switchMode(int mode, const char *mnemonic);
    // The current station is Modbus station 0, every drive on the line.
    bool isBroadcast() const;
    // Asks before the first command to the broadcast address of a station
    // choice; false when nothing is to be sent.
    bool broadcastAllowed(bool holdToRun);
    bool formMayFollow(int station, const QString &model);
    void wireJog(bool jog);
    void setModeLamps(int mode);
    void showMode(int mode);
    void setLamp(QLabel *lamp, bool lit);
    void setCommandsEnabled(bool on);
    // All lamps dark and the mode label empty: no poll tells the drive's state.
    void darkenLamps();
    void setStationLabel(const QString &itemText, bool untypedMark = false);
    QString itemText(int station) const;
    QStandardItem *firstTypedStation() const;
    // Makes the station of `item` current (ChStation's work).
    void makeCurrent(QStandardItem *item);
    void driveChanged(const QString &before);
    void retranslate();
    static int wordCount(const QString &text);

    Ui::NavForm *m_ui;
    QStandardItemModel *m_model;
    QStandardItem *m_root = nullptr;
    QStringList m_names;
    QStringList m_namesAtStart;
    TypeCatalogue m_catalogue;
    CSetType *m_setType = nullptr;
    ParameterFormAccess *m_form = nullptr;
    QModelIndex m_lastClicked;
    int m_pendingClicks = 0;
    QTimer m_clickTimer;
    QTimer m_lampTimer;
    MonitorModeThread m_modeThread;
    QMetaObject::Connection m_jogRev;
    QMetaObject::Connection m_jogFwd;
    bool m_quitRequested = false;
    bool m_commandsEnabled = false;
    bool m_broadcastConfirmed = false;
    bool m_jogWired = false;
    // The station made current (the label's), -1 for none.
    int m_currentStation = -1;
    DialogRunner m_dialogRunner;
};
