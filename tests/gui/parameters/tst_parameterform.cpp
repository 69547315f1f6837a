#include "gui/mainwindow/cmainwindow.h"
#include "base/messagetable.h"
#include "common/sentframes.h"
#include "common/testsupport.h"
#include "link/readwrite.h"
#include "gui/parameters/cparameter.h"
#include "gui/parameters/csearch.h"
#include "gui/parameters/parameterdelegate.h"
#include "gui/widgets/passworddlg.h"
#include "parameters/parameterstate.h"
#include "simulator/demoline.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"
#include "parameters/rangetext.h"
#include "gui/parameters/selectparadialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTableWidget>
#include <QTranslator>
#include <QtTest>

namespace {
using Column = ParameterTable::Column;

QString cell(CParameter &form, int row, int column)
{
    return form.core().table().text(row, column);
}

int rowOf(CParameter &form, const QString &number)
{
    return form.core().table().rowOfNumber(number);
}

void setCell(CParameter &form, const QString &number, int column, const QString &text)
{
    form.core().table().setText(rowOf(form, number), column, text);
}

QStringList visibleNumbers(CParameter &form)
{
    QStringList numbers;
    for (int row = 0; form.core().table().hasNumberCell(row); ++row)
        if (!form.table()->isRowHidden(row))
            numbers << form.core().table().numberText(row);
    return numbers;
}

void selectRowOf(CParameter &form, const QString &number, int column = Column::SettingColumn)
{
    form.table()->setCurrentIndex(form.core().model()->index(rowOf(form, number), column));
}
}  // namespace

// The parameter list form on the demo's simulated drives: what its buttons,
// dialogs and headers do to the table and to the drive.
class TestParameterForm : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        resetSharedState();
        linkState().reset();
        setDataDirectory(QStringLiteral(VANTREO_SOURCE_DATA));
        loadSeriesFeatures();
        setUserInteraction(&m_ui);
        m_ui.clear();
        m_ui.nextAnswer = UserInteraction::Answer::Yes;
        CMainWindow::Options demo;
        demo.demo = true;
        m_window.reset(new CMainWindow(m_translator, demo));
        QVERIFY(m_window->selectStation(1));  // a ZM
        m_ui.clear();  // "load saved stations ?"
        m_form = m_window->parameterForm();
        // The catalogue comes once the drive has told its version.
        QTRY_VERIFY(!m_form->catalogueLoading());
    }
    void cleanup()
    {
        m_window.reset();
        setUserInteraction(nullptr);
        setDataDirectory(QString());
    }

    void rangeText_data()
    {
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("verdict");
        const int in = int(RangeText::Verdict::Inside), out = int(RangeText::Verdict::Outside);
        QTest::newRow("span") << "0~400Hz" << "400" << in;
        QTest::newRow("above") << "0~400Hz" << "400.01" << out;
        QTest::newRow("extra value") << "0~400Hz,9999" << "9999" << in;
        QTest::newRow("between") << "0~400Hz,9999" << "500" << out;
        QTest::newRow("either setting") << "0~360s/0~3600s" << "3000" << in;
        QTest::newRow("choices") << "0,1" << "2" << out;
        QTest::newRow("decimal low") << "0.7~15kHz" << "0.5" << out;
        QTest::newRow("no number") << "0~10" << "abc" << int(RangeText::Verdict::NotANumber);
        QTest::newRow("names another setting") << "0.60-99.99\\0~40" << "70"
                                               << int(RangeText::Verdict::Unknown);
        QTest::newRow("empty range") << "" << "5" << int(RangeText::Verdict::Unknown);
    }
    void rangeText()
    {
        QFETCH(QString, range);
        QFETCH(QString, value);
        QFETCH(int, verdict);
        QCOMPARE(int(RangeText::check(range, value)), verdict);
    }

    // A time range's spans follow the drive's time resolution; other ranges
    // with "/" keep both.
    void rangeTextAtAResolution_data()
    {
        QTest::addColumn<QString>("range");
        QTest::addColumn<int>("setting");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("inside");
        QTest::addColumn<QString>("applying");
        QTest::newRow("0.01 s") << "0~360s/0~3600s" << 0 << "3000" << false << "0~360s";
        QTest::newRow("0.1 s") << "0~360s/0~3600s" << 1 << "3000" << true << "0~3600s";
        QTest::newRow("not known") << "0~360s/0~3600s" << -1 << "3000" << true << "0~360s/0~3600s";
        QTest::newRow("with 9999") << "0~36s/0~360s,9999" << 0 << "9999" << true << "0~36s,9999";
        QTest::newRow("currents") << "0~500A/0~3600A" << 0 << "3000" << true << "0~500A/0~3600A";
    }
    void rangeTextAtAResolution()
    {
        QFETCH(QString, range);
        QFETCH(int, setting);
        QFETCH(QString, value);
        QFETCH(bool, inside);
        QFETCH(QString, applying);
        QCOMPARE(RangeText::check(range, value, setting) == RangeText::Verdict::Inside, inside);
        QCOMPARE(RangeText::applying(range, setting), applying);
    }

    // A setting that is no number, or outside the range that applies at the
    // drive's time resolution, is refused before anything is sent, with the
    // parameter, the value and the range; its mark follows the resolution.
    void settingsCheckedBeforeWriting_data()
    {
        QTest::addColumn<QString>("resolution");  // P.21 as read
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("refusal");     // empty: written
        QTest::newRow("no number") << "0" << "abc"
                                   << "P.7: \"abc\" is no number. Its range is 0~360s.";
        QTest::newRow("3000 at 0.01 s") << "0" << "3000" << "P.7: 3000 is outside its range 0~360s.";
        QTest::newRow("3000 at 0.1 s") << "1" << "3000" << "";
        QTest::newRow("300 at 0.01 s") << "0" << "300" << "";
    }
    void settingsCheckedBeforeWriting()
    {
        QFETCH(QString, resolution);
        QFETCH(QString, value);
        QFETCH(QString, refusal);
        CParameter &form = *m_form;
        QVERIFY(cell(form, rowOf(form, "7"), Column::RangeColumn).contains("/"));
        demoLine()->drive(1)->setParameterValue(21, resolution.toInt());  // as read
        setCell(form, "21", Column::CurrentColumn, resolution);
        QTRY_COMPARE(form.core().table().timeResolution(), resolution.toInt());
        setCell(form, "7", Column::SettingColumn, value);
        const QModelIndex setting = form.core().model()->index(rowOf(form, "7"), Column::SettingColumn);
        QCOMPARE(ParameterDelegate::markOf(setting) == ParameterDelegate::Mark::OutsideRange,
                 !refusal.isEmpty());
        auto sent = std::make_shared<SentFrames>();
        linkState().addFrameObserver(sent);
        m_ui.clear();
        selectRowOf(form, "7");
        QTest::mouseClick(form.findChild<QPushButton *>("writePB"), Qt::LeftButton);
        QTRY_COMPARE(form.pendingJobs(), 0);
        // The batch asks about the row, naming why, and lists it.
        setCell(form, "8", Column::SettingColumn, "");
        QTest::mouseClick(form.findChild<QPushButton *>("AllWrite"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(form.pendingJobs(), 0, 60000);
        linkState().removeFrameObserver(sent);
        demoLine()->drive(1)->setParameterValue(21, 0);
        int writes = 0;
        for (const QByteArray &frame : sent->frames)
            writes += frame.size() > 1 && (frame.at(1) == 0x06 || frame.at(1) == 0x10);
        if (refusal.isEmpty()) {
            QVERIFY2(m_ui.messages().isEmpty(), qPrintable(m_ui.messages().value(0).text));
            QCOMPARE(writes, 2);  // the row alone, then in the batch
            return;
        }
        // The batch never sends what is no number; a value outside the
        // catalogue's range goes to the drive, whose refusal it names.
        const bool number = value != "abc";
        QCOMPARE(writes, 0);
        QCOMPARE(m_ui.messages().size(), 3);
        QCOMPARE(m_ui.messages().at(0).text, refusal);
        if (number)  // the drive's register cannot hold it at 0.01 s
            QCOMPARE(m_ui.messages().at(1).text, "P.7 Write error!\n" + messageText(12));
        else
            QCOMPARE(m_ui.messages().at(1).text, "P.7 Write error!\n" + refusal);
        QCOMPARE(m_ui.messages().at(2).text, QString("These parameters were not written: P.7."));
    }

    // A setting that differs from the drive's value is tinted, one outside
    // the range marked; the marks follow the cells.
    void settingsAreMarked()
    {
        CParameter &form = *m_form;
        setCell(form, "3", Column::CurrentColumn, "50");
        const QModelIndex setting = form.core().model()->index(rowOf(form, "3"), Column::SettingColumn);
        using Mark = ParameterDelegate::Mark;
        QCOMPARE(ParameterDelegate::markOf(setting), Mark::None);  // empty
        setCell(form, "3", Column::SettingColumn, "50.00");
        QCOMPARE(ParameterDelegate::markOf(setting), Mark::None);
        setCell(form, "3", Column::SettingColumn, "60");
        QCOMPARE(ParameterDelegate::markOf(setting), Mark::Differs);
        setCell(form, "3", Column::SettingColumn, "401");
        QCOMPARE(ParameterDelegate::markOf(setting), Mark::OutsideRange);
        setCell(form, "3", Column::SettingColumn, "x");
        QCOMPARE(ParameterDelegate::markOf(setting), Mark::OutsideRange);
    }

    // A batch read brings back only the values it read, each to its
    // parameter's row: a setting typed meanwhile stays, and a table sorted
    // meanwhile still gets every value.
    void batchReadBringsBackOnlyItsValues_data()
    {
        QTest::addColumn<bool>("sortMeanwhile");
        QTest::newRow("setting typed meanwhile") << false;
        QTest::newRow("rows sorted meanwhile") << true;
    }
    void batchReadBringsBackOnlyItsValues()
    {
        QFETCH(bool, sortMeanwhile);
        CParameter &form = *m_form;
        const QStringList unsorted = form.core().table().copyCells().numberCells();
        QTest::mouseClick(form.findChild<QPushButton *>("allReadPB"), Qt::LeftButton);
        QVERIFY(form.transferRunning());
        setCell(form, "7", Column::SettingColumn, "12.5");
        if (sortMeanwhile) {
            form.core().model()->sort(Column::NameColumn);
            QVERIFY(form.core().table().copyCells().numberCells() != unsorted);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!form.transferRunning(), 60000);
        QTRY_COMPARE(form.pendingJobs(), 0);
        QVERIFY2(m_ui.messages().isEmpty(), qPrintable(m_ui.messages().value(0).text));
        QCOMPARE(cell(form, rowOf(form, "3"), Column::CurrentColumn), QString("50"));
        QCOMPARE(cell(form, rowOf(form, "7"), Column::SettingColumn), QString("12.5"));
        QVERIFY(!cell(form, rowOf(form, "7"), Column::CurrentColumn).isEmpty());
    }

    // What was written is read back into "Current value" (a single write, a
    // batch of settings, "Write the current value"); a batch that could not
    // write a row lists it in one box at its end.
    void writesAreReadBackAndFailuresListed()
    {
        CParameter &form = *m_form;
        SimulatedDrive &drive = *demoLine()->drive(1);
        drive.setRefusedWrite(8, SimulatedDrive::IllegalAddress);
        setCell(form, "7", Column::SettingColumn, "12.5");
        setCell(form, "8", Column::SettingColumn, "7");
        m_ui.clear();
        QTest::mouseClick(form.findChild<QPushButton *>("AllWrite"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(form.pendingJobs(), 0, 60000);
        drive.setRefusedWrite(8, 0);
        QCOMPARE(cell(form, rowOf(form, "7"), Column::CurrentColumn), QString("12.5"));
        QCOMPARE(cell(form, rowOf(form, "8"), Column::CurrentColumn), QString());
        QCOMPARE(m_ui.messagesOfKind("choice").size(), 1);
        QCOMPARE(m_ui.messages().last().text, QString("These parameters were not written: P.8."));

        // One row written alone, and the values shown written back as they are.
        setCell(form, "9", Column::SettingColumn, "4.5");
        selectRowOf(form, "9");
        QTest::mouseClick(form.findChild<QPushButton *>("writePB"), Qt::LeftButton);
        QTRY_COMPARE(form.pendingJobs(), 0);
        QCOMPARE(cell(form, rowOf(form, "9"), Column::CurrentColumn), QString("4.5"));
        setCell(form, "7", Column::CurrentColumn, "20");
        m_ui.clear();
        QTest::mouseClick(form.findChild<QPushButton *>("WriteCurParPB"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(form.pendingJobs(), 0, 60000);
        QVERIFY2(m_ui.messages().isEmpty(), qPrintable(m_ui.messages().value(0).text));
        QCOMPARE(cell(form, rowOf(form, "7"), Column::CurrentColumn), QString("20"));
        QCOMPARE(drive.parameter(7).value, 2000.0);  // the register counts hundredths
    }

    // The scenario of a day on site: read everything, change two settings,
    // write them, keep the set as both file kinds, clear, open each back.
    void readEditWriteSaveOpen()
    {
        CParameter &form = *m_form;
        selectRowOf(form, "12");
        form.findChild<QPushButton *>("allReadPB")->click();
        QVERIFY(!form.findChild<QPushButton *>("allReadPB")->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(form.pendingJobs(), 0, 60000);
        QVERIFY(form.findChild<QPushButton *>("allReadPB")->isEnabled());
        QCOMPARE(cell(form, rowOf(form, "3"), Column::CurrentColumn), QString("50"));
        QVERIFY2(m_ui.messages().isEmpty(), qPrintable(m_ui.messages().value(0).text));
        // The values came in as a whole; the selection stayed where it was.
        QCOMPARE(form.table()->currentIndex().row(), rowOf(form, "12"));
        QCOMPARE(form.core().table().currentRow(), rowOf(form, "12"));

        // Only the edited settings are written (the others are empty).
        setCell(form, "7", Column::SettingColumn, "12.5");
        setCell(form, "8", Column::SettingColumn, "7");
        form.findChild<QPushButton *>("AllWrite")->click();
        QTRY_COMPARE_WITH_TIMEOUT(form.pendingJobs(), 0, 60000);
        for (const char *number : {"7", "8"}) {
            setCell(form, number, Column::CurrentColumn, "");
            selectRowOf(form, number);
            form.findChild<QPushButton *>("readPB")->click();
            QTRY_COMPARE(form.pendingJobs(), 0);
        }
        QCOMPARE(cell(form, rowOf(form, "7"), Column::CurrentColumn), QString("12.5"));
        QCOMPARE(cell(form, rowOf(form, "8"), Column::CurrentColumn), QString("7"));

        QTemporaryDir dir;
        for (const char *suffix : {"xbel", "xls"}) {
            const QString file = dir.filePath(QStringLiteral("set.") + suffix);
            form.setFileAsker([&](bool) { return CParameter::FileChoice{file, QString()}; });
            form.findChild<QPushButton *>("savePB")->click();
            form.findChild<QPushButton *>("ClearSetValPB")->click();
            QCOMPARE(cell(form, rowOf(form, "7"), Column::SettingColumn), QString());
            form.findChild<QPushButton *>("openPB")->click();
            QCOMPARE(cell(form, rowOf(form, "7"), Column::SettingColumn), QString("12.5"));
            QCOMPARE(cell(form, rowOf(form, "8"), Column::SettingColumn), QString("7"));
            QCOMPARE(cell(form, rowOf(form, "3"), Column::SettingColumn), QString("50"));
        }
        QVERIFY2(m_ui.messages().isEmpty(), qPrintable(m_ui.messages().value(0).text));
    }

    // Read and Write act on the row the user sees selected, whatever moved
    // the rows since it was selected.
    void selectedRowSurvivesSortAndFile()
    {
        CParameter &form = *m_form;
        form.mySort(Column::NumberColumn);  // text order: P.10 comes before P.2 ... no: blanks first
        selectRowOf(form, "12");
        // An opened file inserts rows above the selection (P.5 missing here).
        QTemporaryDir dir;
        const QString file = dir.filePath("set.xbel");
        form.setFileAsker([&](bool) { return CParameter::FileChoice{file, QString()}; });
        form.save();
        form.core().table().model()->removeRow(rowOf(form, "5"));
        form.open();
        QVERIFY(rowOf(form, "5") >= 0);
        setCell(form, "12", Column::CurrentColumn, "");
        form.ReadSinglePar();
        QTRY_COMPARE(form.pendingJobs(), 0);
        QVERIFY(!cell(form, rowOf(form, "12"), Column::CurrentColumn).isEmpty());
        QCOMPARE(cell(form, rowOf(form, "11"), Column::CurrentColumn), QString());
        QCOMPARE(cell(form, rowOf(form, "13"), Column::CurrentColumn), QString());
    }

    void headersSortByGroupAndNumberOnly_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("sorts");
        QTest::newRow("Trad. P mode") << int(Column::NumberColumn) << true;
        QTest::newRow("Group mode hidden for ZM") << int(Column::GroupColumn) << false;
        QTest::newRow("Unit") << int(Column::UnitColumn) << false;
        QTest::newRow("Name") << int(Column::NameColumn) << false;
    }
    void headersSortByGroupAndNumberOnly()
    {
        QFETCH(int, column);
        QFETCH(bool, sorts);
        CParameter &form = *m_form;
        QStandardItemModel *model = form.core().model();
        model->appendRow(model->takeRow(0));  // P.0 last: out of order
        const QStringList before = form.core().table().numberCells();
        form.table()->horizontalHeader()->sectionClicked(column);
        const QStringList after = form.core().table().numberCells();
        QCOMPARE(after != before, sorts);
        if (sorts) {
            QStringList sorted = before;
            std::sort(sorted.begin(), sorted.end());
            QCOMPARE(after, sorted);
        }
    }

    // "Show Select Parameter": the choice is kept by P number, so that it
    // shows the same parameters after a sort and after a catalogue of another
    // series; OK with nothing chosen shows nothing; Cancel changes nothing.
    void showSelectedParameters()
    {
        CParameter &form = *m_form;
        int runs = 0;
        form.setDialogRunner([&](QDialog &dialog) {
            auto &select = static_cast<SelectParaDialog &>(dialog);
            ++runs;
            if (runs == 1) {
                select.ok();  // nothing chosen
            } else if (runs == 2) {
                QTableWidget *left = select.notShownList();
                for (const char *number : {"3", "7"}) {
                    left->selectRow(rowOf(form, number));
                    select.addPara();
                }
                select.ok();
            } else if (runs == 3) {
                QStringList right;
                for (int row = 0; row < select.shownList()->rowCount(); ++row)
                    if (!select.shownList()->isRowHidden(row))
                        right << select.shownList()->item(row, 0)->text().simplified();
                dialog.setProperty("right", right);
                select.notShownList()->selectRow(rowOf(form, "9"));
                select.addPara();
                select.cancel();
            }
            return dialog.result();
        });
        form.findChild<QComboBox *>("selectParaCombo")->setCurrentIndex(1);
        form.selectPara(1);
        QCOMPARE(visibleNumbers(form), QStringList());
        form.selectPara(1);
        QCOMPARE(visibleNumbers(form), (QStringList{"3", "7"}));
        form.selectPara(1);
        QCOMPARE(visibleNumbers(form), (QStringList{"3", "7"}));  // cancelled
        QCOMPARE(form.selectedNumbers(), (QStringList{"3", "7"}));

        form.mySort(Column::NumberColumn);
        QCOMPARE(visibleNumbers(form).size(), 2);
        QVERIFY(visibleNumbers(form).contains("7"));
        QVERIFY(m_window->selectStation(2));  // the ZN: another catalogue
        QTRY_VERIFY(!m_form->catalogueLoading());
        QCOMPARE(seriesLetter(), 'H');
        QCOMPARE(visibleNumbers(form), (QStringList{"3", "7"}));
        form.selectPara(0);
        QVERIFY(visibleNumbers(form).size() > 100);
    }

    void reopenedSelectionShowsTheChoice()
    {
        CParameter &form = *m_form;
        SelectParaDialog dialog(form.core().table(), {"3", "7"});
        QStringList right;
        for (int row = 0; row < dialog.shownList()->rowCount(); ++row)
            if (!dialog.shownList()->isRowHidden(row))
                right << dialog.shownList()->item(row, 0)->text().simplified();
        QCOMPARE(right.size(), 2);
        QVERIFY(right.at(0).startsWith("P.3. "));
        QVERIFY(right.at(1).startsWith("P.7. "));
        QCOMPARE(dialog.notShownList()->isRowHidden(rowOf(form, "3")), true);
        QCOMPARE(dialog.notShownList()->isRowHidden(rowOf(form, "4")), false);
    }

    void searchFindsCells_data()
    {
        QTest::addColumn<bool>("whole");
        QTest::addColumn<bool>("sensitive");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numberCells");  // the P.1, P.10, ... cells among them
        QTest::newRow("part, any case") << false << false << "p.1" << true;
        QTest::newRow("part, case-sensitive") << false << true << "p.1" << false;
        QTest::newRow("whole cell") << true << true << "P.1" << false;  // cells are "  P.1"
    }
    void searchFindsCells()
    {
        QFETCH(bool, whole);
        QFETCH(bool, sensitive);
        QFETCH(QString, text);
        QFETCH(bool, numberCells);
        const auto found = CSearch::findCells(*m_form->core().model(), text, whole, sensitive);
        int inNumberColumn = 0;
        int lastColumn = -1;
        for (const QModelIndex &index : found) {
            QVERIFY(index.column() >= lastColumn);  // column by column
            lastColumn = index.column();
            inNumberColumn += index.column() == Column::NumberColumn;
        }
        if (numberCells)
            QVERIFY(inNumberColumn >= 11);  // P.1, P.10 to P.19, ...
        else
            QCOMPARE(inNumberColumn, 0);
    }

    // From the current cell a search goes to the next match in the direction
    // pressed, and back; past the last one it says so and stays.
    void searchSteps()
    {
        CParameter &form = *m_form;
        QTableView *view = form.table();
        CSearch search(view);
        search.findChild<QLineEdit *>("SearchlineEdit")->setText("P.12");
        search.findChild<QCheckBox *>("MatchExaCheckBox")->setChecked(true);
        auto *down = search.findChild<QPushButton *>("DownSearchPB");
        auto *up = search.findChild<QPushButton *>("UpSearchPB");
        // P.12 and the P.12x the drive has, in table order.
        QStringList twelves;
        for (const QString &number : visibleNumbers(form))
            if (number.startsWith("12") && number.size() <= 3)
                twelves << number;
        QVERIFY(twelves.size() >= 4);
        selectRowOf(form, "3", Column::NumberColumn);
        QTest::mouseClick(down, Qt::LeftButton);
        QCOMPARE(view->currentIndex().row(), rowOf(form, "12"));
        QVERIFY(search.foundCount() >= 2);
        QTest::mouseClick(down, Qt::LeftButton);
        QCOMPARE(view->currentIndex().row(), rowOf(form, twelves.at(1)));
        QTest::mouseClick(up, Qt::LeftButton);
        QCOMPARE(view->currentIndex().row(), rowOf(form, "12"));
        QVERIFY(m_ui.messages().isEmpty());
        QTest::mouseClick(up, Qt::LeftButton);  // before the first one
        QCOMPARE(m_ui.messages().size(), 1);
        QCOMPARE(m_ui.messages().at(0).text, QString("Did not find the accordant characters"));
        QCOMPARE(view->currentIndex().row(), rowOf(form, "12"));
        // A cell the user moved to is where the next search starts.
        selectRowOf(form, twelves.at(2), Column::NumberColumn);
        QTest::mouseClick(down, Qt::LeftButton);
        QCOMPARE(view->currentIndex().row(), rowOf(form, twelves.at(3)));
        search.findChild<QLineEdit *>("SearchlineEdit")->setText("no such text anywhere");
        QTest::mouseClick(down, Qt::LeftButton);
        QCOMPARE(m_ui.messages().size(), 2);
    }

    // With only P.3 and P.7 shown, the search finds none of the hidden rows,
    // and Read and Write leave a hidden current row alone: nothing reaches
    // the drive.
    void hiddenRowsAreNeitherFoundNorTransferred()
    {
        CParameter &form = *m_form;
        QTableView *view = form.table();
        selectRowOf(form, "129");
        setCell(form, "129", Column::SettingColumn, "1");
        form.setSelectedNumbers({"3", "7"});
        form.tableHide();
        QCOMPARE(visibleNumbers(form), (QStringList{"3", "7"}));
        QVERIFY(view->isRowHidden(view->currentIndex().row()));

        auto sent = std::make_shared<SentFrames>();
        linkState().addFrameObserver(sent);
        QTest::mouseClick(form.findChild<QPushButton *>("readPB"), Qt::LeftButton);
        QTest::mouseClick(form.findChild<QPushButton *>("writePB"), Qt::LeftButton);
        QTRY_COMPARE(form.pendingJobs(), 0);
        QTest::qWait(100);
        linkState().removeFrameObserver(sent);
        QCOMPARE(sent->count(), 0);
        QCOMPARE(cell(form, rowOf(form, "129"), Column::CurrentColumn), QString());

        CSearch search(view);
        search.findChild<QLineEdit *>("SearchlineEdit")->setText("P.12");
        selectRowOf(form, "3", Column::NumberColumn);
        QTest::mouseClick(search.findChild<QPushButton *>("DownSearchPB"), Qt::LeftButton);
        QCOMPARE(search.foundCount(), 0);
        QCOMPARE(m_ui.messages().size(), 1);
        QCOMPARE(view->currentIndex().row(), rowOf(form, "3"));
    }

    // The parameter function buttons ask first, naming the function and the
    // drive; "No" sends nothing, "Yes" runs it on that drive.
    void parameterFunctionsAskFirst_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("function");
        QTest::newRow("P.996") << "Pr996PB" << "P.996 (Alarm history clear)";
        QTest::newRow("P.997") << "Pr997PB" << "P.997 (Inverter reset)";
        QTest::newRow("P.998") << "Pr998PB" << "P.998 (All parameter clear)";
        QTest::newRow("P.999") << "Pr999PB" << "P.999 (Parameter clear)";
    }
    void parameterFunctionsAskFirst()
    {
        QFETCH(QString, button);
        QFETCH(QString, function);
        CParameter &form = *m_form;
        auto sent = std::make_shared<SentFrames>();
        linkState().addFrameObserver(sent);
        setParameterResetPending(false);
        m_ui.clear();
        m_ui.nextAnswer = UserInteraction::Answer::No;
        QTest::mouseClick(form.findChild<QPushButton *>(button), Qt::LeftButton);
        QCOMPARE(m_ui.messages().size(), 1);
        QCOMPARE(m_ui.messages().at(0).text,
                 QString("Run %1 on station 1 ZM-043-7.5K?").arg(function));
        QTRY_COMPARE(form.pendingJobs(), 0);
        QCOMPARE(sent->count(), 0);
        QVERIFY(!parameterResetPending());

        m_ui.nextAnswer = UserInteraction::Answer::Yes;
        QTest::mouseClick(form.findChild<QPushButton *>(button), Qt::LeftButton);
        QTRY_COMPARE(form.pendingJobs(), 0);
        linkState().removeFrameObserver(sent);
        QVERIFY(sent->count() > 0);
        QCOMPARE(sent->stationOfLast(), 1);
        QVERIFY(parameterResetPending());
        setParameterResetPending(false);
        m_ui.reset();
    }

    // After every catalogue load the first parameter's number is the current
    // cell, also when another drive's catalogue replaces a table whose current
    // cell was elsewhere; "Comment" takes no edit.
    void firstCellAfterALoad()
    {
        CParameter &form = *m_form;
        QTableView *view = form.table();
        QCOMPARE(view->currentIndex(), form.core().model()->index(0, Column::NumberColumn));
        selectRowOf(form, "12", Column::SettingColumn);
        QVERIFY(m_window->selectStation(2));  // a ZN
        QTRY_VERIFY(!form.catalogueLoading());
        QCOMPARE(form.core().table().numberText(0), QString("0"));
        QCOMPARE(view->currentIndex(), form.core().model()->index(0, Column::NumberColumn));
        const QModelIndex comment = form.core().model()->index(3, Column::CommentColumn);
        QVERIFY(!(comment.flags() & Qt::ItemIsEditable));
        QVERIFY(form.core().model()->index(3, Column::SettingColumn).flags() &
                Qt::ItemIsEditable);
    }

    void password_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("as stored") << "tarmelo" << true;
        QTest::newRow("capitals") << "TARMELO" << true;
        QTest::newRow("wrong") << "tarmel" << false;
        QTest::newRow("empty") << "" << false;
    }
    void password()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        PassWordDlg dialog;
        dialog.setObjectName("Parameter Password");
        QSignalSpy unlocked(&dialog, &PassWordDlg::unlocked);
        dialog.show();
        dialog.findChild<QLineEdit *>()->setText(typed);
        dialog.accept();
        QCOMPARE(unlocked.size(), accepted ? 1 : 0);
        QCOMPARE(dialog.isVisible(), !accepted);
        QCOMPARE(m_ui.messages().size(), accepted ? 0 : 1);
        if (!accepted)
            QCOMPARE(m_ui.messages().at(0).text, QString("Password Error !"));
    }

    // A name without an ending takes the ending of the file type chosen; a
    // name with another ending is refused with a warning naming both, and
    // the file of that name is left as it was.
    void fileNamesTakeTheChosenEnding_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("written");  // empty: nothing written
        QTest::addColumn<QString>("warning");
        QTest::newRow("xls, no ending") << "myset" << "XLS Files(*.xls)" << "myset.xls" << "";
        QTest::newRow("xbel, no ending") << "myset" << "XBEL Files(*.xbel)" << "myset.xbel" << "";
        QTest::newRow("trailing dot") << "myset." << "XLS Files(*.xls)" << "myset.xls" << "";
        QTest::newRow("its own ending") << "a.xbel" << "XBEL Files(*.xbel)" << "a.xbel" << "";
        QTest::newRow("another ending")
            << "myset.txt" << "XLS Files(*.xls)" << ""
            << "The name myset.txt ends in .txt, but the file type chosen is .xls. Nothing was "
               "saved.";
        QTest::newRow("no type chosen, no ending")
            << "myset" << "" << ""
            << "Cannot write file myset:\na parameter file's name ends in .xls or .xbel.";
    }
    void fileNamesTakeTheChosenEnding()
    {
        QFETCH(QString, typed);
        QFETCH(QString, filter);
        QFETCH(QString, written);
        QFETCH(QString, warning);
        QTemporaryDir dir;
        // An older file of the typed name stays as it was.
        QFile old(dir.filePath(typed));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("kept");
        old.close();
        // A file keeps the values read from the drive.
        setCell(*m_form, "7", Column::CurrentColumn, "12.5");
        m_ui.clear();
        m_form->setFileAsker([&](bool) {
            return CParameter::FileChoice{dir.filePath(typed), filter};
        });
        QTest::mouseClick(m_form->findChild<QPushButton *>("savePB"), Qt::LeftButton);
        if (warning.isEmpty()) {
            QVERIFY2(m_ui.messages().isEmpty(), qPrintable(m_ui.messages().value(0).text));
            QVERIFY(QFileInfo(dir.filePath(written)).size() > 100);
            // Opened with the same answer, it gives the setting back.
            setCell(*m_form, "7", Column::SettingColumn, "");
            QTest::mouseClick(m_form->findChild<QPushButton *>("openPB"), Qt::LeftButton);
            QVERIFY2(m_ui.messages().isEmpty(), qPrintable(m_ui.messages().value(0).text));
            QCOMPARE(cell(*m_form, rowOf(*m_form, "7"), Column::SettingColumn), QString("12.5"));
        } else {
            QCOMPARE(m_ui.messages().size(), 1);
            QString text = m_ui.messages().at(0).text;
            QCOMPARE(text.replace(dir.path() + "/", QString()), warning);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{typed});
        }
        if (typed != written) {
            QVERIFY(old.open(QIODevice::ReadOnly));
            QCOMPARE(old.readAll(), QByteArray("kept"));
        }
    }

    void nothingToSaveBeforeTheFileDialog()
    {
        setModelString(QString());
        bool asked = false;
        m_form->setFileAsker([&](bool) {
            asked = true;
            return CParameter::FileChoice();
        });
        m_form->save();
        QVERIFY(!asked);
        QCOMPARE(m_ui.messages().size(), 1);
        QCOMPARE(m_ui.messages().at(0).text, QString("Nothing can be saved."));
    }

private:
    RecordingInteraction m_ui;
    QTranslator m_translator;
    std::unique_ptr<CMainWindow> m_window;
    CParameter *m_form = nullptr;
};

QTEST_MAIN(TestParameterForm)
#include "tst_parameterform.moc"
