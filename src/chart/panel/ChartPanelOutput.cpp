// The chart on other surfaces than its window: a printer page, a Windows metafile and any other
// picture a painter can draw (PNG, SVG, PDF). All draw
// without the off-screen buffer, straight onto the surface, so the output keeps lines, shapes
// and text instead of one bitmap.

#include "panel/ChartPanel.h"

#include "MetafilePaintDevice.h"
#include "core/ChartRounding.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

namespace tarvo
{

namespace
{

    // Unbuffered drawing for the lifetime of the object; the screen buffer is
    // dropped (and so redrawn at the next repaint).
    class TDirectDrawing
    {
    public:
        TDirectDrawing(TChartCanvas3D& canvas, bool& printingFlag, bool printing)
            : m_canvas(canvas)
            , m_printingFlag(printingFlag)
            , m_wasBuffered(canvas.UseBuffer())
            , m_wasPrinting(printingFlag)
        {
            m_canvas.SetUseBuffer(false);
            m_printingFlag = printing;
        }
        ~TDirectDrawing()
        {
            m_printingFlag = m_wasPrinting;
            m_canvas.SetUseBuffer(m_wasBuffered);
            m_canvas.MarkDirty();
        }
        TDirectDrawing(const TDirectDrawing&) = delete;
        TDirectDrawing& operator=(const TDirectDrawing&) = delete;

    private:
        TChartCanvas3D& m_canvas;
        bool& m_printingFlag;
        bool m_wasBuffered;
        bool m_wasPrinting;
    };

} // namespace

void TCustomChartPanel::DrawStretched(QPainter& target, const TRect& rect)
{
    const TRect area = rect.Normalized();
    // Laid out at screen size, then stretched by the painter's window-to-viewport mapping.
    const int logicalWidth = std::max(1, MulDiv(width(), 100 - m_printShrinkPercent, 100));
    const int logicalHeight = std::max(1, MulDiv(height(), 100 - m_printShrinkPercent, 100));
    target.save();
    target.setClipRect(area.ToQRect());
    target.setWindow(0, 0, logicalWidth, logicalHeight);
    target.setViewport(area.ToQRect());
    try {
        TDirectDrawing direct(m_canvas, m_isPrinting, true);
        DrawTo(target, { 0, 0, logicalWidth, logicalHeight });
    } catch (...) {
        target.restore();
        throw;
    }
    target.restore();
}

void TCustomChartPanel::PrintChart()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        throw ChartPrintError("No printer is installed: the chart cannot be printed.");
    QPrinter printer(info, QPrinter::HighResolution);
    PrintOn(printer);
}

void TCustomChartPanel::PrintOn(QPrinter& printer)
{
    // Orientation and paper stay as the printer is set up.
    const int pageWidth = printer.width();
    const int pageHeight = printer.height();
    const double pixelAspect
        = printer.logicalDpiY() > 0 ? static_cast<double>(printer.logicalDpiX()) / printer.logicalDpiY() : 1.0;
    if (m_printProportional)
        m_printMargins
            = ProportionalPrintMargins(m_printMargins, width(), height(), pageWidth, pageHeight, pixelAspect);
    const TRect page = PrintPageRect(m_printMargins, pageWidth, pageHeight);

    printer.setDocName(m_name);
    QPainter painter;
    if (!painter.begin(&printer)) {
        const QString printerName = printer.printerName().isEmpty() ? printer.outputFileName() : printer.printerName();
        throw ChartPrintError(("The print job could not be started on \"" + printerName + "\".").toStdString());
    }
    try {
        DrawStretched(painter, page);
    } catch (...) {
        printer.abort();
        if (painter.isActive())
            painter.end();
        throw;
    }
    painter.end();
}

void TCustomChartPanel::DrawPictureOf(QPainter& painter, const TRect& area, QSize pictureSize)
{
    // Readers of a metafile place the picture by what was drawn: the whole rectangle comes first.
    painter.fillRect(QRect(QPoint(0, 0), pictureSize), ToQColor(m_color));
    painter.translate(-area.Left, -area.Top);
    painter.setClipRect(area.ToQRect());
    TDirectDrawing direct(m_canvas, m_isPrinting, false);
    DrawTo(painter, area);
}

void TCustomChartPanel::DrawPicture(QPainter& painter) { DrawPictureOf(painter, ClientRect(), size()); }

std::unique_ptr<MetafilePaintDevice> TCustomChartPanel::MakeMetafile(bool enhanced, const TRect& rect)
{
    if (enhanced)
        throw ChartException("Enhanced metafiles cannot be written: save the chart as a Windows metafile (*.wmf)");
    const TRect area = rect.Normalized();
    auto picture
        = std::make_unique<MetafilePaintDevice>(QSize(std::max(1, area.Width() - 1), std::max(1, area.Height() - 1)));
    QPainter painter(picture.get());
    DrawPictureOf(painter, area, picture->SizePixels());
    painter.end();
    return picture;
}

void TCustomChartPanel::WriteMetafile(bool enhanced, const QString& fileName, const TRect& rect)
{
    MakeMetafile(enhanced, rect)->SaveToFile(fileName);
}

void TCustomChartPanel::SaveMetafileFile(const QString& fileName) { WriteMetafile(false, fileName, ClientRect()); }

} // namespace tarvo
