#pragma once

// A paint device that records into a placeable Windows metafile (.wmf, the non-enhanced
// format): draw on it with QPainter as on a window, then save it. Logical units are the
// device's pixels; the placeable header tells readers how many of them make an inch.
//
//     MetafilePaintDevice picture(QSize(400, 300));
//     QPainter painter(&picture);
//     painter.fillRect(0, 0, 400, 300, Qt::white); // libwmf sizes the picture by what is drawn
//     picture.Pie(painter, QRectF(50, 50, 200, 200), 0, 90 * 16);
//     painter.end();
//     picture.SaveToFile("chart.wmf");
//
// QPainter hands pies, arcs and chords to paint engines as paths, and rotated text as glyph
// runs in a rotated coordinate system; the direct primitives below write them as the format's
// own Pie, Arc, Chord and ExtTextOut records instead, which other programs can edit.

#include "MetafileRecorder.h"

#include <QByteArray>
#include <QPaintDevice>
#include <QSize>

#include <memory>

class QPainter;

namespace tarvo
{

class MetafilePaintEngine;

class MetafilePaintDevice : public QPaintDevice
{
public:
    // Throws MetafileError for a size outside 1..32767 pixels or a resolution below 1.
    explicit MetafilePaintDevice(QSize sizePixels, int dotsPerInch = 96);
    ~MetafilePaintDevice() override;
    Q_DISABLE_COPY_MOVE(MetafilePaintDevice)

    [[nodiscard]] QPaintEngine* paintEngine() const override;

    // The complete file. Throws MetafileError while a painter is still active on the device.
    [[nodiscard]] QByteArray Bytes() const;
    // Replaces the file only once everything is written; throws MetafileError naming the file.
    void SaveToFile(const QString& fileName) const;

    // Direct primitives; `painter` must be active on this device and its pen, brush, font,
    // background and transform apply. Angles in 1/16 degree, counter-clockwise from 3 o'clock.
    void Pie(QPainter& painter, const QRectF& rect, int startAngle16, int spanAngle16);
    void Arc(QPainter& painter, const QRectF& rect, int startAngle16, int spanAngle16);
    void Chord(QPainter& painter, const QRectF& rect, int startAngle16, int spanAngle16);
    void Ellipse(QPainter& painter, const QRectF& rect);
    // Text at point, placed by `align` (MetafileTextAlign flags), turned angleDegrees
    // counter-clockwise about the point; the background follows the painter's background mode.
    void Text(QPainter& painter, const QPointF& point, const QString& text, double angleDegrees = 0,
        std::uint16_t align = mtaLeft | mtaTop);

    [[nodiscard]] QSize SizePixels() const { return m_size; }
    [[nodiscard]] int DotsPerInch() const { return m_dotsPerInch; }
    // For inspection: the records written so far and the object table.
    [[nodiscard]] const MetafileWriter& Writer() const { return m_recorder.Writer(); }

protected:
    [[nodiscard]] int metric(PaintDeviceMetric metric) const override;

private:
    MetafilePaintEngine& EngineFor(const QPainter& painter);

    QSize m_size;
    int m_dotsPerInch;
    MetafileRecorder m_recorder;
    std::unique_ptr<MetafilePaintEngine> m_engine;
};

} // namespace tarvo
