#include "cparameter.h"

#include "csearch.h"
#include "parameterdelegate.h"
#include "selectparadialog.h"
#include "ui_parameterform.h"

#include "gui/widgets/jobprogresspanel.h"
#include "base/drivetarget.h"
#include "base/messagetable.h"
#include "base/sharedstate.h"
#include "base/userinteraction.h"
#include "link/linkjob.h"
#include "link/linkstate.h"
#include "link/linkworker.h"
#include "parameters/batchjob.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStandardItemModel>

#include <algorithm>

namespace {
using Column = ParameterTable::Column;
constexpr int kMeasuredRows = 80;
}

CParameter::CParameter(LinkWorker &worker, QWidget *parent)
    : QWidget(parent), m_ui(new Ui::ParameterForm), m_worker(worker)
{
    m_ui->setupUi(this);
    QTableView *view = m_ui->PartableWidget;
    view->setModel(m_core.model());
    view->setItemDelegate(new ParameterDelegate(view));
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setWordWrap(false);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setSectionsClickable(true);
    QPalette colours = view->palette();
    colours.setColor(QPalette::Base, QColor(255, 255, 246));
    colours.setColor(QPalette::AlternateBase, QColor(255, 254, 210));
    view->setPalette(colours);
    m_core.table().setHeaderTexts();

    m_fileAsker = [this](bool saving) {
        QString chosen;
        const QString filter = tr("XLS Files(*.xls);;XBEL Files(*.xbel)");
        const QString name =
            saving ? QFileDialog::getSaveFileName(this, tr("Save File"), QDir::currentPath(),
                                                  filter, &chosen)
                   : QFileDialog::getOpenFileName(this, tr("Open File"), QDir::currentPath(),
                                                  filter, &chosen);
        return FileChoice{name, chosen};
    };
    m_dialogRunner = [](QDialog &dialog) { return dialog.exec(); };
    // A setting typed into the table is the user's work until it is written
    // to the drive or saved.
    connect(view->itemDelegate(), &QAbstractItemDelegate::commitData, this,
            [this] { m_unsavedWork = true; });
    m_progress = new JobProgressPanel(this);
    m_ui->formLayout->addWidget(m_progress);
    connect(m_progress, &JobProgressPanel::busyChanged, this, &CParameter::setControlsBusy);
    connectControls();
    applyPresentation();
    view->setFocus();
}

CParameter::~CParameter()
{
    for (const auto &job : m_jobs)
        job->cancel();
    delete m_ui;
}

QTableView *CParameter::table() const { return m_ui->PartableWidget; }

JobProgressPanel *CParameter::progressPanel() const { return m_progress; }

bool CParameter::transferRunning() const { return m_progress->busy(); }

// While a batch runs the form's own controls rest (the batch put its values
// into the table at the end); the rest of the window stays usable. Only the
// controls that were on come back on.
void CParameter::setControlsBusy(bool busy)
{
    // A batch and a catalogue load may overlap: the controls come back when
    // the last of them has ended.
    m_busyCount = qMax(0, m_busyCount + (busy ? 1 : -1));
    if (busy ? m_busyCount != 1 : m_busyCount != 0)
        return;
    QTableView *view = m_ui->PartableWidget;
    if (busy) {
        m_restEnabled.clear();
        const auto controls = findChildren<QWidget *>();
        for (QWidget *w : controls) {
            if (w == view || view->isAncestorOf(w) || w == m_progress ||
                m_progress->isAncestorOf(w) || w->isWindow())
                continue;
            if ((qobject_cast<QAbstractButton *>(w) || qobject_cast<QComboBox *>(w)) &&
                w->isEnabled()) {
                w->setEnabled(false);
                m_restEnabled.append(w);
            }
        }
        m_editTriggers = view->editTriggers();
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        return;
    }
    for (const QPointer<QWidget> &w : qAsConst(m_restEnabled))
        if (w)
            w->setEnabled(true);
    m_restEnabled.clear();
    view->setEditTriggers(m_editTriggers);
}

void CParameter::connectControls()
{
    Ui::ParameterForm &ui = *m_ui;
    connect(ui.ParClose, &QToolButton::clicked, this, &QWidget::hide);
    connect(ui.allReadPB, &QPushButton::clicked, this, &CParameter::ReadAllPar);
    connect(ui.AllWrite, &QPushButton::clicked, this, &CParameter::WriteAllParClicked);
    connect(ui.readPB, &QPushButton::clicked, this, &CParameter::ReadSinglePar);
    connect(ui.writePB, &QPushButton::clicked, this, &CParameter::WriteSinglePar);
    connect(ui.ClearCurParPB, &QPushButton::clicked, this, &CParameter::ClearCurrentVal);
    connect(ui.ClearSetValPB, &QPushButton::clicked, this, &CParameter::ClearSettingVal);
    connect(ui.IndexPB, &QPushButton::clicked, this, &CParameter::CallIndexDialog);
    connect(ui.Pr996PB, &QPushButton::clicked, this, &CParameter::Execute996);
    connect(ui.Pr997PB, &QPushButton::clicked, this, &CParameter::Execute997);
    connect(ui.Pr998PB, &QPushButton::clicked, this, &CParameter::Execute998);
    connect(ui.Pr999PB, &QPushButton::clicked, this, &CParameter::Execute999);
    connect(ui.WriteCurParPB, &QPushButton::clicked, this, &CParameter::WriteCurParClicked);
    connect(ui.openPB, &QPushButton::clicked, this, &CParameter::open);
    connect(ui.savePB, &QPushButton::clicked, this, &CParameter::save);
    connect(ui.selectParaCombo, QOverload<int>::of(&QComboBox::activated), this,
            &CParameter::selectPara);
    connect(ui.PartableWidget->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &CParameter::mySort);
    followCurrentCell();
    connect(&m_core.table(), &ParameterTable::bulkChangeStarting, this, &CParameter::detachModel);
    connect(&m_core.table(), &ParameterTable::bulkChangeFinished, this, &CParameter::attachModel);
    // A new current value changes the mark of the setting beside it.
    connect(m_core.model(), &QAbstractItemModel::dataChanged, ui.PartableWidget->viewport(),
            QOverload<>::of(&QWidget::update));
    connect(&m_core.table(), &ParameterTable::presentationChanged, this,
            &CParameter::applyPresentation);
    connect(&m_core, &ParameterCore::batchReadRunning, this,
            [this](bool running) { m_ui->allReadPB->setEnabled(!running); });
}

void CParameter::followCurrentCell()
{
    connect(m_ui->PartableWidget->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                m_core.table().setCurrentCell(current.row(), current.column());
            });
}

// The view lets go of the model while many rows change at once: following
// each inserted row costs several times what showing the result does.
void CParameter::detachModel()
{
    QTableView *view = m_ui->PartableWidget;
    const QModelIndex current = view->currentIndex();
    m_keptCurrent = {current.row(), current.column()};
    m_detached = true;
    QItemSelectionModel *selection = view->selectionModel();
    view->setModel(nullptr);
    delete selection;
}

void CParameter::attachModel()
{
    QTableView *view = m_ui->PartableWidget;
    QItemSelectionModel *empty = view->selectionModel();
    view->setModel(m_core.model());
    delete empty;
    m_detached = false;
    followCurrentCell();
    const QModelIndex current = m_core.model()->index(m_keptCurrent.first, m_keptCurrent.second);
    if (current.isValid())
        view->setCurrentIndex(current);
    applyPresentation();
}

// The drive is asked on the link worker (the GUI thread never waits on the
// line); the table follows when the answers are in. A newer load makes an
// older one's answers moot.
void CParameter::loadCatalogue()
{
    m_unsavedWork = false;
    const unsigned request = ++m_catalogueRequest;
    if (!m_catalogueLoading) {
        m_catalogueLoading = true;
        setControlsBusy(true);
    }
    auto probe = std::make_shared<ParameterCore::CatalogueProbe>();
    runOnWorker([probe] { *probe = ParameterCore::probeCatalogue(); },
                [this, request, probe] {
                    if (request != m_catalogueRequest)
                        return;
                    // The shared catalogue version is the probe's now.
                    m_core.applyCatalogue(*probe);
                    m_core.loadHiddenParameters();
                    applyPresentation();
                    selectFirstCell();
                    m_catalogueLoading = false;
                    setControlsBusy(false);
                    emit catalogueLoaded();
                });
}

// A new catalogue starts at the first parameter's number, not at a cell
// the last drive's table had.
void CParameter::selectFirstCell()
{
    QTableView *view = m_ui->PartableWidget;
    for (int row = 0; row < m_core.model()->rowCount(); ++row) {
        if (!view->isRowHidden(row)) {
            view->setCurrentIndex(m_core.model()->index(row, Column::NumberColumn));
            return;
        }
    }
}

void CParameter::applyPresentation()
{
    if (m_detached)
        return;
    QTableView *view = m_ui->PartableWidget;
    view->setColumnHidden(Column::GroupColumn, !m_core.table().groupColumnVisible());
    fitColumns();
    if (m_ui->selectParaCombo->currentIndex() == 1 && m_selectionMade)
        tableHide();
    else
        showAll();
}

// Every column as wide as its texts, the long ones (names, ranges, comments)
// held back so that the values stay in sight beside them.
void CParameter::fitColumns()
{
    QTableView *view = m_ui->PartableWidget;
    const QFontMetrics metrics(view->font());
    const QStandardItemModel *model = m_core.model();
    for (int column = 0; column < Column::ColumnCount; ++column) {
        int limit = 140;
        if (column == Column::NameColumn)
            limit = 280;
        else if (column == Column::RangeColumn || column == Column::CommentColumn)
            limit = 170;
        // Measured on the texts of the first rows: the delegates' size hints,
        // or every row, cost several times more for a width that is capped.
        int wanted = view->horizontalHeader()->sectionSizeHint(column);
        for (int row = 0; row < qMin(model->rowCount(), kMeasuredRows); ++row) {
            const QStandardItem *item = model->item(row, column);
            if (item)
                wanted = qMax(wanted, metrics.horizontalAdvance(item->text()) + 12);
        }
        view->setColumnWidth(column, qBound(60, wanted, limit));
    }
}

// The core's current row is a plain index: take it from the view, whose
// current index follows its row through sorts and inserted rows. A row the
// selection of shown parameters hides is no current row: Read and Write
// never act on a parameter the user cannot see.
void CParameter::syncCurrentCell()
{
    const QTableView *view = m_ui->PartableWidget;
    const QModelIndex current = view->currentIndex();
    const bool visible = current.isValid() && !view->isRowHidden(current.row());
    m_core.table().setCurrentCell(visible ? current.row() : -1,
                                  visible ? current.column() : -1);
}

void CParameter::setSelectedNumbers(const QStringList &numbers)
{
    m_selectedNumbers = numbers;
    m_selectionMade = true;
}

void CParameter::showAll()
{
    QTableView *view = m_ui->PartableWidget;
    for (int row = 0; row < m_core.model()->rowCount(); ++row)
        if (view->isRowHidden(row))
            view->setRowHidden(row, false);
}

void CParameter::tableHide()
{
    showAll();
    const ParameterTable &table = m_core.table();
    QTableView *view = m_ui->PartableWidget;
    for (int row = 0; row < m_core.model()->rowCount(); ++row) {
        const QString number = table.hasNumberCell(row) ? table.numberText(row) : QString();
        if (number.isEmpty() || !m_selectedNumbers.contains(number))
            view->setRowHidden(row, true);
    }
}

void CParameter::selectPara(int index)
{
    if (index == 0) {
        showAll();
        return;
    }
    SelectParaDialog dialog(m_core.table(), m_selectedNumbers, this);
    if (runDialog(dialog) != QDialog::Accepted)
        return;
    setSelectedNumbers(dialog.selectedNumbers());
    tableHide();
}

void CParameter::mySort(int column)
{
    const bool groupSort = column == Column::GroupColumn && seriesLetter() == 'A' &&
                           m_core.table().groupColumnVisible();
    if (!groupSort && column != Column::NumberColumn)
        return;
    m_core.table().sortByColumn(column);
    if (m_ui->selectParaCombo->currentIndex() == 1 && m_selectionMade)
        tableHide();
}

void CParameter::CallIndexDialog()
{
    CSearch search(m_ui->PartableWidget, this);
    runDialog(search);
}

int CParameter::runDialog(QDialog &dialog) { return m_dialogRunner(dialog); }

void CParameter::keep(const std::shared_ptr<LinkJob> &job)
{
    m_jobs.push_back(job);
    LinkJob *raw = job.get();
    connect(raw, &LinkJob::finished, this, [this, raw] {
        m_jobs.erase(std::remove_if(m_jobs.begin(), m_jobs.end(),
                                    [raw](const auto &j) { return j.get() == raw; }),
                     m_jobs.end());
    });
}

void CParameter::runOnWorker(std::function<void()> work, std::function<void()> done)
{
    auto job = makeLinkJob<FunctionJob>([work = std::move(work)](LinkJob &) { work(); });
    if (done)
        connect(job.get(), &LinkJob::finished, this, std::move(done));
    keep(job);
    m_worker.post(job);
}

void CParameter::ReadAllPar()
{
    std::shared_ptr<BatchJob> job = m_core.startReadAll(m_worker);
    m_progress->follow(job);
    keep(job);
}

void CParameter::WriteAllParClicked()
{
    m_core.setWriteSettingColumn(true);
    WriteAllPar();
}

void CParameter::WriteCurParClicked()
{
    m_core.setWriteSettingColumn(false);
    WriteAllPar();
}

void CParameter::WriteAllPar()
{
    std::shared_ptr<BatchJob> job = m_core.startWriteAll(m_worker);
    m_progress->follow(job);
    BatchJob *raw = job.get();
    connect(raw, &LinkJob::finished, this, [this, raw] {
        const BatchTransfer::Result result = raw->result();
        if (result.status == BatchTransfer::Result::Status::Completed && result.failed.isEmpty())
            m_unsavedWork = false;  // all of it is on the drive now
        if (!result.failed.isEmpty())
            showFailedRows(result.failed);
    });
    keep(job);
}

// One list at the end of a batch of what did not reach the drive, so that no
// row is missed among the questions asked on the way.
void CParameter::showFailedRows(const QList<int> &numbers)
{
    QStringList names;
    for (int number : numbers)
        names << QStringLiteral("P.") + QString::number(number);
    userInteraction()->warning(messageText(20),
                               tr("These parameters were not written: %1.")
                                   .arg(names.join(QStringLiteral(", "))));
}

void CParameter::ReadSinglePar()
{
    syncCurrentCell();
    ParameterTable &table = m_core.table();
    const int row = table.currentRow();
    if (!table.hasNumberCell(row))
        return;
    if (ParameterTable::isFunctionRowText(table.text(row, Column::NumberColumn))) {
        table.setText(row, Column::CurrentColumn, QStringLiteral("0"));
        return;
    }
    const QString numberText = table.numberText(row);
    bool numeric = false;
    const int number = numberText.toInt(&numeric);
    if (!numeric)
        return;
    m_core.setScaleAsMultiplier(false);
    auto value = std::make_shared<double>(-1);
    runOnWorker([this, number, value] { *value = m_core.readParameter(number); },
                [this, row, numberText, number, value] {
                    showReadValue(row, numberText, number, *value);
                });
}

void CParameter::showReadValue(int row, const QString &numberText, int number, double value)
{
    QString text = ParameterTransfer::formatValue(value);
    if (text == QLatin1String("-1"))
        return;  // the driver has said why
    if (number == 188)
        text = ParameterTransfer::padVersion(text);
    // The row may have moved (a sort, an opened file) meanwhile.
    ParameterTable &t = m_core.table();
    const int at = t.hasNumberCell(row) && t.numberText(row) == numberText
                       ? row
                       : t.rowOfNumber(numberText);
    if (at >= 0)
        t.setText(at, Column::CurrentColumn, text);
}

void CParameter::WriteSinglePar()
{
    syncCurrentCell();
    const ParameterTable &table = m_core.table();
    const int row = table.currentRow();
    if (!table.hasNumberCell(row))
        return;
    const QString value = table.text(row, Column::SettingColumn);
    if (ParameterTable::isFunctionRowText(table.text(row, Column::NumberColumn))) {
        runOnWorker([this, value] { m_core.runFunctionValue(value); });
        return;
    }
    bool numeric = false;
    const int number = table.numberText(row).toInt(&numeric);
    if (value.trimmed().isEmpty() || !numeric)
        return;
    const QString refusal = table.settingRefusal(row, value);
    if (!refusal.isEmpty()) {
        userInteraction()->warning(messageText(20), refusal);
        return;
    }
    const QString unit = table.text(row, Column::UnitColumn);
    const QString numberText = table.numberText(row);
    // What the drive holds after the write is read back into "Current value".
    auto readBack = std::make_shared<double>(-1);
    runOnWorker(
        [this, number, value, unit, readBack] {
            if (!m_core.writeParameter(number, value, unit))
                return;
            m_core.setScaleAsMultiplier(false);
            *readBack = m_core.readParameter(number);
        },
        [this, row, numberText, number, readBack] { showReadValue(row, numberText, number, *readBack); });
}

void CParameter::ClearCurrentVal() { m_core.clearCurrentValues(); }

void CParameter::ClearSettingVal() { m_core.clearSettingValues(); }

// Each of these clears or resets something on the drive at once: asked
// first, naming the function and the drive.
void CParameter::execute99x(int function)
{
    const QString names[] = {tr("Alarm history clear"), tr("Inverter reset"),
                             tr("All parameter clear"), tr("Parameter clear")};
    const DriveTarget drive = currentDriveTarget();
    const QString text = tr("Run P.%1 (%2) on station %3 %4?")
                             .arg(function)
                             .arg(names[qBound(0, function - 996, 3)])
                             .arg(drive.station)
                             .arg(drive.model);
    if (userInteraction()->question(messageText(20), text, true, false) !=
        UserInteraction::Answer::Yes)
        return;
    runOnWorker([this, function] { m_core.runParameterFunction(function); });
}

void CParameter::Execute996() { execute99x(996); }

void CParameter::Execute997() { execute99x(997); }

void CParameter::Execute998() { execute99x(998); }

void CParameter::Execute999() { execute99x(999); }

void CParameter::save()
{
    // Said before the file dialog: with no drive identified there is nothing
    // a file could be bound to.
    if (modelString().isEmpty()) {
        userInteraction()->warning(messageText(20), ParameterFiles::tr("Nothing can be saved."));
        return;
    }
    const QString fileName = fileNameWithEnding(m_fileAsker(true), true);
    if (!fileName.isEmpty() && m_core.saveFile(fileName))
        m_unsavedWork = false;
}

// A name typed without an ending takes the ending of the file type chosen
// with it; a name with another ending is refused with a word, rather than
// saved or opened in a format the user did not pick.
QString CParameter::fileNameWithEnding(const FileChoice &choice, bool saving) const
{
    if (choice.name.isEmpty())
        return QString();
    const int star = choice.filter.lastIndexOf(QLatin1String("*."));
    const int close = choice.filter.indexOf(QLatin1Char(')'), star);
    if (star < 0 || close < 0)
        return choice.name;
    const QString ending = choice.filter.mid(star + 2, close - star - 2);
    const QString suffix = QFileInfo(choice.name).suffix();
    if (suffix.isEmpty()) {
        const bool dotted = choice.name.endsWith(QLatin1Char('.'));
        return choice.name + (dotted ? QString() : QStringLiteral(".")) + ending;
    }
    if (suffix.compare(ending, Qt::CaseInsensitive) == 0)
        return choice.name;
    const QString text =
        saving ? tr("The name %1 ends in .%2, but the file type chosen is .%3. Nothing was saved.")
               : tr("The name %1 ends in .%2, but the file type chosen is .%3. Nothing was "
                    "opened.");
    userInteraction()->warning(messageText(20), text.arg(QFileInfo(choice.name).fileName(),
                                                         suffix, ending));
    return QString();
}

void CParameter::open()
{
    const QString fileName = fileNameWithEnding(m_fileAsker(false), false);
    if (fileName.isEmpty())
        return;
    if (m_core.openFile(fileName))
        m_unsavedWork = true;  // not on any drive yet
    applyPresentation();
}

// Asked before another drive's catalogue replaces the table: settings typed
// or opened and neither written nor saved, or a batch still running, are not
// thrown away without the user's word. A running batch is cancelled on "Yes".
bool CParameter::mayReplaceTable(const QString &nextDrive)
{
    if (transferRunning()) {
        const QString text =
            tr("A transfer with the drive is running in the parameter list. Cancel it and show "
               "the parameters of %1?")
                .arg(nextDrive);
        if (userInteraction()->question(messageText(20), text, true, false) !=
            UserInteraction::Answer::Yes)
            return false;
        m_progress->cancelJob();
        return true;
    }
    if (!m_unsavedWork)
        return true;
    const QString text = tr("The parameter list holds settings that were edited or opened from a "
                            "file and have been neither written to the drive nor saved. Show the "
                            "parameters of %1 and discard them?")
                             .arg(nextDrive);
    return userInteraction()->question(messageText(20), text, true, false) ==
           UserInteraction::Answer::Yes;
}

void CParameter::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void CParameter::retranslate()
{
    m_ui->retranslateUi(this);
    m_core.table().setHeaderTexts();
    if (seriesLetter() != '0' && m_core.parameterCount() > 0) {
        m_core.reloadCatalogueTexts();
        applyPresentation();
    }
}
