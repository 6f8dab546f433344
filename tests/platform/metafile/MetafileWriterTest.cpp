// The record level and the device-context bookkeeping: header bytes, the object table, saved
// states and clipping, and a stream with every record kind that wmfcheck.py must accept.

#include "MetafileError.h"
#include "MetafileRecorder.h"
#include "TestPictures.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include "MetafileTestSupport.h"

#include <gtest/gtest.h>

namespace tarvo
{
namespace
{

    using namespace test;

    std::vector<std::uint16_t> Functions(const std::vector<Rec>& records)
    {
        std::vector<std::uint16_t> result;
        for (const Rec& r : records)
            result.push_back(r.function);
        return result;
    }

    enum : std::uint16_t {
        fnSaveDc = 0x001E,
        fnRestoreDc = 0x0127,
        fnSelect = 0x012D,
        fnDelete = 0x01F0,
        fnPen = 0x02FA,
        fnBrush = 0x02FC,
        fnIntersectClip = 0x0416,
        fnRectangle = 0x041B,
        fnEof = 0x0000,
    };

    std::string CheckerVerdict(const QByteArray& bytes, const QString& name)
    {
        const QString file = test::PicturesFolder() + QLatin1Char('/') + name;
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            return "cannot write " + file.toStdString();
        out.close();
        return test::StrictCheck(file.toStdString());
    }

    TEST(MetafileHeaderTest, PlaceableAndStandardHeaderDescribeTheFile)
    {
        MetafileWriter writer(751, 433, 96);
        writer.Rectangle({ 0, 0, 751, 433 });
        writer.CreatePen({});
        const QByteArray file = writer.Bytes();
        EXPECT_EQ(U32(file, 0), 0x9AC6CDD7u);
        EXPECT_EQ(U16(file, 4), 0) << "handle";
        EXPECT_EQ((std::vector<int> { U16(file, 6), U16(file, 8), U16(file, 10), U16(file, 12) }),
            (std::vector<int> { 0, 0, 751, 433 }))
            << "bounding box is the size";
        EXPECT_EQ(U16(file, 14), 96) << "units per inch";
        EXPECT_EQ(U32(file, 16), 0u) << "reserved";
        std::uint16_t checksum = 0;
        for (int i = 0; i < 10; ++i)
            checksum ^= U16(file, 2 * i);
        EXPECT_EQ(U16(file, 20), checksum);

        EXPECT_EQ(U16(file, 22), 1) << "type";
        EXPECT_EQ(U16(file, 24), 9) << "header words";
        EXPECT_EQ(U16(file, 26), 0x0300) << "version";
        EXPECT_EQ(U32(file, 28) * 2, std::uint32_t(file.size() - 22)) << "size in words after the placeable header";
        EXPECT_EQ(U16(file, 32), 1) << "objects";
        EXPECT_EQ(U32(file, 34), 8u) << "largest record: the pen";
        EXPECT_EQ(U16(file, 38), 0) << "members";
        const std::vector<Rec> records = Records(file);
        ASSERT_FALSE(records.empty());
        EXPECT_EQ(records.back().function, fnEof);
        EXPECT_TRUE(records.back().words.empty());
    }

    TEST(MetafileHeaderTest, UnusableSizesAreRefused)
    {
        EXPECT_THROW(MetafileWriter(0, 10, 96), MetafileError);
        EXPECT_THROW(MetafileWriter(10, 40000, 96), MetafileError);
        EXPECT_THROW(MetafileWriter(10, 10, 0), MetafileError);
    }

    TEST(MetafileObjectTableTest, CreatedObjectsTakeTheLowestFreeSlot)
    {
        MetafileWriter writer(10, 10, 96);
        EXPECT_EQ(writer.CreatePen({}), 0);
        EXPECT_EQ(writer.CreateBrush({}), 1);
        EXPECT_EQ(writer.CreateFont({}), 2);
        writer.DeleteObject(1);
        writer.DeleteObject(0);
        EXPECT_EQ(writer.CreateBrush({}), 0);
        EXPECT_EQ(writer.CreatePen({}), 1);
        EXPECT_EQ(writer.CreatePen({}), 3);
        EXPECT_EQ(writer.ObjectTableSize(), 4u);
        EXPECT_EQ(U16(writer.Bytes(), 32), 4) << "the header counts the table's peak";
    }

    TEST(MetafileObjectTableTest, NamingAnEmptySlotThrowsAndWritesNothing)
    {
        MetafileWriter writer(10, 10, 96);
        const std::uint16_t pen = writer.CreatePen({});
        writer.DeleteObject(pen);
        const int records = writer.RecordCount();
        EXPECT_THROW(writer.SelectObject(pen), MetafileError);
        EXPECT_THROW(writer.DeleteObject(pen), MetafileError);
        EXPECT_THROW(writer.SelectObject(7), MetafileError);
        EXPECT_EQ(writer.RecordCount(), records);
    }

    TEST(MetafileSavedStateTest, RestoreWithoutSaveThrows)
    {
        MetafileWriter writer(10, 10, 96);
        EXPECT_THROW(writer.RestoreDC(), MetafileError);
        writer.SaveDC();
        writer.RestoreDC();
        EXPECT_THROW(writer.RestoreDC(), MetafileError);
        EXPECT_EQ(writer.SaveDepth(), 0);
    }

    TEST(MetafileRecorderTest, UnchangedObjectsAreNotWrittenAgain)
    {
        MetafileRecorder recorder(10, 10, 96);
        const int start = recorder.Writer().RecordCount();
        recorder.UsePen({ mpsSolid, 1, 0x0000FF });
        recorder.UsePen({ mpsSolid, 1, 0x0000FF });
        recorder.UseTextColor(0x00FF00);
        recorder.UseTextColor(0x00FF00);
        EXPECT_EQ(recorder.Writer().RecordCount() - start, 3) << "create, select, text colour";
        recorder.UsePen({ mpsDash, 1, 0x0000FF });
        const std::vector<Rec> records = Records(recorder.Writer().Bytes());
        const std::vector<std::uint16_t> functions = Functions(records);
        const std::vector<std::uint16_t> tail(functions.end() - 4, functions.end() - 1);
        EXPECT_EQ(tail, (std::vector<std::uint16_t> { fnPen, fnSelect, fnDelete }))
            << "the new pen is selected before the old one goes";
        EXPECT_EQ(recorder.Writer().LiveObjectCount(), 1);
    }

    TEST(MetafileRecorderTest, ObjectsOfASavedStateLiveUntilItIsRestored)
    {
        MetafileRecorder recorder(10, 10, 96);
        recorder.UseBrush({ mbsSolid, 0x0000FF, 0 });
        recorder.SaveDC();
        recorder.UseBrush({ mbsSolid, 0x00FF00, 0 });
        recorder.UseBrush({ mbsSolid, 0xFF0000, 0 });
        EXPECT_EQ(recorder.Writer().LiveObjectCount(), 2) << "the red brush is still selected in the saved state";
        recorder.RestoreDC();
        EXPECT_EQ(recorder.Writer().LiveObjectCount(), 1);
        const int records = recorder.Writer().RecordCount();
        recorder.UseBrush({ mbsSolid, 0x0000FF, 0 });
        EXPECT_EQ(recorder.Writer().RecordCount(), records) << "restoring brought the first brush back";
        recorder.Finish();
        EXPECT_EQ(recorder.Writer().LiveObjectCount(), 0);
    }

    TEST(MetafileRecorderTest, EachClipLivesInASavedStateOfItsOwn)
    {
        MetafileRecorder recorder(100, 100, 96);
        recorder.UseClip(MetafileBox { 0, 0, 50, 50 });
        recorder.UseClip(MetafileBox { 0, 0, 50, 50 });
        recorder.UseClip(MetafileBox { 10, 10, 90, 90 });
        recorder.SaveDC(); // a save of the caller's own inside the clip
        recorder.UseClip(std::nullopt);
        EXPECT_EQ(recorder.Writer().SaveDepth(), 0);
        std::vector<std::uint16_t> functions = Functions(Records(recorder.Writer().Bytes()));
        functions.erase(functions.begin(), functions.begin() + 3); // the mapping
        EXPECT_EQ(functions,
            (std::vector<std::uint16_t> { fnSaveDc, fnIntersectClip, fnRestoreDc, fnSaveDc, fnIntersectClip, fnSaveDc,
                fnRestoreDc, fnRestoreDc, fnEof }));
    }

    // One of every record kind, written through the recorder as the paint engine does.
    QByteArray EveryRecordKind()
    {
        MetafileRecorder recorder(200, 100, 96);
        MetafileWriter& w = recorder.Writer();
        recorder.UsePen({ mpsNull, 0, 0 });
        recorder.UseBrush({ mbsSolid, 0xFFFFFF, 0 });
        w.Rectangle({ 0, 0, 201, 101 });
        recorder.UsePen({ mpsDash, 1, 0x808080 });
        recorder.UseBrush({ mbsHatched, 0x008000, mhsDiagCross });
        recorder.UseBkMode(mbmOpaque);
        recorder.UseBkColor(0xFFFF00);
        recorder.UsePolyFillMode(mpfWinding);
        w.Polygon(QPolygon({ QPoint(10, 10), QPoint(40, 10), QPoint(25, 30) }));
        w.PolyPolygon({ QPolygon({ QPoint(50, 10), QPoint(80, 10), QPoint(65, 30) }),
            QPolygon({ QPoint(60, 12), QPoint(70, 12), QPoint(65, 20) }) });
        recorder.UseBkMode(mbmTransparent);
        recorder.UsePen({ mpsSolid | mpsEndCapFlat | mpsJoinMiter, 3, 0x000000 });
        w.Polyline(QPolygon({ QPoint(90, 10), QPoint(100, 30), QPoint(110, 10) }));
        w.MoveTo({ 0, 50 });
        w.LineTo({ 200, 50 });
        recorder.UseBrush({ mbsSolid, 0x0000FF, 0 });
        w.Pie({ 120, 5, 160, 45 }, { 160, 25 }, { 140, 5 });
        w.Arc({ 120, 5, 160, 45 }, { 140, 5 }, { 120, 25 });
        w.Chord({ 160, 5, 200, 45 }, { 200, 25 }, { 160, 25 });
        recorder.UseBrush({ mbsNull, 0, 0 });
        recorder.UseClip(MetafileBox { 0, 55, 100, 100 });
        w.Ellipse({ 10, 55, 60, 95 });
        w.SetPixel({ 5, 60 }, 0x0000FF);
        recorder.UseClip(std::nullopt);
        recorder.UseFont({ -14, 0, 700, true, true, true, "Liberation Sans" });
        recorder.UseTextColor(0x000000);
        recorder.UseTextAlign(mtaLeft | mtaBaseline);
        w.TextOut({ 70, 70 }, "Odd");
        const MetafileBox clip { 70, 75, 150, 95 };
        w.ExtTextOut({ 70, 90 }, "Even", &clip);
        recorder.UseFont({ -12, 900, 400, false, false, false, "Liberation Serif" });
        w.ExtTextOut({ 180, 95 }, "Rotated");
        QImage image(3, 2, QImage::Format_RGB32);
        image.fill(Qt::red);
        w.StretchDib({ 160, 55, 190, 75 }, image);
        recorder.Finish();
        return w.Bytes();
    }

    TEST(MetafileStrictCheckTest, EveryRecordKindPasses)
    {
        TARVO_REQUIRE_CHECKER();
        EXPECT_EQ(CheckerVerdict(EveryRecordKind(), QStringLiteral("metafile-every-record.wmf")), "");
    }

    TEST(MetafileStrictCheckTest, TheCheckerCatchesABrokenChecksum)
    {
        TARVO_REQUIRE_CHECKER();
        QByteArray bytes = EveryRecordKind();
        bytes[20] = static_cast<char>(bytes[20] ^ 0x01);
        EXPECT_NE(CheckerVerdict(bytes, QStringLiteral("metafile-broken.wmf")), "");
    }

} // namespace
} // namespace tarvo
