#include "gui/widgets/guiinteraction.h"
#include "base/userinteraction.h"

#include <QApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

// The user-interaction front ends: the GUI's message boxes and progress
// dialog, and the stream version the command-line tool uses.
class TestInteraction : public QObject
{
    Q_OBJECT

    static QProgressDialog *openProgressDialog()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<QProgressDialog *>(w))
                if (d->isVisible())
                    return d;
        return nullptr;
    }

    // Clicks the button with `text` of the message box that opens next.
    static void clickLater(const QString &text, QString *seenTitle, QString *seenDefault)
    {
        QTimer::singleShot(50, [=] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            *seenTitle = box->windowTitle();
            if (box->defaultButton())
                *seenDefault = box->defaultButton()->text();
            for (QAbstractButton *b : box->buttons())
                if (b->text() == text)
                    b->click();
        });
    }

private slots:
    void guiChoiceWithOwnButtons_data()
    {
        QTest::addColumn<QString>("click");
        QTest::addColumn<int>("index");
        QTest::newRow("Continue") << "Continue" << 0;
        QTest::newRow("Cancel") << "Cancel" << 1;
    }
    void guiChoiceWithOwnButtons()
    {
        QFETCH(QString, click);
        QFETCH(int, index);
        GuiInteraction gui;
        QString title, defaultText;
        clickLater(click, &title, &defaultText);
        const int chosen = gui.choose(UserInteraction::Icon::Warning, "Warning",
                                      "P.12 Write error!", {"Continue", "Cancel"}, 0);
        QCOMPARE(chosen, index);
        QCOMPARE(title, QString("Warning"));
        QCOMPARE(defaultText, QString("Continue"));
    }

    void guiProgressDialog()
    {
        GuiInteraction gui;
        gui.progressStart({QString(), "Cancel", "Writing parameters...", 0, 40});
        QProgressDialog *dialog = openProgressDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QString("Writing parameters..."));
        QCOMPARE(dialog->labelText(), QString());
        QCOMPARE(dialog->minimum(), 0);
        QCOMPARE(dialog->maximum(), 40);
        QCOMPARE(dialog->value(), 0);
        QCOMPARE(dialog->windowModality(), Qt::WindowModal);
        gui.progressSetValue(12);
        QCOMPARE(dialog->value(), 12);
        // Enter meant for the window behind does not cancel the batch.
        QTest::keyClick(dialog, Qt::Key_Return);
        QVERIFY(!gui.progressCancelled());
        gui.progressSetRange(0, 30);
        QCOMPARE(dialog->maximum(), 30);
        QVERIFY(!gui.progressCancelled());
        dialog->cancel();
        QVERIFY(gui.progressCancelled());
        gui.progressEnd();
        QVERIFY(!gui.progressCancelled());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!openProgressDialog());
        // A second dialog starts fresh.
        gui.progressStart({QString(), "Cancel", "Reading parameters...", 0, 5});
        QVERIFY(!gui.progressCancelled());
        QCOMPARE(openProgressDialog()->windowTitle(), QString("Reading parameters..."));
        gui.progressEnd();
    }

    void streamInteraction_data()
    {
        QTest::addColumn<bool>("showProgress");
        QTest::newRow("progress shown") << true;
        QTest::newRow("progress kept quiet") << false;
    }

    void streamInteraction()
    {
        QFETCH(bool, showProgress);
        QString text;
        QTextStream stream(&text);
        StderrInteraction ui(&stream, showProgress);
        ui.warning("Warning", "Cannot read file x:\nNo such file.");
        QCOMPARE(ui.choose(UserInteraction::Icon::Warning, "Warning", "P.3 Write error!",
                           {"Continue", "Cancel"}, 0),
                 0);
        QCOMPARE(ui.choose(UserInteraction::Icon::Question, "Message", "?", {}, 0), -1);
        ui.progressStart({QString(), "Cancel", "Reading parameters...", 0, 100});
        for (int v = 1; v <= 100; ++v)
            ui.progressSetValue(v);
        ui.progressEnd();
        QVERIFY(!ui.progressCancelled());
        const QStringList lines = text.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.mid(0, 3), (QStringList{"Warning: Cannot read file x:", "No such file.",
                                               "Warning: P.3 Write error!"}));
        if (!showProgress) {
            QCOMPARE(lines.size(), 4);  // the messages only
            return;
        }
        // One progress line per tenth of the range.
        QCOMPARE(lines.filter("Reading parameters...").size(), 11);
        QCOMPARE(lines.last(), QString("Reading parameters...: 100/100"));
    }

    void progressScopeClosesOnEveryPath()
    {
        QString text;
        QTextStream stream(&text);
        struct Counting : StderrInteraction {
            using StderrInteraction::StderrInteraction;
            void progressEnd() override { ++ends; }
            int ends = 0;
        } ui(&stream);
        setUserInteraction(&ui);
        {
            ProgressScope scope({QString(), "Cancel", "T", 0, 3});
            scope.step();
            scope.step();
            QCOMPARE(scope.value(), 2);
        }
        setUserInteraction(nullptr);
        QCOMPARE(ui.ends, 1);
    }
};

QTEST_MAIN(TestInteraction)
#include "tst_interaction.moc"
