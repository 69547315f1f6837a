#pragma once

#include <QString>

#include <qwt_plot.h>

#include <functional>

class QTimer;
class QwtScaleDraw;

// What the sample chart and the trend chart share: a time axis in seconds
// over a dotted grid, a redraw every 30 ms while samples come (only when
// new ones came), and the saving of data: the file asked for, written
// atomically, a failure shown.
class PlotBase : public QwtPlot
{
    Q_OBJECT
public:
    ~PlotBase() override;

    bool isRefreshing() const;

    // Asks for the file "Save Data" writes (a file dialog by default). The
    // filtered asker also tells which filter was chosen; a plain one counts
    // as choosing the first.
    using FileNameAsker = std::function<QString(QWidget *parent, const QString &caption,
                                                const QString &dir, const QString &filter)>;
    using FilteredFileNameAsker =
        std::function<QString(QWidget *parent, const QString &caption, const QString &dir,
                              const QString &filter, QString *selectedFilter)>;
    void setFileNameAsker(FileNameAsker asker);
    void setFilteredFileNameAsker(FilteredFileNameAsker asker) { m_askFileName = std::move(asker); }
    static FilteredFileNameAsker filtered(FileNameAsker asker);
    static FilteredFileNameAsker fileDialogAsker();

    // The ending a filter such as "TXT Files(*.txt)" gives ("txt"; empty
    // when it names none).
    static QString filterEnding(const QString &filter);
    // `name` with the chosen filter's ending when it has no ending of its own.
    static QString withFilterEnding(const QString &name, const QString &selectedFilter);

    // How a failed save is shown: the title, and the text with %1 for the
    // file and %2 for the reason. Each owner words it in its own
    // translation context.
    struct SaveFailureWording {
        QString title;
        QString text;
    };

    // Hands the curves what they show now and draws them.
    virtual void updateCurve() = 0;

protected:
    explicit PlotBase(QWidget *parent);

    // The axes from 0 to `seconds` and 0 to `valueMax`, the value axis with
    // `valueDraw` (owned) when one is given, and the grid, with minor value
    // lines or without.
    void buildAxes(double seconds, double valueMax, QwtScaleDraw *valueDraw, bool valueMinorGrid);
    void startRefresh();
    void stopRefresh();
    // New samples since the last updateCurve().
    virtual bool hasNewSamples() const = 0;

    // The file name the user gives; empty when cancelled.
    QString askFileName(const QString &caption, const QString &filter,
                        QString *selectedFilter = nullptr);
    // Runs `write`, which writes `fileName` or, on failure, leaves the file
    // that was there and says why; a failure is shown as `wording` says.
    bool writeFile(const QString &fileName, const std::function<bool(QString *error)> &write,
                   const SaveFailureWording &wording);

private:
    void refreshTick();

    QTimer *m_refresh;
    FilteredFileNameAsker m_askFileName;
};
