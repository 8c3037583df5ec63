// Build tool: renders the program's SVG icons to PNG files, so that the program starts without
// loading Qt's SVG support. Each icon is written at its own size and twice that (NAME@2x.png):
//   farewright_render_icons OUTPUT_FOLDER SIZE FILE.svg...
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: farewright_render_icons OUTPUT_FOLDER SIZE FILE.svg...\n");
        return 2;
    }
    const QDir output(args[1]);
    if (!output.mkpath(QStringLiteral(".")))
        return 1;
    const int size = args[2].toInt();
    for (const QString& path : args.mid(3)) {
        QSvgRenderer renderer(path);
        if (!renderer.isValid()) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
            return 1;
        }
        const QString name = QFileInfo(path).completeBaseName();
        for (const int scale : {1, 2}) {
            QImage image(size * scale, size * scale, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            renderer.render(&painter);
            painter.end();
            const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
            if (!image.save(output.filePath(name + suffix + QStringLiteral(".png")))) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
                return 1;
            }
        }
    }
    return 0;
}
