#pragma once

#include "parameters/parametercore.h"
#include "gui/widgets/parameterformaccess.h"

#include <QPair>
#include <QStringList>
#include <QAbstractItemView>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class JobProgressPanel;
class LinkJob;
class LinkWorker;
class QDialog;
class QTableView;

namespace Ui {
class ParameterForm;
}

// The parameter list form: the drive's parameter table with the transfers,
// the parameter functions, the files, the selection of the rows shown, the
// search and the sorting. Every drive access runs on the link worker; the form
// stays responsive and a batch can be cancelled.
class CParameter : public QWidget, public ParameterFormAccess
{
    Q_OBJECT
public:
    explicit CParameter(LinkWorker &worker, QWidget *parent = nullptr);
    ~CParameter() override;

    ParameterCore &core() override { return m_core; }
    QWidget *formWidget() override { return this; }
    QTableView *table() const;
    // The batch progress shown in the form (title, bar, Cancel).
    JobProgressPanel *progressPanel() const;
    // A batch read or write of this form is running.
    bool transferRunning() const;

    // Loads the catalogue and the hidden parameters of the current series
    // and shows them; a selection of shown parameters is applied again.
    void loadCatalogue() override;
    // Whether the table may give way to another drive's catalogue: asks
    // when edited or opened settings would be lost or a batch is running.
    // `nextDrive` names the drive ("station 2 ZN-020-5.5K").
    bool mayReplaceTable(const QString &nextDrive) override;
    bool hasUnsavedWork() const { return m_unsavedWork; }
    // A catalogue load is waiting for the drive's answers.
    bool catalogueLoading() const { return m_catalogueLoading; }

    // The parameters "Show Select Parameter" shows, by number text ("12",
    // "99X"). Kept by number, so that sorting and a catalogue of another
    // series show the parameters that were chosen.
    QStringList selectedNumbers() const { return m_selectedNumbers; }
    void setSelectedNumbers(const QStringList &numbers);
    bool selectionMade() const { return m_selectionMade; }

    // Tests answer the file dialogs and run the modal dialogs themselves.
    // The name the user gave and the file type chosen with it ("XLS
    // Files(*.xls)"; empty: none chosen).
    struct FileChoice {
        QString name;
        QString filter;
    };
    using FileAsker = std::function<FileChoice(bool save)>;
    void setFileAsker(FileAsker asker) { m_fileAsker = std::move(asker); }
    using DialogRunner = std::function<int(QDialog &)>;
    void setDialogRunner(DialogRunner runner) { m_dialogRunner = std::move(runner); }

    // Drive work of the form not yet finished (single reads and writes,
    // parameter functions, batches).
    int pendingJobs() const { return int(m_jobs.size()); }

public slots:
    void showAll();
    void CallIndexDialog();
    void ReadAllPar();
    void WriteAllPar();
    void ReadSinglePar();
    void WriteSinglePar();
    void ClearCurrentVal();
    void ClearSettingVal();
    void Execute996();
    void Execute997();
    void Execute998();
    void Execute999();
    void WriteAllParClicked();
    void WriteCurParClicked();
    void save();
    void open();
    void selectPara(int index);
    void tableHide();
    void mySort(int column);

signals:
    // The table shows the catalogue of the drive chosen last.
    void catalogueLoaded();

protected:
    void changeEvent(QEvent *event) override;

private:
    void connectControls();
    void applyPresentation();
    void selectFirstCell();
    void showReadValue(int row, const QString &numberText, int number, double value);
    void showFailedRows(const QList<int> &numbers);
    QString fileNameWithEnding(const FileChoice &choice, bool saving) const;
    void followCurrentCell();
    void detachModel();
    void attachModel();
    void fitColumns();
    void syncCurrentCell();
    void retranslate();
    void execute99x(int function);
    void setControlsBusy(bool busy);
    // Runs `work` on the link worker and `done` on this thread afterwards.
    void runOnWorker(std::function<void()> work, std::function<void()> done = {});
    void keep(const std::shared_ptr<LinkJob> &job);
    int runDialog(QDialog &dialog);

    Ui::ParameterForm *m_ui;
    LinkWorker &m_worker;
    ParameterCore m_core;
    QStringList m_selectedNumbers;
    bool m_selectionMade = false;
    FileAsker m_fileAsker;
    DialogRunner m_dialogRunner;
    std::vector<std::shared_ptr<LinkJob>> m_jobs;
    bool m_detached = false;
    JobProgressPanel *m_progress = nullptr;
    bool m_unsavedWork = false;
    int m_busyCount = 0;
    unsigned m_catalogueRequest = 0;
    bool m_catalogueLoading = false;
    QList<QPointer<QWidget>> m_restEnabled;
    QAbstractItemView::EditTriggers m_editTriggers;
    QPair<int, int> m_keptCurrent{-1, -1};
};
