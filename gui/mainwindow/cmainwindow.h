#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class CComSetup;
class CNavigation;
class CParameter;
class ParameterAccess;
class LinkWorker;
class QDockWidget;
class QLabel;
class QSplitter;
class QTranslator;
class QUrl;

namespace Ui {
class MainWindow;
}

class MonitorThread;

struct MainWindowOptions {
    // Run on the simulated drives: the line is the simulated one, the
    // station list names its drives, and neither iniProtocol.txt nor
    // station.txt is read or written.
    bool demo = false;
    // Open the port and make the driver from iniProtocol.txt (or the
    // demo's line). Without, the link stays as the caller set it up.
    bool openLink = true;
    // The thread the monitor and trend pages read through (the program makes
    // one at start-up); null: those pages cannot run.
    MonitorThread *monitorThread = nullptr;
};

// The program's one top-level window: menus, the tool row, the status bar
// with the operating mode, the drive type and the line in use, the dock of
// the navigation panel, the parameter form, the communication setup dialog,
// and the monitor and trend pages it opens. Every link error ends here in one
// warning box, shown from the event loop of the GUI thread.
class CMainWindow : public QMainWindow
{
    Q_OBJECT
public:
    using Options = MainWindowOptions;

    // `translator` is the application's one translator; the window loads
    // the stored language into it.
    explicit CMainWindow(QTranslator &translator, const Options &options = Options(),
                         QWidget *parent = nullptr);
    ~CMainWindow() override;

    // The thread the monitor and trend pages opened from now on read through.
    void setMonitorThread(MonitorThread *thread) { m_monitorThread = thread; }

    // The message table, in the current language.
    QString message(int index) const;

    // The drive-dependent actions and tool buttons: on while a drive is identified.
    void setDriveActionsEnabled(bool on);

    // The type name of each of the 255 stations (empty where none), as the
    // navigation panel holds them.
    QStringList stationNames() const;
    void setStationNames(const QStringList &names);

    // Makes `station` the current one, as a click on it in the navigation
    // panel does; false when it has no type (another station is then chosen).
    bool selectStation(int station);

    // The user chose Cancel at "load saved stations ?": the program ends.
    bool quitRequested() const;

    // Switches the user-interface language (0 English, 1 simplified, 2
    // traditional Chinese): every open window retranslates and LT.txt is
    // rewritten. False, and nothing rewritten, when it is already active.
    bool switchLanguage(int code);

    // Opens help and other documents (the desktop's URL opener by default).
    using UrlOpener = std::function<bool(const QUrl &)>;
    void setUrlOpener(UrlOpener opener);

    // The thread that runs the windows' long link work.
    LinkWorker &linkWorker() { return *m_worker; }

    QWidget *dialPage() const { return m_dialPage; }
    QWidget *trendPage() const { return m_trendPage; }
    CParameter *parameterForm() const { return m_parameterForm; }
    CNavigation *navigationPanel() const { return m_navigation; }
    QDockWidget *navigationDock() const { return m_dock; }
    CComSetup *comSetup() const { return m_comSetup; }
    QLabel *modeValueLabel() const { return m_modeValue; }
    QLabel *typeValueLabel() const { return m_typeValue; }
    // The port, protocol and line settings in use, and the lamp of the last exchange.
    QLabel *lineLabel() const { return m_lineLabel; }
    QLabel *lineLamp() const { return m_lineLamp; }

signals:
    void showErrorInfo(int code);

public slots:
    void iniSysMon();
    void iniComDialog();
    void iniParameter();
    void iniHELP();
    void ABOUT();
    void LaChineseS();
    void LaChineseT();
    void LanEnlish();
    void trendShow();
    void ErrWarning(int code);

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void fillMessageTable();
    void buildStatusBar();
    void connectActions();
    void buildNavigationDock();
    void buildCentralArea();
    void applyStoredLanguage();
    void openLink();
    void retranslate();
    void checkLanguageAction(int code);
    void showLineHealth(int health);
    void showLinkInUse();
    void replacePage(QPointer<QWidget> &page, QWidget *replacement);
    bool mayReplaceTrendPage();
    // False: the trend window kept an unsaved recording open (only when
    // `mayRefuse`; otherwise every page goes without a question).
    bool closePages(bool mayRefuse);

    Ui::MainWindow *m_ui;
    QTranslator &m_translator;
    // Qt's own texts (file dialogs, standard buttons) in the chosen language.
    std::unique_ptr<QTranslator> m_qtTexts;
    const Options m_options;
    MonitorThread *m_monitorThread = nullptr;
    QStringList m_messages;
    QDockWidget *m_dock = nullptr;
    CNavigation *m_navigation = nullptr;
    QSplitter *m_splitter = nullptr;
    CParameter *m_parameterForm = nullptr;
    CComSetup *m_comSetup = nullptr;
    QPointer<QWidget> m_dialPage;
    QPointer<QWidget> m_trendPage;
    QLabel *m_modeCaption = nullptr;
    QLabel *m_modeValue = nullptr;
    QLabel *m_typeCaption = nullptr;
    QLabel *m_typeValue = nullptr;
    QLabel *m_lineLamp = nullptr;
    QLabel *m_lineLabel = nullptr;
    LinkWorker *m_worker = nullptr;
    UrlOpener m_urlOpener;
    // The catalogue scales the monitor page's identity read uses.
    std::unique_ptr<ParameterAccess> m_monitorParameters;
};
