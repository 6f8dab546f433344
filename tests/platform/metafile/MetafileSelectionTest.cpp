// Which objects and settings a reader has selected when it meets each drawing record. A reader
// knows only the records: RestoreDC brings back the selection of the matching SaveDC, so after
// a clip change the pen, brush and colours the painter holds must be selected again.

#include "MetafilePaintDevice.h"
#include "MetafileRecorder.h"
#include "TestPictures.h"

#include <QImage>
#include <QPainter>

#include "MetafileTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace tarvo
{
namespace
{

    using namespace test;

    constexpr std::uint16_t fnSaveDc = 0x001E, fnRestoreDc = 0x0127, fnSelectObject = 0x012D, fnDeleteObject = 0x01F0,
                            fnSetTextColor = 0x0209, fnCreatePen = 0x02FA, fnCreateFont = 0x02FB,
                            fnCreateBrush = 0x02FC, fnRectangle = 0x041B, fnEllipse = 0x0418, fnPolygon = 0x0324,
                            fnPolyPolygon = 0x0538, fnPie = 0x081A, fnLineTo = 0x0213, fnPolyline = 0x0325,
                            fnExtTextOut = 0x0A32;

    ColorRef ColorAt(const Rec& rec, std::size_t at)
    {
        return static_cast<std::uint16_t>(rec.words[at])
            | ColorRef(static_cast<std::uint16_t>(rec.words[at + 1])) << 16;
    }

    // Plays the records the way a reader keeps its device context: objects in the lowest free
    // slot, selections and the text colour saved and restored by SaveDC and RestoreDC.
    class Replay
    {
    public:
        explicit Replay(const QByteArray& file)
        {
            for (const Rec& rec : Records(file))
                Play(rec);
        }

        // Per drawing record: the colour it is drawn in (the brush for filled shapes, the pen for
        // lines, the text colour for text); 0xFFFFFFFF when nothing usable is selected.
        std::vector<ColorRef> colors;
        std::vector<std::string> faults;

    private:
        struct Object {
            std::uint16_t kind = 0;
            ColorRef color = 0;
        };
        struct State {
            std::optional<int> pen, brush, font; // serials of the selected objects
            ColorRef textColor = 0;
        };

        void Play(const Rec& rec)
        {
            switch (rec.function) {
            case fnCreatePen:
                Create({ fnCreatePen, ColorAt(rec, 3) });
                break;
            case fnCreateBrush:
                Create({ fnCreateBrush, ColorAt(rec, 1) });
                break;
            case fnCreateFont:
                Create({ fnCreateFont, 0 });
                break;
            case fnSelectObject:
                Select(static_cast<std::uint16_t>(rec.words[0]));
                break;
            case fnDeleteObject:
                Delete(static_cast<std::uint16_t>(rec.words[0]));
                break;
            case fnSetTextColor:
                m_state.textColor = ColorAt(rec, 0);
                break;
            case fnSaveDc:
                m_saved.push_back(m_state);
                break;
            case fnRestoreDc:
                if (m_saved.empty()) {
                    faults.push_back("RestoreDC without SaveDC");
                    break;
                }
                m_state = m_saved.back();
                m_saved.pop_back();
                break;
            case fnRectangle:
            case fnEllipse:
            case fnPolygon:
            case fnPolyPolygon:
            case fnPie:
                Draw(m_state.brush);
                break;
            case fnLineTo:
            case fnPolyline:
                Draw(m_state.pen);
                break;
            case fnExtTextOut:
                Draw(m_state.font);
                colors.back() = m_state.font ? m_state.textColor : 0xFFFFFFFF;
                break;
            default:
                break;
            }
        }

        void Create(const Object& object)
        {
            std::size_t slot = 0;
            while (slot < m_slots.size() && m_slots[slot])
                ++slot;
            if (slot == m_slots.size())
                m_slots.emplace_back();
            m_slots[slot] = m_serial;
            m_objects[m_serial++] = object;
        }

        void Select(std::uint16_t slot)
        {
            if (slot >= m_slots.size() || !m_slots[slot]) {
                faults.push_back("select of empty slot " + std::to_string(slot));
                return;
            }
            const int serial = *m_slots[slot];
            const std::uint16_t kind = m_objects[serial].kind;
            (kind == fnCreatePen ? m_state.pen : kind == fnCreateBrush ? m_state.brush : m_state.font) = serial;
        }

        // Deleting a selected object is how a picture ends (the format has no stock objects to
        // select instead), so only drawing with a deleted object is a fault.
        void Delete(std::uint16_t slot)
        {
            if (slot >= m_slots.size() || !m_slots[slot]) {
                faults.push_back("delete of empty slot " + std::to_string(slot));
                return;
            }
            m_objects.erase(*m_slots[slot]);
            m_slots[slot].reset();
        }

        void Draw(const std::optional<int>& serial)
        {
            if (serial && !m_objects.contains(*serial))
                faults.push_back("drawing record " + std::to_string(colors.size()) + " uses a deleted object");
            colors.push_back(Color(serial));
        }

        ColorRef Color(const std::optional<int>& serial) const
        {
            const auto it = serial ? m_objects.find(*serial) : m_objects.end();
            return it == m_objects.end() ? 0xFFFFFFFF : it->second.color;
        }

        std::vector<std::optional<int>> m_slots;
        std::map<int, Object> m_objects;
        int m_serial = 0;
        State m_state;
        std::vector<State> m_saved;
    };

    constexpr ColorRef kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00;

    struct SelectionCase {
        const char* name;
        std::function<void(QPainter&)> draw;
        std::vector<ColorRef> colors; // of the drawing records in order
    };

    void PrintTo(const SelectionCase& c, std::ostream* out) { *out << c.name; }

    class MetafileSelectionTest : public ::testing::TestWithParam<SelectionCase>
    {
    protected:
        void SetUp() override { EnsureApplication(); }
    };

    TEST_P(MetafileSelectionTest, ReaderDrawsWithThePaintersObjects)
    {
        const SelectionCase& c = GetParam();
        MetafilePaintDevice device(QSize(200, 100));
        {
            QPainter painter(&device);
            painter.setPen(Qt::NoPen);
            c.draw(painter);
        }
        const Replay replay(device.Bytes());
        EXPECT_EQ(replay.faults, std::vector<std::string> {});
        EXPECT_EQ(replay.colors, c.colors);
        std::string file = std::string("selection-") + c.name + ".wmf";
        std::replace(file.begin(), file.end(), ' ', '-');
        const QString path = PicturesFolder() + QLatin1Char('/') + QString::fromStdString(file);
        device.SaveToFile(path);
        ExpectStrictlyValid(path.toStdString());
    }

    INSTANTIATE_TEST_SUITE_P(Painter, MetafileSelectionTest,
        ::testing::Values(SelectionCase { "brush changed before a clip change",
                              [](QPainter& p) {
                                  p.setBrush(Qt::red);
                                  p.drawRect(0, 0, 200, 100);
                                  p.setClipRect(QRect(0, 0, 100, 100));
                                  p.setBrush(Qt::blue);
                                  p.drawRect(10, 10, 50, 50);
                                  p.setClipRect(QRect(100, 0, 100, 100));
                                  p.drawRect(110, 10, 50, 50);
                              },
                              { kRed, kBlue, kBlue } },
            SelectionCase { "brush changed inside a clip that then moves",
                [](QPainter& p) {
                    p.setClipRect(QRect(0, 0, 100, 100));
                    p.setBrush(Qt::red);
                    p.drawRect(0, 0, 200, 100);
                    p.setBrush(Qt::blue);
                    p.drawRect(10, 10, 50, 50);
                    p.setClipRect(QRect(100, 0, 100, 100));
                    p.drawRect(110, 10, 50, 50);
                    p.drawPolygon(QPolygon({ QPoint(120, 10), QPoint(190, 10), QPoint(150, 90) }));
                },
                { kRed, kBlue, kBlue, kBlue } },
            SelectionCase { "brush changed inside a clip that is then removed",
                [](QPainter& p) {
                    p.setClipRect(QRect(0, 0, 100, 100));
                    p.setBrush(Qt::red);
                    p.drawEllipse(0, 0, 20, 20);
                    p.setBrush(Qt::green);
                    p.drawEllipse(10, 10, 20, 20);
                    p.setClipping(false);
                    p.drawEllipse(110, 10, 20, 20);
                },
                { kRed, kGreen, kGreen } },
            SelectionCase { "pen and text colour changed inside a clip that then moves",
                [](QPainter& p) {
                    p.setClipRect(QRect(0, 0, 100, 100));
                    p.setPen(Qt::red);
                    p.drawLine(0, 0, 10, 10);
                    p.drawText(QPointF(10, 50), QStringLiteral("a"));
                    p.setPen(Qt::blue);
                    p.drawLine(0, 0, 10, 10);
                    p.setClipRect(QRect(50, 0, 100, 100));
                    p.drawLine(60, 0, 70, 10);
                    p.drawText(QPointF(60, 50), QStringLiteral("b"));
                },
                { kRed, kRed, kBlue, kBlue, kBlue } },
            SelectionCase { "painter restore brings the outer brush back",
                [](QPainter& p) {
                    p.setBrush(Qt::red);
                    p.drawRect(0, 0, 20, 20);
                    p.save();
                    p.setClipRect(QRect(0, 0, 100, 100));
                    p.setBrush(Qt::blue);
                    p.drawRect(10, 10, 20, 20);
                    p.restore();
                    p.drawRect(110, 10, 20, 20);
                    p.setBrush(Qt::blue);
                    p.drawRect(120, 10, 20, 20);
                },
                { kRed, kBlue, kRed, kBlue } }),
        [](const ::testing::TestParamInfo<SelectionCase>& info) {
            std::string name = info.param.name;
            std::replace(name.begin(), name.end(), ' ', '_');
            return name;
        });

    // What SaveDC saves, RestoreDC brings back: afterwards the values from before the save cost
    // no records, and the values set inside the saved state have to be written again.
    struct SettingCase {
        const char* name;
        std::function<void(MetafileRecorder&)> outer, inner;
    };

    TEST(MetafileRecorderStateTest, RestoreBringsBackEverythingTheSaveHeld)
    {
        const std::vector<SettingCase> cases = {
            { "pen",
                [](MetafileRecorder& r) {
                    r.UsePen({ mpsSolid, 1, kRed });
                },
                [](MetafileRecorder& r) {
                    r.UsePen({ mpsSolid, 1, kBlue });
                } },
            { "brush",
                [](MetafileRecorder& r) {
                    r.UseBrush({ mbsSolid, kRed, 0 });
                },
                [](MetafileRecorder& r) {
                    r.UseBrush({ mbsSolid, kBlue, 0 });
                } },
            { "font",
                [](MetafileRecorder& r) {
                    r.UseFont({ -12, 0, 400, false, false, false, "Sans" });
                },
                [](MetafileRecorder& r) {
                    r.UseFont({ -20, 900, 700, false, false, false, "Sans" });
                } },
            { "text colour", [](MetafileRecorder& r) { r.UseTextColor(kRed); },
                [](MetafileRecorder& r) { r.UseTextColor(kBlue); } },
            { "background colour", [](MetafileRecorder& r) { r.UseBkColor(kRed); },
                [](MetafileRecorder& r) { r.UseBkColor(kBlue); } },
            { "background mode", [](MetafileRecorder& r) { r.UseBkMode(mbmOpaque); },
                [](MetafileRecorder& r) { r.UseBkMode(mbmTransparent); } },
            { "text align", [](MetafileRecorder& r) { r.UseTextAlign(mtaLeft | mtaBaseline); },
                [](MetafileRecorder& r) { r.UseTextAlign(mtaCenter | mtaTop); } },
            { "fill mode", [](MetafileRecorder& r) { r.UsePolyFillMode(mpfWinding); },
                [](MetafileRecorder& r) { r.UsePolyFillMode(mpfAlternate); } },
        };
        for (const SettingCase& c : cases) {
            MetafileRecorder recorder(100, 100, 96);
            c.outer(recorder);
            const int liveOutside = recorder.Writer().LiveObjectCount();
            recorder.SaveDC();
            c.inner(recorder);
            recorder.RestoreDC();
            EXPECT_EQ(recorder.Writer().LiveObjectCount(), liveOutside)
                << c.name << ": the object made inside the saved state goes with it";
            int records = recorder.Writer().RecordCount();
            c.outer(recorder);
            EXPECT_EQ(recorder.Writer().RecordCount(), records) << c.name << ": already selected again";
            c.inner(recorder);
            EXPECT_GT(recorder.Writer().RecordCount(), records) << c.name << ": the reader no longer has it";
            recorder.Finish();
            EXPECT_EQ(recorder.Writer().LiveObjectCount(), 0) << c.name;
            const Replay replay(recorder.Writer().Bytes());
            EXPECT_EQ(replay.faults, std::vector<std::string> {}) << c.name;
        }
    }

    // The fault as a reader shows it: the second blue square, after the clip moved, came out in
    // the red of the brush that was selected when the first clip was saved; the rest of the
    // right half is never painted.
    TEST(MetafileSelectionRenderTest, ShapeAfterAClipChangeKeepsItsColourInWmf2gd)
    {
        EnsureApplication();
        TARVO_REQUIRE_TOOL(Tool::tlWmf2gd);
        MetafilePaintDevice device(QSize(200, 100));
        {
            QPainter painter(&device);
            painter.setPen(Qt::NoPen);
            painter.setClipRect(QRect(0, 0, 100, 100));
            painter.setBrush(Qt::red);
            painter.drawRect(0, 0, 100, 100);
            painter.setBrush(Qt::blue);
            painter.drawRect(20, 20, 60, 60);
            painter.setClipRect(QRect(100, 0, 100, 100));
            painter.drawRect(120, 20, 60, 60);
        }
        const QString wmf = PicturesFolder() + QStringLiteral("/selection-clip-change.wmf");
        const QString png = PicturesFolder() + QStringLiteral("/selection-clip-change-wmf2gd.png");
        device.SaveToFile(wmf);
        ExpectStrictlyValid(wmf.toStdString());
        QFile::remove(png);
        const ToolResult render = RunTool(Tool::tlWmf2gd, { "-t", "png", "-o", png.toStdString(), wmf.toStdString() });
        ASSERT_EQ(render.exitCode, 0) << render.output;
        const QImage read(png);
        ASSERT_FALSE(read.isNull());
        const double scale = read.width() / 200.0;
        auto at = [&](int x, int y) { return read.pixelColor(int(x * scale), int(y * scale)).name().toStdString(); };
        EXPECT_EQ(at(10, 10), QColor(Qt::red).name().toStdString());
        EXPECT_EQ(at(50, 50), QColor(Qt::blue).name().toStdString());
        EXPECT_EQ(at(150, 50), QColor(Qt::blue).name().toStdString());
        EXPECT_EQ(at(110, 10), QColor(Qt::white).name().toStdString());
    }

} // namespace
} // namespace tarvo
