// Build tool: renders the scalable application icon as a square PNG for the icon theme's fixed
// sizes, which desktops and software centres that do not read SVG fall back to.
//   tarvo_render_icon SOURCE.svg SIZE OUTPUT.png
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: tarvo_render_icon SOURCE.svg SIZE OUTPUT.png\n");
        return 2;
    }
    // No application object: painting paths and gradients into an image needs no platform, so
    // the build needs no display (the icon has no text to lay out).
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    bool isNumber = false;
    const int size = QByteArray(argv[2]).toInt(&isNumber);
    if (!renderer.isValid() || !isNumber || size <= 0) {
        std::fprintf(stderr, "tarvo_render_icon: cannot render %s at %s pixels\n", argv[1], argv[2]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, size, size));
    }
    if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "tarvo_render_icon: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
