#include "ChartPicture.h"

#include "panel/ChartPanel.h"

#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace tarvo
{

namespace
{

    // A page exactly as large as the chart at screen resolution, so its pixels keep their size.
    constexpr int kScreenDpi = 96;

    [[noreturn]] void Fail(const QString& fileName, const QString& why)
    {
        throw ChartPictureError(QStringLiteral("Cannot save the picture \"%1\": %2")
                                    .arg(QFileInfo(fileName).absoluteFilePath(), why)
                                    .toStdString());
    }

    void DrawInto(TCustomChartPanel& chart, QPaintDevice& device, const QString& fileName)
    {
        QPainter painter;
        if (!painter.begin(&device))
            Fail(fileName, QStringLiteral("the picture cannot be drawn"));
        chart.DrawPicture(painter);
        painter.end();
    }

} // namespace

TPictureFormat PictureFormatFor(const QString& fileName, TPictureFormat chosen)
{
    const QString suffix = QFileInfo(fileName).suffix();
    for (const TPictureFilter& filter : kPictureFilters)
        if (suffix.compare(QLatin1String(filter.suffix), Qt::CaseInsensitive) == 0)
            return filter.format;
    return chosen;
}

void SaveChartPicture(TCustomChartPanel& chart, const QString& fileName, TPictureFormat format)
{
    if (format == pfWmf) {
        chart.SaveMetafileFile(fileName);
        return;
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        Fail(fileName, file.errorString());
    const QSize size = chart.size();
    switch (format) {
    case pfPng: {
        QImage image(size, QImage::Format_RGB32);
        DrawInto(chart, image, fileName);
        if (!image.save(&file, "PNG"))
            Fail(fileName, file.errorString());
        break;
    }
    case pfSvg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setResolution(kScreenDpi);
        svg.setTitle(chart.Name());
        DrawInto(chart, svg, fileName);
        break;
    }
    case pfPdf: {
        QPdfWriter pdf(&file);
        pdf.setResolution(kScreenDpi);
        pdf.setPageSize(QPageSize(QSizeF(size.width() * 72.0 / kScreenDpi, size.height() * 72.0 / kScreenDpi),
            QPageSize::Point, QString(), QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setTitle(chart.Name());
        DrawInto(chart, pdf, fileName);
        break;
    }
    case pfWmf:
        break;
    }
    if (!file.commit())
        Fail(fileName, file.errorString());
}

} // namespace tarvo
