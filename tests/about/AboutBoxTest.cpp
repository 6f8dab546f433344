#include "AboutBox.h"
#include "AboutBoxDlg.h"
#include "AboutPictures.h"
#include "AboutTestSupport.h"
#include "QtTestApp.h"
#include "TestPictures.h"

#include <QApplication>
#include <QFontInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPixmap>
#include <QSet>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tarvo
{
namespace
{

    using test::FakeSystemInfo;

    template <class T> T* FindShown()
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<T*>(widget); found != nullptr && found->isVisible())
                return found;
        }
        return nullptr;
    }

    class AboutBoxTest : public ::testing::Test
    {
    protected:
        AboutBoxTest() { test::EnsureQtTestApp(); }

        AboutEnvironment Environment()
        {
            return { m_info, [this](const std::string& url) {
                        m_opened.push_back(url);
                        return m_openWorks;
                    } };
        }

        // Runs Execute; inspect sees the shown window, then its close button is pressed.
        bool ExecuteWith(TAboutBoxDlg& dialog, const std::function<void(TAboutBox&)>& inspect)
        {
            bool inspected = false;
            QTimer::singleShot(0, [&] {
                TAboutBox* box = FindShown<TAboutBox>();
                if (box == nullptr) {
                    ADD_FAILURE() << "no about window is shown";
                    QApplication::closeAllWindows();
                    return;
                }
                inspected = true;
                inspect(*box);
                box->SpeedButton1->click();
            });
            const bool result = dialog.Execute();
            EXPECT_TRUE(inspected);
            return result;
        }

        // Presses the button; a message box that it opens is read and closed.
        QString MessageAfterClicking(QToolButton& button)
        {
            QString message;
            QTimer::singleShot(0, [&message] {
                if (QMessageBox* box = FindShown<QMessageBox>()) {
                    message = box->text();
                    EXPECT_EQ(box->icon(), QMessageBox::Critical);
                    box->button(QMessageBox::Ok)->click();
                }
            });
            button.click();
            QCoreApplication::processEvents(); // a timer left over when nothing was shown
            return message;
        }

        std::shared_ptr<FakeSystemInfo> m_info = std::make_shared<FakeSystemInfo>();
        std::vector<std::string> m_opened;
        bool m_openWorks = true;
    };

    TEST_F(AboutBoxTest, ShowsTheProgramsOwnVersionTheMachineAndTheComponentsTexts)
    {
        QApplication::setWindowIcon(AboutGlyphIcon(AboutGlyph::agHomePages));
        TAboutBoxDlg dialog(nullptr, Environment());
        dialog.SetVersion(QStringLiteral("9.9"));
        dialog.SetComments(QStringLiteral("Tarvo shows where the space goes."));
        const bool result = ExecuteWith(dialog, [](TAboutBox& box) {
            EXPECT_EQ(box.windowTitle(), QStringLiteral("About tarvo"));
            EXPECT_EQ(box.ProductName->text(), QStringLiteral("Tarvo"));
            EXPECT_EQ(box.VersNo->text(), QStringLiteral("1.1"));
            EXPECT_EQ(box.Release->text(), QStringLiteral("2"));
            EXPECT_EQ(box.Build->text(), QStringLiteral("3"));
            EXPECT_EQ(box.Copyright->text(), QStringLiteral("2024 J. Tarvonen, Oskavel"));
            EXPECT_EQ(box.Comments->text(), QStringLiteral("Tarvo shows where the space goes."));
            EXPECT_EQ(box.OSName->text(), QStringLiteral("Debian GNU/Linux 12 (bookworm)"));
            EXPECT_EQ(box.OSVersion->text(), QStringLiteral("6.1   Build : 0"));
            EXPECT_EQ(box.Memory->text(), QStringLiteral("Tot: 65536 KB     Avl: 20480 KB"));
            EXPECT_EQ(box.DiskFree->text(), QStringLiteral("/: 10240 MB  "));
            EXPECT_FALSE(box.ProgramIcon2->pixmap().isNull());
            EXPECT_TRUE(box.isModal());
        });
        EXPECT_FALSE(result) << "the close button gives False";
        EXPECT_EQ(FindShown<TAboutBox>(), nullptr) << "the window is gone after the call";
    }

    TEST_F(AboutBoxTest, EveryControlAtItsPlaceWithItsTextAndHint)
    {
        TAboutBoxDlg dialog(nullptr, Environment());
        ExecuteWith(dialog, [](TAboutBox& box) {
            EXPECT_EQ(box.size(), QSize(344, 430));
            struct Row {
                const char* name;
                QRect geometry; // width and height -1: sized to its text
                const char* text; // nullptr: not checked
                const char* hint;
            };
            const std::vector<Row> rows = {
                { "ProductName", { 7, 2, -1, -1 }, nullptr, "" },
                { "Panel3", { 9, 40, 40, 40 }, nullptr, "" },
                { "ProgramIcon2", { 4, 4, 32, 32 }, nullptr, "" },
                { "Label8", { 78, 29, -1, -1 }, "Version", "" },
                { "VersNo", { 126, 29, -1, -1 }, nullptr, "" },
                { "ReleaseLbl", { 78, 44, -1, -1 }, "Release", "" },
                { "Release", { 126, 44, -1, -1 }, nullptr, "" },
                { "BuildL", { 78, 59, -1, -1 }, "Build", "" },
                { "Build", { 126, 59, -1, -1 }, nullptr, "" },
                { "Label7", { 78, 74, -1, -1 }, "Copyright", "" },
                { "Label5", { 137, 74, -1, -1 }, "\u00A9", "" },
                { "Copyright", { 150, 74, -1, -1 }, nullptr, "" },
                { "BtnMail", { 237, 12, 46, 37 }, nullptr, "author@oskavel.example" },
                { "BtnHome2", { 287, 12, 49, 37 }, nullptr, "https://oskavel.example/ (Main and Themes Pages)" },
                { "BtnHome", { 287, 52, 49, 37 }, nullptr, "https://oskavel.example/software (Software Downloads)" },
                { "Bevel2", { 7, 105, 324, 2 }, nullptr, "" },
                { "Panel2", { 8, 112, 325, 129 }, nullptr, "" },
                { "Panel1", { 8, 3, 325, 123 }, nullptr, "" }, // as wide as Panel2 once filled
                { "Comments", { 0, 0, 320, 350 }, nullptr, "Drag to scroll" },
                { "Label9", { 56, 242, -1, -1 }, "Left mouse click on text to drag window!", "" },
                { "Bevel1", { 7, 262, 331, 2 }, nullptr, "" },
                { "Label6", { 9, 268, -1, -1 }, "DiskFree:", "" },
                { "DiskFree", { 74, 268, -1, -1 }, nullptr, "/: 10240 MB" },
                { "DiskFree1", { 74, 288, -1, -1 }, "", "/: 10240 MB" },
                { "Label4", { 9, 305, -1, -1 }, "Memory  :", "" },
                { "Memory", { 74, 305, -1, -1 }, nullptr, "" },
                { "Label1", { 9, 326, -1, -1 }, "System    :", "" },
                { "OSName", { 74, 326, -1, -1 }, nullptr, "" },
                { "Label2", { 9, 346, -1, -1 }, "Version   :", "" },
                { "OSVersion", { 74, 346, -1, -1 }, nullptr, "" },
                { "Bevel3", { 7, 366, 331, 2 }, nullptr, "" },
                { "SpeedButton2", { 7, 382, 89, 33 }, nullptr, "https://oskavel.example/tarvo" },
                { "URLlink", { 99, 378, TAboutBox::kUrlLinkWidth, 39 },
                    "Suggestions, Bugs? Mail me or visit Oskavel for Updates, other Programs  or Desktop Themes !",
                    "https://oskavel.example/software\nhttps://oskavel.example/" },
                { "SpeedButton1", { 280, 380, 53, 39 }, "OK", "Close About Box" },
            };
            for (const Row& row : rows) {
                SCOPED_TRACE(row.name);
                auto* widget = box.findChild<QWidget*>(QString::fromLatin1(row.name));
                ASSERT_NE(widget, nullptr);
                EXPECT_EQ(widget->pos(), row.geometry.topLeft());
                if (row.geometry.width() >= 0) {
                    EXPECT_EQ(widget->size(), row.geometry.size());
                } else {
                    EXPECT_EQ(widget->size(), widget->sizeHint()) << "labels size themselves to their text";
                }
                EXPECT_EQ(widget->toolTip(), QString::fromUtf8(row.hint));
                if (row.text == nullptr)
                    continue;
                if (auto* label = qobject_cast<QLabel*>(widget)) {
                    EXPECT_EQ(label->text(), QString::fromUtf8(row.text));
                } else if (auto* button = qobject_cast<QToolButton*>(widget)) {
                    EXPECT_EQ(button->text(), QString::fromUtf8(row.text));
                }
            }
            for (QToolButton* button : { box.BtnMail, box.BtnHome, box.BtnHome2, box.SpeedButton2 })
                EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
            EXPECT_FALSE(box.SpeedButton2->autoRaise()) << "the one button that is not flat";
            EXPECT_TRUE(box.SpeedButton1->autoRaise());
            EXPECT_EQ(box.SpeedButton1->layoutDirection(), Qt::RightToLeft) << "picture right of the caption";
        });
    }

    TEST_F(AboutBoxTest, FontsOfTheForm)
    {
        TAboutBox box(Environment());
        struct Row {
            QWidget* widget;
            const char* family;
            int pixels;
            bool bold;
        };
        const Row rows[] = {
            { &box, "Liberation Serif", 13, false },
            { box.ProductName, "Liberation Serif", 16, true },
            { box.VersNo, "Liberation Serif", 13, true },
            { box.Release, "Liberation Serif", 13, false },
            { box.Label6, "Liberation Serif", 12, true },
            { box.Label9, "Liberation Serif", 11, false },
            { box.Comments, "Liberation Sans", 10, false },
            { box.URLlink, "Liberation Sans", 10, true },
        };
        for (const Row& row : rows) {
            SCOPED_TRACE(row.widget->objectName().toStdString());
            const QFontInfo info(row.widget->font());
            EXPECT_EQ(info.family(), QString::fromLatin1(row.family)) << "fonts-liberation2 installed?";
            EXPECT_EQ(info.pixelSize(), row.pixels);
            EXPECT_EQ(info.bold(), row.bold);
        }
        EXPECT_EQ(box.URLlink->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    }

    TEST_F(AboutBoxTest, TheLinkTextFitsItsPlaceBesideTheOkButton)
    {
        TAboutBox box(Environment());
        const QRect link = box.URLlink->geometry();
        const QRect words = box.URLlink->fontMetrics().boundingRect(
            QRect(0, 0, link.width(), 1000), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, box.URLlink->text());
        EXPECT_LE(words.width(), link.width());
        EXPECT_LE(words.height(), link.height()) << "every line of the link is shown";
        EXPECT_FALSE(link.intersects(box.SpeedButton1->geometry())) << "no word lies under the OK caption";
    }

    TEST_F(AboutBoxTest, DiskLinesListEveryVolumeAndSplitWhereTheFirstIsFull)
    {
        m_info->disks
            = { { "/", 120LL << 30 }, { "/boot", 300 << 20 }, { "/home", 2LL << 40 }, { "/mnt/nas", std::nullopt } };
        TAboutBox box(Environment());
        box.ShowDisks();
        const QString first = box.DiskFree->text();
        const QString second = box.DiskFree1->text();
        EXPECT_TRUE(first.startsWith(QStringLiteral("/: 122880 MB  /boot: 300 MB  "))) << first.toStdString();
        EXPECT_FALSE(second.isEmpty());
        EXPECT_EQ(first + second, QStringLiteral("/: 122880 MB  /boot: 300 MB  /home: 2097152 MB  /mnt/nas: ? MB  "))
            << "nothing lost between the lines; the unreadable share does not end the list";
        EXPECT_LE(box.DiskFree->geometry().right(), TAboutBox::kDiskLineRight);
        EXPECT_EQ(
            box.DiskFree->toolTip(), QStringLiteral("/: 122880 MB\n/boot: 300 MB\n/home: 2097152 MB\n/mnt/nas: ? MB"));
        EXPECT_EQ(box.DiskFree1->toolTip(), box.DiskFree->toolTip());

        // More than two lines hold: the second is shortened, the tool tip still has them all.
        for (int i = 0; i < 20; ++i)
            m_info->disks.push_back({ "/mnt/extra" + std::to_string(i), 1LL << 30 });
        box.ShowDisks();
        EXPECT_TRUE(box.DiskFree1->text().endsWith(QChar(0x2026))) << box.DiskFree1->text().toStdString();
        EXPECT_LE(box.DiskFree1->geometry().right(), TAboutBox::kDiskLineRight);
        EXPECT_TRUE(box.DiskFree1->toolTip().endsWith(QStringLiteral("/mnt/extra19: 1024 MB")));
    }

    TEST_F(AboutBoxTest, ButtonsOpenTheAddressesAndOnlyMailReportsAFailure)
    {
        m_info->programFileName = "my tarvo&co";
        TAboutBox box(Environment());
        EXPECT_EQ(MessageAfterClicking(*box.BtnMail), QString());
        EXPECT_EQ(MessageAfterClicking(*box.BtnHome), QString());
        EXPECT_EQ(MessageAfterClicking(*box.BtnHome2), QString());
        EXPECT_EQ(MessageAfterClicking(*box.SpeedButton2), QString());
        EXPECT_EQ(m_opened,
            (std::vector<std::string> { "mailto:author@oskavel.example?subject=my%20tarvo%26co",
                "https://oskavel.example/software", "https://oskavel.example/", "https://oskavel.example/tarvo" }));

        m_openWorks = false;
        EXPECT_EQ(MessageAfterClicking(*box.BtnMail), QStringLiteral("An Error occurred with Mail!"));
        EXPECT_EQ(MessageAfterClicking(*box.BtnHome), QString());
        EXPECT_EQ(MessageAfterClicking(*box.SpeedButton2), QString());
    }

    class Drag
    {
    public:
        explicit Drag(TAboutBox& box)
            : m_box(box)
        {
        }
        // Pointer positions are in Panel1's coordinates; the events carry them in Comments'.
        void Press(int panelY) { Send(QEvent::MouseButtonPress, panelY, Qt::LeftButton, Qt::LeftButton); }
        void MoveTo(int panelY, Qt::MouseButtons buttons = Qt::LeftButton)
        {
            Send(QEvent::MouseMove, panelY, Qt::NoButton, buttons);
        }
        void Release(int panelY) { Send(QEvent::MouseButtonRelease, panelY, Qt::LeftButton, Qt::NoButton); }

    private:
        void Send(QEvent::Type type, int panelY, Qt::MouseButton button, Qt::MouseButtons buttons)
        {
            const QPointF local(10, panelY - m_box.Comments->y());
            QMouseEvent event(type, local, m_box.Comments->mapToGlobal(local), button, buttons, Qt::NoModifier);
            QCoreApplication::sendEvent(m_box.Comments, &event);
        }
        TAboutBox& m_box;
    };

    TEST_F(AboutBoxTest, DraggingTheCommentsStopsStrictlyInsideThePanel)
    {
        TAboutBox box(Environment());
        box.FitComments();
        const int lowest = box.Panel1->height() - box.Comments->height(); // -227
        Drag drag(box);
        drag.Press(100);
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
        drag.MoveTo(104);
        EXPECT_EQ(box.Comments->y(), 0) << "the top never moves below the panel's top";
        drag.MoveTo(90);
        EXPECT_EQ(box.Comments->y(), -10) << "the text follows the pointer";
        drag.MoveTo(60, Qt::NoButton);
        EXPECT_EQ(box.Comments->y(), -10) << "only with the left button down";
        for (int y = 90; y >= -400; --y)
            drag.MoveTo(y);
        EXPECT_EQ(box.Comments->y(), lowest + 1);
        for (int y = -400; y <= 400; ++y)
            drag.MoveTo(y);
        EXPECT_EQ(box.Comments->y(), -1);
        drag.Release(400);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }

    TEST_F(AboutBoxTest, PictureTilesTheBackgroundUnderTheControls)
    {
        TAboutBoxDlg dialog(nullptr, Environment());
        dialog.SetComments(QStringLiteral("Tarvo adds up what lies below each folder.\n\nTarvo draws it as bars and "
                                          "as a pie.\n\nTarvo only reads the disk."));
        QImage picture;
        ExecuteWith(dialog, [&picture](TAboutBox& box) { picture = box.grab().toImage(); });
        ASSERT_EQ(picture.size(), QSize(344, 430));
        picture.save(test::PicturesFolder() + QStringLiteral("/about-box.png"));

        const QImage tile = AboutBackground();
        ASSERT_EQ(tile.size(), QSize(100, 100));
        EXPECT_EQ(tile.depth(), 24);
        // A free band below the buttons and a free column right of everything.
        QSet<QRgb> colours;
        for (int x = 2; x < 342; ++x) {
            for (const int y : { 93, 100 }) {
                EXPECT_EQ(picture.pixel(x, y), tile.pixel(x % 100, y % 100)) << x << ", " << y;
                colours.insert(picture.pixel(x, y));
            }
        }
        for (int y = 0; y < 430; ++y)
            EXPECT_EQ(picture.pixel(341, y), tile.pixel(41, y % 100)) << y;
        EXPECT_GT(colours.size(), 20) << "a picture, not one flat colour";
        EXPECT_NE(picture.pixel(20, 150), tile.pixel(20, 50)) << "the silver panel covers the tiles";
    }

    TEST(AboutPictures, FiveDistinctGlyphs)
    {
        test::EnsureQtTestApp();
        std::vector<QImage> glyphs;
        for (const AboutGlyph glyph : { AboutGlyph::agMail, AboutGlyph::agHomePages, AboutGlyph::agDownloads,
                 AboutGlyph::agUpdates, AboutGlyph::agClose }) {
            const QSize size = AboutGlyphSize(glyph);
            QImage image = AboutGlyphIcon(glyph).pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
            image.setDevicePixelRatio(1);
            EXPECT_EQ(image.size(), size);
            int opaque = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x)
                    opaque += qAlpha(image.pixel(x, y)) == 255 ? 1 : 0;
            }
            EXPECT_GT(opaque, image.width() * image.height() / 10) << "a glyph, not an empty square";
            EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "the button shows around it";
            for (const QImage& other : glyphs)
                EXPECT_NE(image, other.scaled(image.size()));
            glyphs.push_back(image);
        }
    }

} // namespace
} // namespace tarvo
