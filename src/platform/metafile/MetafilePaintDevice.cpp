#include "MetafilePaintDevice.h"

#include "MetafileError.h"
#include "MetafilePaintEngine.h"

#include <QFileInfo>
#include <QPainter>
#include <QSaveFile>

#include <cmath>

namespace tarvo
{

MetafilePaintDevice::MetafilePaintDevice(QSize sizePixels, int dotsPerInch)
    : m_size(sizePixels)
    , m_dotsPerInch(dotsPerInch)
    , m_recorder(sizePixels.width(), sizePixels.height(), dotsPerInch)
    , m_engine(std::make_unique<MetafilePaintEngine>(m_recorder, dotsPerInch))
{
}

MetafilePaintDevice::~MetafilePaintDevice() = default;

QPaintEngine* MetafilePaintDevice::paintEngine() const { return m_engine.get(); }

int MetafilePaintDevice::metric(PaintDeviceMetric metric) const
{
    const auto millimetres
        = [this](int pixels) { return static_cast<int>(std::lround(pixels * 25.4 / m_dotsPerInch)); };
    switch (metric) {
    case PdmWidth:
        return m_size.width();
    case PdmHeight:
        return m_size.height();
    case PdmWidthMM:
        return millimetres(m_size.width());
    case PdmHeightMM:
        return millimetres(m_size.height());
    case PdmNumColors:
        return 0x1000000;
    case PdmDepth:
        return 24;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return m_dotsPerInch;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
    }
    return QPaintDevice::metric(metric);
}

QByteArray MetafilePaintDevice::Bytes() const
{
    if (m_engine->isActive())
        throw MetafileError(QStringLiteral("The metafile is still being drawn; end the painter first."));
    return m_recorder.Writer().Bytes();
}

void MetafilePaintDevice::SaveToFile(const QString& fileName) const
{
    const QByteArray bytes = Bytes();
    const QString shown = QFileInfo(fileName).absoluteFilePath();
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw MetafileError(QStringLiteral("Cannot create the metafile \"%1\": %2").arg(shown, file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw MetafileError(QStringLiteral("Cannot write the metafile \"%1\": %2").arg(shown, file.errorString()));
}

MetafilePaintEngine& MetafilePaintDevice::EngineFor(const QPainter& painter)
{
    if (!painter.isActive() || painter.device() != this || m_engine->painter() != &painter)
        throw MetafileError(QStringLiteral("Metafile primitives need a painter that is active on the metafile."));
    return *m_engine;
}

void MetafilePaintDevice::Pie(QPainter& painter, const QRectF& rect, int startAngle16, int spanAngle16)
{
    EngineFor(painter).DrawCurve(MetafilePaintEngine::Curve::Pie, rect, startAngle16, spanAngle16);
}

void MetafilePaintDevice::Arc(QPainter& painter, const QRectF& rect, int startAngle16, int spanAngle16)
{
    EngineFor(painter).DrawCurve(MetafilePaintEngine::Curve::Arc, rect, startAngle16, spanAngle16);
}

void MetafilePaintDevice::Chord(QPainter& painter, const QRectF& rect, int startAngle16, int spanAngle16)
{
    EngineFor(painter).DrawCurve(MetafilePaintEngine::Curve::Chord, rect, startAngle16, spanAngle16);
}

void MetafilePaintDevice::Ellipse(QPainter& painter, const QRectF& rect) { EngineFor(painter).drawEllipse(rect); }

void MetafilePaintDevice::Text(
    QPainter& painter, const QPointF& point, const QString& text, double angleDegrees, std::uint16_t align)
{
    EngineFor(painter).DrawText(point, text, angleDegrees, align);
}

} // namespace tarvo
