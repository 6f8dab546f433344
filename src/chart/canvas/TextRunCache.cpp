#include "canvas/TextRunCache.h"

#include <QPaintDevice>

#include <algorithm>

namespace tarvo
{

namespace
{

    // Enough for every label of a large chart and its legend; a chart drawing more distinct texts
    // than this starts afresh at its next repaint rather than growing without bound.
    constexpr qsizetype kMaxRuns = 8192;
    constexpr qsizetype kMaxFonts = 64;

} // namespace

bool TTextRunCache::CanLayout(const QString& text)
{
    return std::none_of(text.begin(), text.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

TTextRunCache::TFontEntry& TTextRunCache::Entry(const QFont& font, const QPaintDevice* device)
{
    TFontKey key { font, device != nullptr ? device->logicalDpiY() : 0 };
    if (m_lastEntry != nullptr && key == m_lastKey)
        return *m_lastEntry;
    // Inserting may move the other entries, so the memo is replaced at once.
    TFontEntry& entry = m_fonts[key];
    if (!entry.Metrics)
        entry.Metrics.emplace(device != nullptr ? QFontMetrics(font, device) : QFontMetrics(font));
    m_lastKey = std::move(key);
    m_lastEntry = &entry;
    return entry;
}

void TTextRunCache::Trim()
{
    if (m_fonts.size() < kMaxFonts && m_runCount < kMaxRuns)
        return;
    m_fonts.clear();
    m_runCount = 0;
    m_lastEntry = nullptr;
}

TTextRunCache::TRun& TTextRunCache::Run(TFontEntry& entry, const QString& text)
{
    auto found = entry.Runs.find(text);
    if (found == entry.Runs.end()) {
        found = entry.Runs.insert(text, TRun { entry.Metrics->horizontalAdvance(text), std::nullopt });
        ++m_runCount;
    }
    return *found;
}

const QFontMetrics& TTextRunCache::Metrics(const QFont& font, const QPaintDevice* device)
{
    return *Entry(font, device).Metrics;
}

int TTextRunCache::Width(const QFont& font, const QPaintDevice* device, const QString& text)
{
    return Run(Entry(font, device), text).Width;
}

const QStaticText& TTextRunCache::Layout(const QFont& font, const QPaintDevice* device, const QString& text)
{
    TRun& run = Run(Entry(font, device), text);
    if (!run.Layout) {
        run.Layout.emplace(text);
        run.Layout->setTextFormat(Qt::PlainText);
        run.Layout->prepare(QTransform(), font);
    }
    return *run.Layout;
}

} // namespace tarvo
