// Renders one of the program's SVG drawings to the picture file the windows
// load, at build time:
//
//   iconrender SRC.svg OUT_FILE WIDTH HEIGHT
//
// OUT_FILE's extension chooses what is written:
//   .png  OUT_FILE at WIDTH x HEIGHT and, beside it, the same name with "@2x"
//         before the extension at twice the size, which Qt picks on high-DPI
//         screens.
//   .ico  one icon file holding the square sizes 16, 24, 32, 48, 64, 128 and
//         256 up to WIDTH, each entry a PNG.
//   .bmp  OUT_FILE at WIDTH x HEIGHT, opaque (white under the drawing).
// Everything but a .bmp keeps a transparent background. A drawing the SVG
// renderer complains about (a reference it cannot resolve, an element where it
// does not belong) is an error, and nothing is written for it, so that no
// picture ships with parts silently missing.
#include <QBuffer>
#include <QByteArray>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <QPair>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QVector>

#include <cstdio>

namespace {

QStringList g_svgComplaints;
QtMessageHandler g_previousHandler = nullptr;

void collectSvgComplaints(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtDebugMsg && context.category && qstrncmp(context.category, "qt.svg", 6) == 0)
        g_svgComplaints << text;
    g_previousHandler(type, context, text);
}

// The drawing scaled to fit width x height, centred, keeping its proportions.
QImage render(QSvgRenderer &svg, int width, int height, bool opaque)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(opaque ? Qt::white : Qt::transparent);
    QSizeF size = svg.viewBoxF().size();
    size.scale(width, height, Qt::KeepAspectRatio);
    const QRectF target((width - size.width()) / 2, (height - size.height()) / 2, size.width(),
                        size.height());
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                           QPainter::TextAntialiasing);
    svg.render(&painter, target);
    painter.end();
    return opaque ? image.convertToFormat(QImage::Format_RGB32)
                  : image.convertToFormat(QImage::Format_ARGB32);
}

QByteArray imageBytes(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image))
        return QByteArray();
    return bytes;
}

QByteArray pngBytes(const QImage &image) { return imageBytes(image, "png"); }

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

// An .ico file: a 6-byte header, one 16-byte directory entry per image, then
// the images, here each a complete PNG file (a size of 256 is stored as 0).
QByteArray icoBytes(const QVector<QImage> &images)
{
    QVector<QByteArray> pngs;
    for (const QImage &image : images) {
        pngs << pngBytes(image);
        if (pngs.last().isEmpty())
            return QByteArray();
    }
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(images.size());  // an icon, not a cursor
    quint32 offset = 6 + 16 * images.size();
    for (int i = 0; i < images.size(); ++i) {
        out << quint8(images.at(i).width() & 0xff) << quint8(images.at(i).height() & 0xff)
            << quint8(0) << quint8(0)                // no palette
            << quint16(1) << quint16(32)             // colour planes, bits per pixel
            << quint32(pngs.at(i).size()) << offset;
        offset += pngs.at(i).size();
    }
    for (const QByteArray &png : pngs)
        out.writeRawData(png.constData(), png.size());
    return bytes;
}

QString at2x(const QString &path)
{
    const QFileInfo info(path);
    return info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral("@2x.") +
           info.suffix();
}

int fail(const QString &text)
{
    std::fprintf(stderr, "iconrender: %s\n", qPrintable(text));
    return 1;
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Build machines often run without a session; a private runtime folder
    // keeps Qt from warning about that on every picture.
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    bool widthOk = false;
    bool heightOk = false;
    const int width = args.value(3).toInt(&widthOk);
    const int height = args.value(4).toInt(&heightOk);
    if (args.size() != 5 || !widthOk || !heightOk || width < 1 || height < 1 || width > 4096 ||
        height > 4096)
        return fail(QStringLiteral("usage: iconrender SRC.svg OUT_FILE WIDTH HEIGHT"));
    const QString source = args.at(1);
    const QString out = args.at(2);
    const QString suffix = QFileInfo(out).suffix().toLower();

    g_previousHandler = qInstallMessageHandler(collectSvgComplaints);
    QSvgRenderer svg(source);
    if (!svg.isValid())
        return fail(QStringLiteral("%1: not a drawing Qt can read").arg(source));

    // Everything is drawn before anything is written: a drawing the renderer
    // complained about leaves no picture behind that looks up to date.
    QVector<QPair<QString, QByteArray>> files;
    if (suffix == QLatin1String("png")) {
        files.append({out, pngBytes(render(svg, width, height, false))});
        files.append({at2x(out), pngBytes(render(svg, 2 * width, 2 * height, false))});
    } else if (suffix == QLatin1String("bmp")) {
        files.append({out, imageBytes(render(svg, width, height, true), "bmp")});
    } else if (suffix == QLatin1String("ico")) {
        if (width != height || width < 16 || width > 256)
            return fail(QStringLiteral("an icon is square, 16 to 256 pixels"));
        QVector<QImage> images;
        for (int size : {16, 24, 32, 48, 64, 128, 256}) {
            if (size <= width)
                images << render(svg, size, size, false);
        }
        files.append({out, icoBytes(images)});
    } else {
        return fail(QStringLiteral("%1: write .png, .ico or .bmp").arg(out));
    }
    if (!g_svgComplaints.isEmpty())
        return fail(QStringLiteral("%1: the SVG renderer complained:\n  %2")
                        .arg(source, g_svgComplaints.join(QStringLiteral("\n  "))));
    for (const auto &file : files) {
        if (file.second.isEmpty() || !writeFile(file.first, file.second))
            return fail(QStringLiteral("cannot write %1").arg(file.first));
    }
    return 0;
}
