#include "MetafileStyle.h"

#include <QBrush>
#include <QFont>
#include <QGradient>
#include <QImage>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace tarvo
{

namespace
{

    std::int16_t ToInt16(double value)
    {
        return static_cast<std::int16_t>(std::clamp(std::lround(value), -32768L, 32767L));
    }

    std::uint16_t PenStyleFromQt(Qt::PenStyle style)
    {
        switch (style) {
        case Qt::NoPen:
            return mpsNull;
        case Qt::DashLine:
            return mpsDash;
        case Qt::DotLine:
            return mpsDot;
        case Qt::DashDotLine:
            return mpsDashDot;
        case Qt::DashDotDotLine:
            return mpsDashDotDot;
        case Qt::SolidLine:
        case Qt::CustomDashLine:
        case Qt::MPenStyle:
            break;
        }
        return mpsSolid;
    }

    QColor AverageGradientColor(const QGradient& gradient)
    {
        const QGradientStops stops = gradient.stops();
        if (stops.isEmpty())
            return Qt::black;
        // Weighted by the stretch each stop colours, so a short accent does not dominate.
        double r = 0, g = 0, b = 0, total = 0;
        for (qsizetype i = 0; i + 1 < stops.size(); ++i) {
            const double w = stops[i + 1].first - stops[i].first;
            r += w * (stops[i].second.redF() + stops[i + 1].second.redF()) / 2;
            g += w * (stops[i].second.greenF() + stops[i + 1].second.greenF()) / 2;
            b += w * (stops[i].second.blueF() + stops[i + 1].second.blueF()) / 2;
            total += w;
        }
        if (total <= 0)
            return stops.front().second;
        return QColor::fromRgbF(
            static_cast<float>(r / total), static_cast<float>(g / total), static_cast<float>(b / total));
    }

    QColor AverageImageColor(const QImage& source)
    {
        if (source.isNull())
            return Qt::black;
        const QImage image = source.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return image.pixelColor(0, 0);
    }

} // namespace

ColorRef ToColorRef(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return static_cast<ColorRef>(rgb.red()) | static_cast<ColorRef>(rgb.green()) << 8
        | static_cast<ColorRef>(rgb.blue()) << 16;
}

MetafilePen PenFromQt(const QPen& pen, double scale)
{
    MetafilePen result;
    result.color = ToColorRef(pen.color());
    if (pen.style() == Qt::NoPen || pen.brush().style() == Qt::NoBrush || pen.color().alpha() == 0) {
        result.style = mpsNull;
        result.color = 0;
        return result;
    }
    result.style = PenStyleFromQt(pen.style());
    switch (pen.capStyle()) {
    case Qt::FlatCap:
        result.style |= mpsEndCapFlat;
        break;
    case Qt::SquareCap:
        result.style |= mpsEndCapSquare;
        break;
    default:
        break;
    }
    switch (pen.joinStyle()) {
    case Qt::BevelJoin:
        result.style |= mpsJoinBevel;
        break;
    case Qt::MiterJoin:
    case Qt::SvgMiterJoin:
        result.style |= mpsJoinMiter;
        break;
    default:
        break;
    }
    result.width = ToInt16(pen.isCosmetic() ? pen.widthF() : pen.widthF() * scale);
    return result;
}

MetafileBrush BrushFromQt(const QBrush& brush)
{
    MetafileBrush result;
    result.color = ToColorRef(brush.color());
    switch (brush.style()) {
    case Qt::NoBrush:
        return { mbsNull, 0, 0 };
    case Qt::HorPattern:
        return { mbsHatched, result.color, mhsHorizontal };
    case Qt::VerPattern:
        return { mbsHatched, result.color, mhsVertical };
    case Qt::FDiagPattern:
        return { mbsHatched, result.color, mhsFDiagonal };
    case Qt::BDiagPattern:
        return { mbsHatched, result.color, mhsBDiagonal };
    case Qt::CrossPattern:
        return { mbsHatched, result.color, mhsCross };
    case Qt::DiagCrossPattern:
        return { mbsHatched, result.color, mhsDiagCross };
    case Qt::LinearGradientPattern:
    case Qt::RadialGradientPattern:
    case Qt::ConicalGradientPattern:
        result.color = brush.gradient() ? ToColorRef(AverageGradientColor(*brush.gradient())) : 0;
        return result;
    case Qt::TexturePattern:
        result.color = ToColorRef(AverageImageColor(brush.textureImage()));
        return result;
    default:
        break;
    }
    if (brush.color().alpha() == 0)
        return { mbsNull, 0, 0 };
    return result;
}

MetafileFont FontFromQt(const QFont& font, double scale, double angleDegrees, int dotsPerInch)
{
    MetafileFont result;
    const double pixels = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * dotsPerInch / 72.0;
    result.height = ToInt16(-std::max(1.0, pixels * scale));
    double angle = std::fmod(angleDegrees, 360.0);
    if (angle < 0)
        angle += 360.0;
    result.escapement = static_cast<std::int16_t>(std::lround(angle * 10) % 3600);
    result.weight = static_cast<std::int16_t>(std::clamp(static_cast<int>(font.weight()), 1, 1000));
    result.italic = font.italic();
    result.underline = font.underline();
    result.strikeOut = font.strikeOut();
    result.faceName = MetafileText(font.family()).left(31);
    return result;
}

QByteArray MetafileText(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text)
        bytes.append(c.unicode() <= 0xFF ? static_cast<char>(c.unicode()) : '?');
    return bytes;
}

} // namespace tarvo
