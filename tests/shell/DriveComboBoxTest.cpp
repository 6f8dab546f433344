// The drive selector: its texts, what writing Drive does, and how an item is drawn.

#include "DriveComboBox.h"
#include "DriveBitmaps.h"
#include "MemoryFileSystem.h"

#include "QtTestApp.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace tarvo
{
namespace
{

    std::vector<std::string> Texts(const std::vector<TDriveItem>& items)
    {
        std::vector<std::string> texts;
        for (const TDriveItem& item : items)
            texts.push_back(item.text);
        return texts;
    }

    TEST(DriveItems, DriveLettersAndMountPointsReadAsTheyShould)
    {
        const std::vector<VolumeInfo> letters = {
            { "Z:\\", VolumeKind::vkRemote, "Share", "smb", "\\\\Server\\Share" },
            { "C:\\", VolumeKind::vkFixed, "System", "NTFS", "" },
            { "A:\\", VolumeKind::vkRemovable, "Floppy", "FAT", "" },
            { "Y:\\", VolumeKind::vkRemote, "Backup", "smb", "" },
            { "D:\\", VolumeKind::vkCdrom, "", "", "" },
        };
        EXPECT_EQ(Texts(DriveItems(letters, PathStyle::Windows(), tcLowerCase)),
            (std::vector<std::string> { "a:", "c: [system]", "d: []", "y: [backup]", "z: \\\\server\\share" }));
        EXPECT_EQ(Texts(DriveItems(letters, PathStyle::Windows(), tcUpperCase)),
            (std::vector<std::string> { "A:", "C: [SYSTEM]", "D: []", "Y: [BACKUP]", "Z: \\\\SERVER\\SHARE" }));
        EXPECT_EQ(DriveItems(letters, PathStyle::Windows(), tcLowerCase)[1].key, "c");

        const std::vector<VolumeInfo> mounts = {
            { "/media/ann/STICK", VolumeKind::vkRemovable, "STICK", "vfat", "/dev/sdb1" },
            { "/mnt/nas", VolumeKind::vkRemote, "", "cifs", "//NAS/Share" },
            { "/home", VolumeKind::vkFixed, "HOME", "ext4", "/dev/sda2" },
            { "/", VolumeKind::vkFixed, "", "ext4", "/dev/sda1" },
        };
        EXPECT_EQ(Texts(DriveItems(mounts, PathStyle::Posix(), tcLowerCase)),
            (std::vector<std::string> { "/", "/home [home]", "/media/ann/STICK", "/mnt/nas //nas/share" }));
        EXPECT_EQ(Texts(DriveItems(mounts, PathStyle::Posix(), tcUpperCase))[2], "/media/ann/STICK")
            << "a mount point keeps its case";
    }

    class DriveComboBoxTest : public ::testing::Test
    {
    protected:
        DriveComboBoxTest()
            : m_fs(PathStyle::Windows())
        {
            test::EnsureQtTestApp();
            m_fs.AddVolume("C:\\", VolumeKind::vkFixed, "System", "NTFS", 100);
            m_fs.AddVolume("D:\\", VolumeKind::vkCdrom, "", "CDFS", 0);
        }
        MemoryFileSystem m_fs;
    };

    TEST_F(DriveComboBoxTest, WritingDriveSelectsAndReportsAsTheUsersPickDoes)
    {
        TDriveComboBox box(m_fs);
        int changes = 0;
        box.OnChange = [&](TDriveComboBox&) { ++changes; };

        box.SetDrive("C");
        EXPECT_EQ(box.currentText(), QStringLiteral("c: [system]"));
        EXPECT_EQ(box.Drive(), "c");
        EXPECT_EQ(changes, 1);
        box.SetDrive("c");
        EXPECT_EQ(changes, 1) << "the drive already shown";

        box.SetDrive("x");
        EXPECT_EQ(box.Drive(), "x") << "stored although no item has it";
        EXPECT_EQ(box.currentText(), QStringLiteral("c: [system]"));
        EXPECT_EQ(changes, 2);

        box.SetDrive("");
        EXPECT_EQ(box.currentIndex(), -1);
        EXPECT_EQ(changes, 3);
        box.SetDrive("");
        EXPECT_EQ(changes, 4) << "with nothing selected even the same value is news";

        box.SetDrive("d");
        m_fs.AddVolume("E:\\", VolumeKind::vkRemovable, "", "FAT", 0);
        box.RefreshVolumes();
        EXPECT_EQ(box.count(), 3);
        EXPECT_EQ(box.currentText(), QStringLiteral("d: []")) << "the volume shown stays selected";
        EXPECT_EQ(changes, 5);
        EXPECT_EQ(box.KeyOfPath("D:\\Disc\\x"), "d");
    }

    TEST_F(DriveComboBoxTest, AnItemIsDrawnPictureFirstThenItsTextOnOneLine)
    {
        QImage image(140, 20, QImage::Format_RGB32);
        QPixmap red(kDriveBitmapWidth, kDriveBitmapHeight);
        red.fill(Qt::red);
        QPalette palette;
        palette.setColor(QPalette::Base, Qt::white);
        palette.setColor(QPalette::Text, Qt::black);
        {
            QPainter painter(&image);
            TDriveComboBox::PaintItem(painter, QRect(0, 0, 140, 20), red, QStringLiteral("W&W"), palette, false);
        }
        const auto columnHas = [&](int x, QRgb color) {
            for (int y = 0; y < image.height(); ++y)
                if (image.pixel(x, y) == color)
                    return true;
            return false;
        };
        EXPECT_FALSE(columnHas(1, qRgb(255, 0, 0)));
        EXPECT_TRUE(columnHas(2, qRgb(255, 0, 0)));
        EXPECT_EQ(image.pixel(2, 4), qRgb(255, 0, 0)) << "centred: rows 4 … 14 of 20";
        EXPECT_NE(image.pixel(2, 3), qRgb(255, 0, 0));
        int firstText = -1;
        for (int x = 18; x < image.width() && firstText < 0; ++x)
            for (int y = 0; y < image.height(); ++y)
                if (qGray(image.pixel(x, y)) < 128)
                    firstText = x;
        EXPECT_GE(firstText, 22);
        EXPECT_LT(firstText, 25);

        // Five pictures, all different, with a transparent background, sharp at twice the size.
        std::vector<QImage> pictures;
        for (const char* name : { "FLOPPY", "HARD", "NETWORK", "CDROM", "RAM" }) {
            const QPixmap picture = DriveBitmap(name, 2.0);
            ASSERT_EQ(picture.size(), QSize(32, 22)) << name;
            pictures.push_back(picture.toImage());
            EXPECT_EQ(qAlpha(pictures.back().pixel(0, 0)), 0) << name;
        }
        for (std::size_t a = 0; a < pictures.size(); ++a)
            for (std::size_t b = a + 1; b < pictures.size(); ++b)
                EXPECT_NE(pictures[a], pictures[b]) << a << " " << b;
        EXPECT_TRUE(DriveBitmap("FLOPPY2").isNull());

        TDriveComboBox box(m_fs);
        QFont tiny = box.font();
        tiny.setPixelSize(5);
        box.setFont(tiny);
        EXPECT_EQ(box.ItemHeight(), 11) << "never lower than the pictures";
    }

} // namespace
} // namespace tarvo
