#include "gui/mainwindow/cmainwindow.h"
#include "gui/widgets/jobprogresspanel.h"
#include "gui/navigation/csettype.h"
#include "common/sentframes.h"
#include "common/testsupport.h"
#include "link/frameobserver.h"
#include "link/readwrite.h"
#include "gui/navigation/cnavigation.h"
#include "gui/parameters/cparameter.h"
#include "parameters/parameterstate.h"
#include "parameters/parametertable.h"
#include "simulator/demoline.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"
#include "simulator/simregisters.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTranslator>
#include <QTableView>
#include <QThread>
#include <QTreeView>
#include <QtTest>

#include <memory>

namespace {
bool lit(QLabel *lamp) { return lamp->styleSheet().contains("255, 0, 0"); }
}  // namespace

class TestNavigation : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        resetSharedState();
        resetParameterState();
        linkState().reset();
        setDataDirectory(QStringLiteral(VANTREO_SOURCE_DATA));
        loadSeriesFeatures();
        setUserInteraction(&m_ui);
        m_ui.clear();
        CMainWindow::Options demo;
        demo.demo = true;
        m_window.reset(new CMainWindow(m_translator, demo));
        m_nav = m_window->navigationPanel();
        m_sent = std::make_shared<SentFrames>();
        linkState().addFrameObserver(m_sent);
    }
    void cleanup()
    {
        // The demo's drives outlive each test: none is left running.
        for (int station = 1; station <= 3; ++station) {
            SimulatedDrive &drive = *demoLine()->drive(station);
            if (drive.running() && m_window && m_window->selectStation(station))
                m_nav->InvStop();
        }
        linkState().removeFrameObserver(m_sent);
        m_window.reset();
        setUserInteraction(nullptr);
        setDataDirectory(QString());
    }

    void startQuestionDecidesTheStations_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("named");
        QTest::addColumn<bool>("quits");
        QTest::newRow("Yes") << int(UserInteraction::Answer::Yes) << true << false;
        QTest::newRow("No") << int(UserInteraction::Answer::No) << false << false;
        QTest::newRow("Cancel ends the program") << int(UserInteraction::Answer::Cancel) << true << true;
    }
    void startQuestionDecidesTheStations()
    {
        QFETCH(int, answer);
        QFETCH(bool, named);
        QFETCH(bool, quits);
        m_ui.nextAnswer = UserInteraction::Answer(answer);
        CNavigation nav([] { return demoStationNames(); });
        QCOMPARE(nav.stationNames().at(2).isEmpty(), !named);
        QCOMPARE(nav.quitRequested(), quits);
        QCOMPARE(nav.stationItem(2)->text().split(' ', Qt::SkipEmptyParts).size(), named ? 3 : 2);
        QVERIFY(!nav.stationItem(255));
    }

    void frequencyCommand_data()
    {
        QTest::addColumn<int>("station");
        QTest::addColumn<int>("p187");
        QTest::addColumn<double>("hz");
        QTest::addColumn<int>("sent");
        QTest::newRow("P.187 = 1: 0.1 Hz units") << 1 << 1 << 60.0 << 600;
        QTest::newRow("P.187 = 0") << 1 << 0 << 60.0 << 6000;
        QTest::newRow("highest") << 1 << 0 << 400.99 << 40099;
        QTest::newRow("ZN reads no P.187") << 2 << 1 << 60.0 << 6000;
    }
    void frequencyCommand()
    {
        QFETCH(int, station);
        QFETCH(int, p187);
        QFETCH(double, hz);
        QFETCH(int, sent);
        demoLine()->drive(station)->setParameterValue(187, quint16(p187));
        QVERIFY(m_window->selectStation(station));
        m_nav->findChild<QDoubleSpinBox *>("FrespinBox")->setValue(hz);
        m_nav->InvSetFre();
        const QByteArray frame = m_sent->lastWithFunction(0x06);
        QCOMPARE(frame.size(), 8);
        QCOMPARE(quint8(frame.at(0)), quint8(station));
        QCOMPARE(quint8(frame.at(4)) << 8 | quint8(frame.at(5)), sent);
        demoLine()->drive(station)->setParameterValue(187, 0);
        QVERIFY(m_ui.messages().size() <= 1);  // the start question only
    }

    // One click selects 400 ms later, a second on the same item opens the
    // type dialog instead, a second on another item selects that one.
    void clicksAndDoubleClicks()
    {
        int dialogs = 0;
        m_nav->setDialogRunner([&](QDialog &) {
            ++dialogs;
            return int(QDialog::Rejected);
        });
        QStandardItem *one = m_nav->stationItem(1);
        QStandardItem *two = m_nav->stationItem(2);
        m_nav->FunClicked(one->index());
        m_nav->FunClicked(two->index());
        QCOMPARE(dialogs, 0);
        QVERIFY(modelString().isEmpty());  // nothing yet
        QTRY_COMPARE(modelString(), QString("ZN-020-5.5K"));
        QCOMPARE(dialogs, 0);
        QCOMPARE(int(linkState().stationByte), 2);
        m_nav->FunClicked(one->index());
        m_nav->FunClicked(one->index());
        QCOMPARE(dialogs, 1);
        QTest::qWait(CNavigation::kDoubleClickMs + 100);
        QCOMPARE(int(linkState().stationByte), 2);  // the double click selected nothing
    }

    // With the mouse, as a person does it: a double click on a station opens
    // the type dialog once and selects nothing; a single click selects the
    // station once the double-click time has passed.
    void realClicksOnTheTree()
    {
        int dialogs = 0;
        m_nav->setDialogRunner([&](QDialog &) {
            ++dialogs;
            return int(QDialog::Rejected);
        });
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        auto *tree = m_nav->findChild<QTreeView *>("SysSettreeView");
        const QModelIndex one = m_nav->stationItem(1)->index();
        tree->scrollTo(one);
        const QPoint at = tree->visualRect(one).center();
        QVERIFY(tree->viewport()->rect().contains(at));
        // A double click comes as a click, then a double-click event.
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QCOMPARE(dialogs, 1);
        QTest::qWait(CNavigation::kDoubleClickMs + 100);
        QCOMPARE(int(linkState().stationByte), 0);
        QVERIFY(modelString().isEmpty());

        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QCOMPARE(dialogs, 1);
        QTRY_COMPARE(int(linkState().stationByte), 1);
        QCOMPARE(modelString(), QString("ZM-043-7.5K"));
    }

    // The type dialog of an untyped station shows "None" with Power off, not
    // the type of the station it was last opened for; OK leaves it untyped.
    void untypedStationOpensWithNone()
    {
        QString shownType;
        bool powerOn = true;
        m_nav->setDialogRunner([&](QDialog &) {
            CSetType *dialog = m_nav->typeDialog();
            shownType = dialog->typeText();
            powerOn = dialog->findChild<QComboBox *>("PowerComboBox")->isEnabled();
            return int(QDialog::Accepted);
        });
        m_nav->FunClicked(m_nav->stationItem(2)->index());
        m_nav->FunClicked(m_nav->stationItem(2)->index());
        QCOMPARE(shownType, QString("ZN-020"));
        QVERIFY(powerOn);
        QVERIFY(m_nav->stationNames().at(9).isEmpty());
        m_nav->FunClicked(m_nav->stationItem(9)->index());
        m_nav->FunClicked(m_nav->stationItem(9)->index());
        QCOMPARE(shownType, QString("None"));
        QVERIFY(!powerOn);
        QVERIFY(m_nav->stationNames().at(9).isEmpty());
    }

    // No typed station current: run, stop, mode and SET are off, and a click
    // on FWD sends nothing (station 0 would be every drive on the line).
    void noCommandWithoutAStation()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        auto *fwd = m_nav->findChild<QPushButton *>("NaFWDPB");
        QVERIFY(!m_nav->commandsEnabled());
        for (const char *name : {"NaFWDPB", "NaRevPB", "NaStopPB", "NaSetPB", "CUPB", "ExtPB", "JOGPB"})
            QVERIFY2(!m_nav->findChild<QPushButton *>(name)->isEnabled(), name);
        QTest::mouseClick(fwd, Qt::LeftButton);
        m_nav->InvRunFwd();  // a caller that goes round the button
        QTest::qWait(50);
        {
            QMutexLocker lock(&m_sent->mutex);
            QCOMPARE(m_sent->frames.size(), 0);
        }
        QVERIFY(!demoLine()->drive(1)->running());

        QVERIFY(m_window->selectStation(1));
        QVERIFY(fwd->isEnabled());
        QTest::mouseClick(fwd, Qt::LeftButton);
        QVERIFY(demoLine()->drive(1)->running());
        m_nav->InvStop();

        // "None" on the last typed station takes the commands with it.
        m_window->setStationNames(QStringList());
        QStringList names = m_window->stationNames();
        names[1] = "ZM-043-7.5K";
        m_window->setStationNames(names);
        QVERIFY(m_window->selectStation(1));
        m_nav->setDialogRunner([&](QDialog &) {
            CSetType *dialog = m_nav->typeDialog();
            auto *types = dialog->findChild<QComboBox *>("TypeComboBox");
            types->setCurrentIndex(types->findText("None"));
            return int(QDialog::Accepted);
        });
        m_nav->FunClicked(m_nav->stationItem(1)->index());
        m_nav->FunClicked(m_nav->stationItem(1)->index());
        QVERIFY(!m_nav->commandsEnabled());
        QVERIFY(!fwd->isEnabled());
        QCOMPARE(int(linkState().stationByte), 0);
        {
            QMutexLocker lock(&m_sent->mutex);
            m_sent->frames.clear();
        }
        m_nav->InvRunFwd();
        QMutexLocker lock(&m_sent->mutex);
        QCOMPARE(m_sent->frames.size(), 0);
    }

    // A P.187 that cannot be read leaves the unit of the frequency unknown:
    // SET sends nothing and the failure is told.
    void noFrequencyInAnUnknownUnit()
    {
        QVERIFY(m_window->selectStation(1));
        m_ui.clear();
        SimFaults dead;
        dead.noAnswer = true;
        demoLine()->setFaults(1, dead);
        m_nav->findChild<QDoubleSpinBox *>("FrespinBox")->setValue(60);
        {
            QMutexLocker lock(&m_sent->mutex);
            m_sent->frames.clear();
        }
        QTest::mouseClick(m_nav->findChild<QPushButton *>("NaSetPB"), Qt::LeftButton);
        demoLine()->setFaults(1, SimFaults());
        QVERIFY(m_sent->lastWithFunction(0x06).isEmpty());
        QTRY_VERIFY(!m_ui.messages().isEmpty());
    }

    void untypedStationMovesToTheLowestTyped()
    {
        m_window->setStationNames(QStringList());
        QStringList names = m_window->stationNames();
        names[5] = "ZN-020-5.5K";
        names[9] = "ZM-043-7.5K";
        m_window->setStationNames(names);
        m_nav->selectStation(7);
        QCOMPARE(int(linkState().stationByte), 5);
        QCOMPARE(modelString(), QString("ZN-020-5.5K"));
        m_window->setStationNames(QStringList());
        m_nav->selectStation(7);
        QCOMPARE(m_nav->findChild<QTreeView *>()->currentIndex(), m_nav->stationItem(0)->index());
        QVERIFY(modelString().isEmpty());
    }

    void typeDialogSetsTheStation_data()
    {
        QTest::addColumn<int>("station");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("power");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<char>("series");
        QTest::newRow("10") << 10 << "ZN-020" << "5.5K" << "ZN-020-5.5K" << QByteArray("0A") << 'H';
        QTest::newRow("200, ZM-K") << 200 << "ZM/ZM-K-043" << "7.5K" << "ZM-043-7.5K-K"
                                   << QByteArray("C8") << 'G';
        QTest::newRow("ZM-KX") << 4 << "ZM-KX-043" << "5.5K" << "ZM-043-5.5K-KX" << QByteArray("04")
                               << 'L';
    }
    void typeDialogSetsTheStation()
    {
        QFETCH(int, station);
        QFETCH(QString, type);
        QFETCH(QString, power);
        QFETCH(QString, model);
        QFETCH(QByteArray, text);
        QFETCH(char, series);
        m_nav->setDialogRunner([&](QDialog &) {
            CSetType *dialog = m_nav->typeDialog();
            dialog->setStation(station);
            auto *types = dialog->findChild<QComboBox *>("TypeComboBox");
            types->setCurrentIndex(types->findText(type));
            auto *powers = dialog->findChild<QComboBox *>("PowerComboBox");
            powers->setCurrentIndex(powers->findText(power));
            return int(QDialog::Accepted);
        });
        m_nav->FunClicked(m_nav->stationItem(station)->index());
        m_nav->FunClicked(m_nav->stationItem(station)->index());
        QCOMPARE(modelString(), model);
        QCOMPARE(seriesLetter(), series);
        QCOMPARE(linkState().stationText(), text);
        QCOMPARE(m_window->stationNames().at(station), model);
        QCOMPARE(m_window->typeValueLabel()->text(), model);
        // The form shows the catalogue of the station's series at once.
        QVERIFY(m_window->parameterForm()->isVisibleTo(m_window.get()));
        QVERIFY(m_window->parameterForm()->core().parameterCount() > 50);
        // Reopening the dialog on it pre-selects what was chosen.
        const QPair<int, int> preset = CSetType::presetFor(TypeCatalogue::loadShipped(), model);
        QCOMPARE(TypeCatalogue::loadShipped().types().value(preset.first), type);
        QVERIFY(preset.second >= 0);
    }

    void typeCatalogueOfTheDialog()
    {
        const TypeCatalogue catalogue = TypeCatalogue::parse(
            "[inv_Type]\nTYPE=AA,BB\n\n[PW_ID]\nPOWER=0.4K,0.75K\nPOWER_OLD=0.4K\n[BB]\nPOWER=1.5K,2.2K\n");
        CSetType dialog(catalogue);
        auto *types = dialog.findChild<QComboBox *>("TypeComboBox");
        auto *powers = dialog.findChild<QComboBox *>("PowerComboBox");
        QCOMPARE(types->count(), 3);
        QCOMPARE(types->itemText(2), QString("BB"));
        types->setCurrentIndex(2);
        QVERIFY(powers->isEnabled());
        QCOMPARE(powers->count(), 2);
        QCOMPARE(powers->itemText(1), QString("2.2K"));
        types->setCurrentIndex(1);  // AA: no section
        QVERIFY(powers->isEnabled());
        QCOMPARE(powers->count(), 0);
        types->setCurrentIndex(0);  // None
        QVERIFY(!powers->isEnabled());
        dialog.setStation(256);
        QVERIFY(dialog.station() < 256);
    }

    // JOG runs the drive only while a direction button is held.
    void jogStopsOnRelease()
    {
        QVERIFY(m_window->selectStation(1));
        SimulatedDrive &drive = *demoLine()->drive(1);
        auto *fwd = m_nav->findChild<QPushButton *>("NaFWDPB");
        m_nav->SwitchToJOG();
        QCOMPARE(drive.mode(), 2);
        QTest::mousePress(fwd, Qt::LeftButton);
        QVERIFY(drive.running());
        QTest::mouseRelease(fwd, Qt::LeftButton);
        QTRY_VERIFY(!drive.running());  // ramps down from the JOG frequency
        m_nav->SwitchToCU();
        QTest::mousePress(fwd, Qt::LeftButton);
        QTest::mouseRelease(fwd, Qt::LeftButton);
        QVERIFY(drive.running());
        m_nav->InvStop();
        QTRY_VERIFY(!drive.running());
    }

    // JOG, hold FWD, release; CU while the drive slows down is refused. The
    // panel follows the drive, still in JOG: the next press and release of
    // FWD stops it again.
    void jogFollowsTheDriveAfterARefusal()
    {
        QVERIFY(m_window->selectStation(1));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        SimulatedDrive &drive = *demoLine()->drive(1);
        auto *fwd = m_nav->findChild<QPushButton *>("NaFWDPB");
        QTest::mouseClick(m_nav->findChild<QPushButton *>("JOGPB"), Qt::LeftButton);
        QCOMPARE(drive.mode(), 2);
        QTest::mousePress(fwd, Qt::LeftButton);
        QVERIFY(drive.running());
        QTest::mouseRelease(fwd, Qt::LeftButton);
        // A drive that is still slowing down refuses the switch.
        drive.setRefusedWrite(SimRegisters::Mode, SimulatedDrive::IllegalValue);
        QTest::mouseClick(m_nav->findChild<QPushButton *>("CUPB"), Qt::LeftButton);
        drive.setRefusedWrite(SimRegisters::Mode, SimulatedDrive::Ok);
        QCOMPARE(drive.mode(), 2);
        QTRY_COMPARE(m_ui.messages().size(), 1);  // the refusal is told
        QVERIFY(lit(m_nav->findChild<QLabel *>("JogStatuslabel")));
        QVERIFY(!lit(m_nav->findChild<QLabel *>("CUstatusLabel")));
        QTRY_VERIFY_WITH_TIMEOUT(!drive.running(), 5000);
        QTest::mousePress(fwd, Qt::LeftButton);
        QVERIFY(drive.running());
        QTest::mouseRelease(fwd, Qt::LeftButton);
        QElapsedTimer sinceRelease;
        sinceRelease.start();
        QTRY_VERIFY_WITH_TIMEOUT(!drive.running(), 5000);
        qInfo("stopped %lld ms after the release", sinceRelease.elapsed());
        QVERIFY(sinceRelease.elapsed() < 1500);
        m_ui.clear();
    }


    // Once the last typed station is cleared, no lamp stays lit and the mode
    // label is empty; the label keeps naming the current station after a
    // language switch, wherever the keyboard highlight is.
    void lampsAndLabelFollowTheCurrentStation()
    {
        QVERIFY(m_window->selectStation(2));
        QString modeLabel = "unset";
        connect(m_nav, &CNavigation::modeLabelChanged, this,
                [&](const QString &text) { modeLabel = text; });
        QTest::mouseClick(m_nav->findChild<QPushButton *>("CUPB"), Qt::LeftButton);
        QCOMPARE(modeLabel, QString("CU"));
        QVERIFY(lit(m_nav->findChild<QLabel *>("CUstatusLabel")));
        auto *tree = m_nav->findChild<QTreeView *>("SysSettreeView");
        tree->setCurrentIndex(m_nav->stationItem(5)->index());  // keyboard highlight
        QEvent change(QEvent::LanguageChange);
        QApplication::sendEvent(m_nav, &change);
        auto *label = m_nav->findChild<QLabel *>("stationLabel");
        QVERIFY2(label->text().contains("ZN-020-5.5K"),
                 qPrintable(label->text()));

        m_window->setStationNames(QStringList());
        QStringList names = m_window->stationNames();
        names[2] = "ZN-020-5.5K";
        m_window->setStationNames(names);
        QVERIFY(m_window->selectStation(2));
        m_nav->setDialogRunner([&](QDialog &) {
            auto *types = m_nav->typeDialog()->findChild<QComboBox *>("TypeComboBox");
            types->setCurrentIndex(0);
            return int(QDialog::Accepted);
        });
        m_nav->FunClicked(m_nav->stationItem(2)->index());
        m_nav->FunClicked(m_nav->stationItem(2)->index());
        QCOMPARE(modeLabel, QString());
        for (const char *lamp : {"CUstatusLabel", "ExtStatusLabel", "JogStatuslabel",
                                 "RevStatusLabel", "FWDStatusLabel"})
            QVERIFY2(!lit(m_nav->findChild<QLabel *>(lamp)), lamp);
        QTest::qWait(MonitorModeThread::kPollIntervalMs + 200);
        QVERIFY(!lit(m_nav->findChild<QLabel *>("CUstatusLabel")));
        QCOMPARE(modeLabel, QString());
    }

    // A day's first steps on the demo: type station 3, CU, 30 Hz, FWD; the
    // motor ramps and the lamps follow the poll; STOP; the ZN's catalogue.
    void runTheSeriesADrive()
    {
        m_nav->setDialogRunner([&](QDialog &) {
            CSetType *dialog = m_nav->typeDialog();
            auto *types = dialog->findChild<QComboBox *>("TypeComboBox");
            types->setCurrentIndex(types->findText("ZQ1-043"));
            auto *powers = dialog->findChild<QComboBox *>("PowerComboBox");
            powers->setCurrentIndex(powers->findText("5.5K"));
            return int(QDialog::Accepted);
        });
        m_nav->FunClicked(m_nav->stationItem(3)->index());
        m_nav->FunClicked(m_nav->stationItem(3)->index());
        QCOMPARE(seriesLetter(), 'A');
        SimulatedDrive &drive = *demoLine()->drive(3);
        m_nav->SwitchToCU();
        QCOMPARE(drive.mode(), 0);
        m_nav->findChild<QDoubleSpinBox *>("FrespinBox")->setValue(30);
        m_nav->InvSetFre();
        m_nav->InvRunFwd();
        auto *fwdLamp = m_nav->findChild<QLabel *>("FWDStatusLabel");
        QTRY_VERIFY_WITH_TIMEOUT(lit(fwdLamp), 5000);
        QVERIFY(lit(m_nav->findChild<QLabel *>("CUstatusLabel")));
        QCOMPARE(m_window->modeValueLabel()->text(), QString("CU"));
        QTRY_VERIFY_WITH_TIMEOUT(drive.outputFrequency() > 29.9, 30000);
        QVERIFY(drive.outputFrequency() < 30.1);
        m_nav->InvStop();
        QVERIFY(!lit(fwdLamp));
        QVERIFY(!drive.running() || drive.outputFrequency() < 30);

        const int rowsOfA = m_window->parameterForm()->core().parameterCount();
        m_nav->selectStation(2);
        QCOMPARE(seriesLetter(), 'H');
        QTRY_VERIFY(m_window->parameterForm()->core().parameterCount() != rowsOfA);
        QVERIFY2(m_ui.messages().size() <= 1, qPrintable(m_ui.messages().value(1).text));
    }

    // A full batch read runs; STOP on the panel reaches the drive between two
    // of the batch's exchanges, while the batch is still going: the form's
    // progress blocks nothing but the form's own controls.
    void stopGetsThroughDuringABatchRead()
    {
        QVERIFY(m_window->selectStation(1));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        SimulatedDrive &drive = *demoLine()->drive(1);
        QTest::mouseClick(m_nav->findChild<QPushButton *>("CUPB"), Qt::LeftButton);
        m_nav->findChild<QDoubleSpinBox *>("FrespinBox")->setValue(20);
        QTest::mouseClick(m_nav->findChild<QPushButton *>("NaSetPB"), Qt::LeftButton);
        QTest::mouseClick(m_nav->findChild<QPushButton *>("NaFWDPB"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(drive.outputFrequency() > 1, 10000);
        QVERIFY(drive.targetHz() > 0);

        CParameter *form = m_window->parameterForm();
        form->show();
        QTRY_VERIFY(!form->catalogueLoading());
        auto *readAll = form->findChild<QPushButton *>("allReadPB");
        QTest::mouseClick(readAll, Qt::LeftButton);
        JobProgressPanel *progress = form->progressPanel();
        QTRY_VERIFY(progress->isVisible() && progress->bar()->value() >= 3);
        QVERIFY(!readAll->isEnabled());
        QVERIFY(!form->findChild<QPushButton *>("savePB")->isEnabled());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);

        const int framesBefore = m_sent->count();
        auto *stop = m_nav->findChild<QPushButton *>("NaStopPB");
        QVERIFY(stop->isEnabled());
        QTest::mouseClick(stop, Qt::LeftButton);
        // The drive has the stop command while the batch has more to read.
        QCOMPARE(drive.targetHz(), 0.0);
        const double atStop = drive.outputFrequency();
        QVERIFY(form->transferRunning());
        QVERIFY(m_sent->count() > framesBefore);
        QTRY_VERIFY_WITH_TIMEOUT(drive.outputFrequency() < atStop, 3000);
        QVERIFY(form->transferRunning());

        QTest::mouseClick(progress->cancelButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!form->transferRunning(), 10000);
        QVERIFY(!progress->isVisible());
        QVERIFY(readAll->isEnabled());
        QVERIFY(form->findChild<QPushButton *>("savePB")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!drive.running(), 10000);  // the next test switches modes
    }

    // Station 0 over Modbus is every drive on the line: the first command
    // asks, "No" sends nothing; after "Yes" every drive obeys, nothing waits
    // for an answer and no "Communication Error!" follows; STOP never asks.
    void broadcastAsksFirstAndWaitsForNoAnswer()
    {
        m_nav->setDialogRunner([&](QDialog &) {
            CSetType *dialog = m_nav->typeDialog();
            auto *types = dialog->findChild<QComboBox *>("TypeComboBox");
            types->setCurrentIndex(types->findText("ZN-020"));
            auto *powers = dialog->findChild<QComboBox *>("PowerComboBox");
            powers->setCurrentIndex(powers->findText("5.5K"));
            return int(QDialog::Accepted);
        });
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        auto *tree = m_nav->findChild<QTreeView *>("SysSettreeView");
        const QModelIndex zero = m_nav->stationItem(0)->index();
        tree->scrollTo(zero);
        const QPoint at = tree->visualRect(zero).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTRY_COMPARE(modelString(), QString("ZN-020-5.5K"));
        QCOMPARE(int(linkState().stationByte), 0);
        const QList<SimulatedDrive *> drives{demoLine()->drive(1).get(), demoLine()->drive(2).get(),
                                             demoLine()->drive(3).get()};
        for (SimulatedDrive *drive : drives) {
            QCOMPARE(drive->mode(), 0);
            // A drive still slowing down refuses a mode switch.
            QTRY_VERIFY_WITH_TIMEOUT(!drive->running(), 10000);
        }
        m_ui.clear();
        const int framesBefore = m_sent->count();

        m_ui.nextAnswer = UserInteraction::Answer::No;
        QTest::mouseClick(m_nav->findChild<QPushButton *>("JOGPB"), Qt::LeftButton);
        QCOMPARE(m_ui.messages().size(), 1);
        QCOMPARE(m_ui.messages().at(0).kind, QString("question"));
        QVERIFY(m_ui.messages().at(0).text.contains("every drive on the line"));
        QCOMPARE(m_sent->count(), framesBefore);

        m_ui.nextAnswer = UserInteraction::Answer::Yes;
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(m_nav->findChild<QPushButton *>("JOGPB"), Qt::LeftButton);
        const qint64 sendMs = timer.elapsed();
        QCOMPARE(m_ui.messages().size(), 2);
        for (SimulatedDrive *drive : drives)
            QCOMPARE(drive->mode(), 2);
        QVERIFY(m_sent->count() > framesBefore);
        QCOMPARE(m_sent->stationOfLast(), 0);
        // One frame, no attempts waiting out a missing answer (each ~0.5 s).
        QVERIFY2(sendMs < 400, qPrintable(QString::number(sendMs)));

        QTest::mouseClick(m_nav->findChild<QPushButton *>("CUPB"), Qt::LeftButton);
        QTest::mouseClick(m_nav->findChild<QPushButton *>("NaStopPB"), Qt::LeftButton);
        for (SimulatedDrive *drive : drives)
            QCOMPARE(drive->mode(), 0);
        QTest::qWait(200);  // a late report would arrive queued
        QCOMPARE(m_ui.messages().size(), 2);  // no further question, no error
    }

    // A setting typed into the form, then a click on a station of another
    // model: the form asks before its catalogue replaces the table. "No"
    // keeps the station and the typed value; "Yes" follows.
    void formAsksBeforeDiscardingEdits()
    {
        CParameter *form = showWindowOnStation1(true);
        QVERIFY(form);
        QTableView *view = form->table();
        const QModelIndex cell = view->model()->index(3, ParameterTable::SettingColumn);
        view->scrollTo(cell);
        const QPoint at = view->visualRect(cell).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QWidget *editor = QApplication::focusWidget();
        QVERIFY(editor && editor != view);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, "12");
        QTest::keyClick(editor, Qt::Key_Return);  // commits through a queued call
        QTRY_COMPARE(view->model()->index(3, ParameterTable::SettingColumn).data().toString(),
                     QString("12"));
        QVERIFY(form->hasUnsavedWork());
        const int rowsOfZm = form->core().parameterCount();

        m_ui.clear();
        m_ui.nextAnswer = UserInteraction::Answer::No;
        clickStation(2);
        QTRY_COMPARE(m_ui.messages().size(), 1);
        QVERIFY(m_ui.messages().at(0).text.contains("station 2 ZN-020-5.5K"));
        QCOMPARE(int(linkState().stationByte), 1);
        QCOMPARE(modelString(), QString("ZM-043-7.5K"));
        QCOMPARE(stationTree()->currentIndex(), m_nav->stationItem(1)->index());
        QCOMPARE(view->model()->index(3, ParameterTable::SettingColumn).data().toString(),
                 QString("12"));

        m_ui.nextAnswer = UserInteraction::Answer::Yes;
        clickStation(2);
        QTRY_COMPARE(int(linkState().stationByte), 2);
        QCOMPARE(m_ui.messages().size(), 2);
        QTRY_VERIFY(form->core().parameterCount() != rowsOfZm);
        QVERIFY(!form->hasUnsavedWork());
        m_ui.reset();
    }

    // A batch read runs; a click on a drive of another model asks whether to
    // cancel it. "No" keeps both; "Yes" cancels the batch and follows.
    void stationChangeDuringABatchAsks()
    {
        CParameter *form = showWindowOnStation1(true);
        QVERIFY(form);
        QTest::mouseClick(form->findChild<QPushButton *>("allReadPB"), Qt::LeftButton);
        QVERIFY(form->transferRunning());
        m_ui.clear();
        m_ui.nextAnswer = UserInteraction::Answer::No;
        clickStation(2);
        QTRY_COMPARE(m_ui.messages().size(), 1);
        QCOMPARE(int(linkState().stationByte), 1);
        QVERIFY(form->transferRunning());
        m_ui.nextAnswer = UserInteraction::Answer::Yes;
        clickStation(2);
        QTRY_COMPARE(int(linkState().stationByte), 2);
        QTRY_VERIFY_WITH_TIMEOUT(!form->transferRunning(), 10000);
        QCOMPARE(modelString(), QString("ZN-020-5.5K"));
        m_ui.reset();
    }

    // A drive of another model chosen with a click: its catalogue version
    // (P.188) is asked of that drive on the link worker, and the GUI thread
    // sends nothing.
    void catalogueLoadsOffTheGuiThread()
    {
        CParameter *form = showWindowOnStation1(false);
        QVERIFY(form);
        const int rowsOfZm = form->core().parameterCount();
        const int before = m_sent->count();
        QSignalSpy loaded(form, &CParameter::catalogueLoaded);
        clickStation(3);
        QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, 10000);
        QVERIFY(!form->catalogueLoading());
        QVERIFY(form->findChild<QPushButton *>("allReadPB")->isEnabled());
        QVERIFY(form->core().parameterCount() != rowsOfZm);
        QMutexLocker lock(&m_sent->mutex);
        bool versionAsked = false;
        for (int i = before; i < m_sent->frames.size(); ++i) {
            const QByteArray &f = m_sent->frames.at(i);
            QVERIFY2(!m_sent->onGuiThread.at(i), f.toHex().constData());
            if (f.size() >= 4 && f.at(1) == 0x03 && f.at(2) == 0 && quint8(f.at(3)) == 188) {
                versionAsked = true;
                QCOMPARE(m_sent->stations.at(i), 3);
            }
        }
        QVERIFY(versionAsked);
    }

    // Closing in the pause after a parameter function does not wait it out.
    void closingDoesNotWaitForThePause()
    {
        QVERIFY(m_window->selectStation(1));
        setSeriesLetter('S');  // the longest pause
        setParameterResetPending(true);
        m_nav->SwitchToExt();
        QVERIFY(m_nav->modeThread().isRunning());
        QTest::qWait(MonitorModeThread::kPollIntervalMs + 300);  // inside the pause now
        QVERIFY(parameterResetPending());
        QElapsedTimer timer;
        timer.start();
        m_window.reset();
        QVERIFY2(timer.elapsed() < MonitorModeThread::resetPauseMs('S') / 2,
                 qPrintable(QString::number(timer.elapsed())));
    }

private:
    // The window shown with station 1 chosen and the form's catalogue in;
    // the form shown too when asked (null when any of it failed).
    CParameter *showWindowOnStation1(bool showForm)
    {
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window.get()) || !m_window->selectStation(1))
            return nullptr;
        CParameter *form = m_window->parameterForm();
        if (showForm)
            form->show();
        if (!QTest::qWaitFor([form] { return !form->catalogueLoading(); }, 5000))
            return nullptr;
        if (showForm)
            QTest::qWait(50);  // the splitter lays the form out
        return form;
    }

    QTreeView *stationTree() const { return m_nav->findChild<QTreeView *>("SysSettreeView"); }

    // A real click on the station's row of the tree.
    void clickStation(int station)
    {
        QTreeView *tree = stationTree();
        const QModelIndex index = m_nav->stationItem(station)->index();
        tree->scrollTo(index);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                          tree->visualRect(index).center());
    }

    RecordingInteraction m_ui;
    QTranslator m_translator;
    std::unique_ptr<CMainWindow> m_window;
    CNavigation *m_nav = nullptr;
    std::shared_ptr<SentFrames> m_sent;
};

QTEST_MAIN(TestNavigation)
#include "tst_navigation.moc"
