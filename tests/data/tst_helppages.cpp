#include <QDir>
#include <QRegularExpression>
#include <QTextCodec>
#include <QUrl>
#include <QtTest>

namespace {
const QStringList kLanguages = {QStringLiteral("en"), QStringLiteral("zh_CN"),
                                QStringLiteral("zh_TW")};

QString helpRoot() { return QDir(QStringLiteral(VANTREO_SOURCE_DATA "/help")).canonicalPath(); }

QStringList pagesOf(const QString &language)
{
    return QDir(helpRoot() + QLatin1Char('/') + language)
        .entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One row per page of every language.
void addPageRows()
{
    QTest::addColumn<QString>("path");
    for (const QString &language : kLanguages)
        for (const QString &page : pagesOf(language))
            QTest::newRow(qPrintable(language + QLatin1Char('/') + page))
                << helpRoot() + QLatin1Char('/') + language + QLatin1Char('/') + page;
}

// What is wrong with one href or src of the page at `path`; empty when it
// names a file of the help folder (and, after '#', an id in that file).
QString linkProblem(const QString &path, const QString &target)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    if (target.startsWith(QLatin1String("http:")) || target.startsWith(QLatin1String("https:")) ||
        target.startsWith(QLatin1String("mailto:")))
        return QString();
    // The pages are opened from file:// wherever the data folder lies.
    if (target.isEmpty() || scheme.match(target).hasMatch() || target.startsWith(QLatin1Char('/')))
        return QStringLiteral("not a relative link");
    const int hash = target.indexOf(QLatin1Char('#'));
    const QString file = QUrl::fromPercentEncoding(target.left(hash).toUtf8());
    const QString fragment = hash < 0 ? QString() : target.mid(hash + 1);
    const QString resolved =
        file.isEmpty() ? path : QDir::cleanPath(QFileInfo(path).dir().filePath(file));
    if (!resolved.startsWith(helpRoot() + QLatin1Char('/')))
        return QStringLiteral("leads out of the help folder");
    if (!QFileInfo(resolved).isFile())
        return QStringLiteral("no such file");
    if (!fragment.isEmpty() &&
        !contents(resolved).contains("id=\"" + fragment.toUtf8() + '"'))
        return QStringLiteral("no such id");
    return QString();
}
}  // namespace

// The help pages of data/help, which the program opens in the desktop's
// browser from file://: every language has the same pages, every link and
// picture reaches a file of the help folder, every page says it is UTF-8 and
// has a title.
class TestHelpPages : public QObject
{
    Q_OBJECT

private slots:
    void samePages_data()
    {
        QTest::addColumn<QString>("language");
        for (const QString &language : kLanguages)
            QTest::newRow(qPrintable(language)) << language;
    }

    void samePages()
    {
        QFETCH(QString, language);
        const QStringList pages = pagesOf(language);
        QVERIFY2(pages.contains(QStringLiteral("index.html")), "no index.html");
        const QStringList english = pagesOf(QStringLiteral("en"));
        QStringList missing, extra;
        for (const QString &page : english)
            if (!pages.contains(page))
                missing << page;
        for (const QString &page : pages)
            if (!english.contains(page))
                extra << page;
        QVERIFY2(missing.isEmpty() && extra.isEmpty(),
                 qPrintable(QStringLiteral("missing: %1; not in en: %2")
                                .arg(missing.join(QLatin1Char(' ')), extra.join(QLatin1Char(' ')))));
    }

    void linksResolve_data() { addPageRows(); }

    void linksResolve()
    {
        QFETCH(QString, path);
        static const QRegularExpression link(
            QStringLiteral("\\b(?:href|src)\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)')"));
        const QString text = QString::fromUtf8(contents(path));
        QStringList problems;
        int links = 0;
        for (auto it = link.globalMatch(text); it.hasNext(); ++links) {
            const QRegularExpressionMatch m = it.next();
            const QString target = m.captured(1) + m.captured(2);
            const QString problem = linkProblem(path, target);
            if (!problem.isEmpty())
                problems << target + QStringLiteral(": ") + problem;
        }
        QVERIFY2(links > 0, "no links at all");
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    }

    void declaresUtf8AndTitle_data() { addPageRows(); }

    void declaresUtf8AndTitle()
    {
        QFETCH(QString, path);
        const QByteArray bytes = contents(path);
        QTextCodec::ConverterState state;
        const QString text =
            QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
        QCOMPARE(state.invalidChars, 0);
        static const QRegularExpression charset(
            QStringLiteral("<meta\\s+charset\\s*=\\s*[\"']?utf-8[\"']?\\s*/?>"),
            QRegularExpression::CaseInsensitiveOption);
        static const QRegularExpression title(QStringLiteral("<title>\\s*[^<\\s][^<]*</title>"),
                                              QRegularExpression::CaseInsensitiveOption);
        QVERIFY2(charset.match(text).hasMatch(), "no <meta charset=\"utf-8\">");
        QVERIFY2(title.match(text).hasMatch(), "no <title> with text");
        // Browsers opening file:// pages may refuse scripts; the help has none.
        QVERIFY2(!text.contains(QLatin1String("<script"), Qt::CaseInsensitive), "a script");
    }
};

QTEST_GUILESS_MAIN(TestHelpPages)
#include "tst_helppages.moc"
