#include "resources/images.h"

#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QSet>
#include <QtTest>

namespace {
const QString kPrefix = QStringLiteral(":/new prefix/images/");

QString twiceName(const QString &name)
{
    return QString(name).replace(QLatin1String(".png"), QLatin1String("@2x.png"));
}

// The mean of each colour channel over the opaque part of a picture.
QColor meanColour(const QImage &picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    double red = 0, green = 0, blue = 0, weight = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const double alpha = qAlpha(pixel) / 255.0;
            red += qRed(pixel) * alpha;
            green += qGreen(pixel) * alpha;
            blue += qBlue(pixel) * alpha;
            weight += alpha;
        }
    }
    return weight > 0 ? QColor(int(red / weight), int(green / weight), int(blue / weight))
                      : QColor();
}

int distinctPixels(const QImage &image)
{
    QSet<QRgb> seen;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x)
            seen.insert(argb.pixel(x, y));
    }
    return seen.size();
}
}  // namespace

// Every picture the windows load from the resource tree, as the program
// registers them: at its size, with its "@2x" twin, the icons with all their
// sizes. Runs at a device pixel ratio of 2 (see main) so that the twins are
// what a high-DPI screen gets.
class TestImages : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
        initialiseImages();
    }

    void picture_data()
    {
        QTest::addColumn<QString>("name");
        // The size of a picture; for an .ico, the sizes of its entries.
        QTest::addColumn<QList<int>>("sizes");
        for (const char *name : {"parameter.png", "monitor.png", "trend.png", "help.png",
                                 "exit.png", "run.png", "stop.png", "option.png", "clear-all.png",
                                 "zoom-in.png", "zoom-out.png", "close.png", "locked.png",
                                 "ok.png", "cancel.png"})
            QTest::newRow(name) << name << QList<int>{32, 32};
        for (const char *name : {"on.png", "off.png", "on_red.png"})
            QTest::newRow(name) << name << QList<int>{20, 20};
        for (const char *name : {"parent_small.png", "inv_small.png"})
            QTest::newRow(name) << name << QList<int>{16, 16};
        for (const char *name : {"save.ico", "coordinate.ico", "move.ico"})
            QTest::newRow(name) << name << QList<int>{16, 24, 32, 48, 64};
        QTest::newRow("Korvane.ico") << "Korvane.ico" << QList<int>{16, 24, 32, 48, 64, 128, 256};
        QTest::newRow("about.bmp") << "about.bmp" << QList<int>{400, 110};
        QTest::newRow("back.bmp") << "back.bmp" << QList<int>{400, 300};
    }

    void picture()
    {
        QFETCH(QString, name);
        QFETCH(QList<int>, sizes);
        const QString path = kPrefix + name;
        if (name.endsWith(QLatin1String(".ico"))) {
            QImageReader reader(path);
            QList<int> read;
            for (int i = 0; i < reader.imageCount(); ++i) {
                QVERIFY(reader.jumpToImage(i));
                const QImage entry = reader.read();
                QVERIFY2(!entry.isNull(), qPrintable(reader.errorString()));
                QCOMPARE(entry.width(), entry.height());
                QVERIFY(distinctPixels(entry) > 4);
                read << entry.width();
            }
            QCOMPARE(read, sizes);
            QCOMPARE(QIcon(path).availableSizes().size(), sizes.size());
            return;
        }
        const QSize size(sizes.at(0), sizes.at(1));
        const QPixmap picture(path);
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.size(), size);
        QVERIFY(distinctPixels(picture.toImage()) > 4);
        if (name.endsWith(QLatin1String(".bmp"))) {
            QVERIFY(!picture.hasAlpha());
            return;
        }
        QVERIFY(picture.hasAlpha());
        QCOMPARE(QImage(twiceName(path)).size(), 2 * size);
        // What a window gets for the picture on this screen: the twin.
        const QPixmap shown = QIcon(path).pixmap(size);
        QCOMPARE(shown.size(), 2 * size);
        QCOMPARE(shown.devicePixelRatio(), 2.0);
    }

    void lampsDifferAtAGlance()
    {
        const QColor on = meanColour(QImage(kPrefix + "on.png"));
        const QColor off = meanColour(QImage(kPrefix + "off.png"));
        const QColor alarm = meanColour(QImage(kPrefix + "on_red.png"));
        // Lit green, lit red, and a dark grey with no hue to speak of.
        QVERIFY2(on.green() > on.red() + 60 && on.green() > on.blue() + 40,
                 qPrintable(on.name()));
        QVERIFY2(alarm.red() > alarm.green() + 80 && alarm.red() > alarm.blue() + 80,
                 qPrintable(alarm.name()));
        QVERIFY2(off.hsvSaturation() < 60 && off.value() < 140, qPrintable(off.name()));
        QVERIFY(on.value() > off.value() + 30 && alarm.value() > off.value() + 30);
    }
};

int main(int argc, char **argv)
{
    // A high-DPI screen, offscreen: Qt then picks the "@2x" pictures.
    qputenv("QT_SCALE_FACTOR", "2");
    QGuiApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QGuiApplication app(argc, argv);
    TestImages test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_images.moc"
