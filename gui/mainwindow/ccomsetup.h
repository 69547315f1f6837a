#pragma once

#include "link/comsettings.h"

#include <QDialog>
#include <QStringList>

#include <functional>

class QComboBox;

namespace Ui {
class ComSetDialog;
}

// The communication setup dialog: protocol, port, baud rate, data length,
// stop bits, parity and line end. `iniComDialog()` loads it from
// iniProtocol.txt, runs it and, on OK, re-opens the port, makes a new driver
// current and stores the choices.
class CComSetup : public QDialog
{
    Q_OBJECT
public:
    // Lists the combo's port texts.
    using PortLister = std::function<QStringList()>;
    // Runs the dialog modally and returns its result (exec() by default).
    using ModalRunner = std::function<int(CComSetup &)>;

    explicit CComSetup(QWidget *parent = nullptr);
    ~CComSetup() override;

    // The choices as iniProtocol.txt holds them.
    ComSettings settings() const;
    // Sets the protocol first (which applies its rules), then the rest; a
    // port text not in the list selects the first port.
    void setSettings(const ComSettings &settings);

    // Steps of iniComDialog(), usable on their own.
    bool loadFromFile();
    void applyAccepted();
    bool store();
    // Closes the port and opens the one the dialog names with its settings;
    // a port that does not open is reported in a critical box.
    bool reopenPort();

    // Re-reads every translated text; the information texts follow the
    // current protocol, enable states stay as they are.
    void retranslate();

    void refreshPorts();
    void setPortLister(PortLister lister);
    // Whether iniComDialog() loads its choices from iniProtocol.txt and
    // stores them there (the default). Without, the dialog keeps its own
    // choices between runs and the file is left alone (the demo).
    void setSettingsStored(bool stored) { m_settingsStored = stored; }
    void setModalRunner(ModalRunner runner);

    // The combo's port texts for the system's port names: on Windows "Com"
    // and the number, ascending; elsewhere the names themselves in natural
    // order. Names the settings line cannot hold are left out; with no port
    // at all the list is "Com0".
    static QStringList portItems(const QStringList &systemNames, bool windowsNames);
    // The system's port names.
    static QStringList systemPortNames();

public slots:
    // The protocol rules: Modbus RTU fixes 8 data bits and no line end,
    // Modbus ASCII 7 data bits and CR+LF; the native protocol leaves both free.
    void ProComboxCh(int index);
    // Load, run modally; on OK apply and store. Cancel changes nothing.
    void iniComDialog();

private:
    void setInfoTexts(int protocol);
    LineSettings chosenLineSettings() const;
    static void selectIndex(QComboBox *combo, int index);

    Ui::ComSetDialog *m_ui;
    PortLister m_portLister;
    ModalRunner m_modalRunner;
    bool m_settingsStored = true;
};
