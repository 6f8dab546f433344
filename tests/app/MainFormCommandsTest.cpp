// The window's commands: the folder tree toggle, tool tips on and off, printing, and Save
// Picture in its four formats through the real dialog.

#include "AboutBox.h"
#include "ChartPicture.h"
#include "ChartWindow.h"
#include "ExternalTools.h"
#include "HelpWindow.h"
#include "HotEdgeButton.h"
#include "ModalAnswers.h"
#include "TestPictures.h"
#include "panel/ChartPanelTestSupport.h"
#include "panel/ChartPrintGeometry.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHelpEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScrollBar>
#include <QSplitter>
#include <QSvgRenderer>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

namespace tarvo
{
namespace
{

    using test::AnswerModals;
    using test::ChartWindow;

    std::function<void(QWidget&)> SaveAs(const QString& fileName, const char* filter)
    {
        return [=](QWidget& modal) {
            auto* dialog = qobject_cast<QFileDialog*>(&modal);
            ASSERT_NE(dialog, nullptr);
            // As the user picks a filter: from the dialog's list of types.
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            ASSERT_NE(types, nullptr);
            const int index = types->findText(QString::fromLatin1(filter));
            ASSERT_GE(index, 0) << filter;
            types->setCurrentIndex(index);
            Q_EMIT types->activated(index);
            Q_EMIT types->textActivated(types->itemText(index));
            dialog->selectFile(fileName);
            // Later, from the event loop: a question the dialog asks must find the steps free.
            QTimer::singleShot(0, dialog, [dialog] { static_cast<QDialog*>(dialog)->accept(); });
        };
    }

    std::string Head(const QString& fileName, std::size_t bytes)
    {
        std::ifstream in(fileName.toStdString(), std::ios::binary);
        std::string head(bytes, '\0');
        in.read(head.data(), static_cast<std::streamsize>(bytes));
        return head.substr(0, static_cast<std::size_t>(in.gcount()));
    }

    class MainFormCommands : public ChartWindow
    {
    protected:
        // The flat pie of four folders: every slice's middle lies well inside it.
        std::unique_ptr<TForm1> PieWindow()
        {
            for (int i = 0; i < 4; ++i)
                m_fs.AddFile("C:\\Four\\d" + std::to_string(i) + "\\f", 1024 * 1024 * (i + 1));
            auto form = Open();
            form->actToggle3D->trigger();
            Analyse(*form, "C:\\Four");
            return form;
        }

        // The colours the screen shows at the middle of each slice, with those points.
        static std::vector<std::pair<QPoint, TColor>> SliceSamples(TForm1& form)
        {
            const QImage screen = form.Pies->grab().toImage();
            std::vector<std::pair<QPoint, TColor>> samples;
            for (int i = 0; i < 4; ++i) {
                const QPoint p = SliceCentre(form, i);
                samples.push_back({ p, test::PixelColor(screen, p.x(), p.y()) });
            }
            return samples;
        }

        static void ExpectSamples(const QImage& picture, const std::vector<std::pair<QPoint, TColor>>& samples,
            double scale, int tolerance, const char* what)
        {
            ASSERT_FALSE(picture.isNull()) << what;
            for (const auto& [p, color] : samples) {
                const TColor got = test::PixelColor(picture, int(p.x() * scale), int(p.y() * scale));
                EXPECT_TRUE(test::IsNear(got, color, tolerance))
                    << what << " at " << p.x() << ", " << p.y() << ": " << std::hex << got << " not " << color;
            }
        }
    };

    TEST_F(MainFormCommands, TheTreeOpensAtItsLastWidthAndClosesBelowNinePixels)
    {
        auto form = Open(0);
        const auto treeWidth = [&] { return form->Splitter1->sizes().value(0); };
        ASSERT_EQ(treeWidth(), 0);
        form->actO_C_DirTree->trigger();
        EXPECT_EQ(treeWidth(), 170) << "the first opening of a run";
        EXPECT_EQ(form->Splitter1->handleWidth(), 4);
        form->EdgeButton1->click();
        EXPECT_EQ(treeWidth(), 0);
        EXPECT_EQ(form->Splitter1->handleWidth(), 0);
        form->ToggleDirTree();
        EXPECT_EQ(treeWidth(), 170);

        const int total = form->Splitter1->sizes().value(0) + form->Splitter1->sizes().value(1);
        form->Splitter1->setSizes({ 250, total - 250 }); // as the user drags it
        form->ToggleDirTree();
        form->ToggleDirTree();
        EXPECT_EQ(treeWidth(), 250) << "the width it had when it was closed";
        form->Splitter1->setSizes({ 5, total - 5 });
        form->ToggleDirTree();
        EXPECT_EQ(treeWidth(), 250) << "five pixels wide counts as closed";
    }

    TEST_F(MainFormCommands, TheEdgeStripLightsWhileTheMouseIsOverIt)
    {
        auto form = Open(0);
        const auto centre = [&] {
            const QImage strip = form->Panel5->grab().toImage();
            return strip.pixelColor(strip.width() / 2, strip.height() / 2);
        };
        QEnterEvent enter(QPointF(4, 4), QPointF(4, 4), form->EdgeButton1->mapToGlobal(QPointF(4, 4)));
        QApplication::sendEvent(form->EdgeButton1, &enter);
        EXPECT_EQ(centre(), form->palette().color(QPalette::Highlight));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(form->EdgeButton1, &leave);
        EXPECT_EQ(centre(), form->palette().color(QPalette::Button));
    }

    TEST_F(MainFormCommands, HelpOpensAtTheFocusedControlsSectionAndAboutAtItsComments)
    {
        auto form = Open(0);
        form->actHelp->trigger();
        ASSERT_NE(form->HelpWindow, nullptr);
        EXPECT_TRUE(form->HelpWindow->isVisible());
        const int atContents = form->HelpWindow->verticalScrollBar()->value();
        form->ListView1->setFocus();
        form->actContextHelp->trigger();
        EXPECT_GT(form->HelpWindow->verticalScrollBar()->value(), atContents)
            << "the size list's section lies further down";
        form->HelpWindow->close();

        QString comments;
        AnswerModals([&] { form->actAbout->trigger(); }, { [&](QWidget& modal) {
            auto* box = qobject_cast<TAboutBox*>(&modal);
            ASSERT_NE(box, nullptr);
            comments = box->Comments->text();
            QTimer::singleShot(0, box, [box] { box->reject(); });
        } });
        EXPECT_EQ(comments.split(QStringLiteral("\n\n")).size(), 3);
        for (const QString& paragraph : comments.split(QStringLiteral("\n\n")))
            EXPECT_TRUE(paragraph.contains(QStringLiteral("Tarvo"))) << paragraph.toStdString();

        m_helpFilePlaces = { m_tree.Path() + "/" };
        auto helpless = Open(0);
        test::ShownMessages().clear();
        helpless->actHelp->trigger();
        ASSERT_EQ(test::ShownMessages().size(), 1U) << "help without its file";
        const std::string message = test::ShownMessages()[0].toStdString();
        EXPECT_TRUE(message.find(m_tree.Path()) != std::string::npos)
            << "the message names where the file was looked for: " << message;
    }

    TEST_F(MainFormCommands, HintsOffSilenceTheWindowButNotThePie)
    {
        auto form = Open(2);
        const auto tipOf = [](QWidget& widget) {
            QToolTip::hideText();
            // The tip goes later: until then it still answers with its old text.
            EXPECT_TRUE(test::ProcessEventsUntil([] {
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                return !QToolTip::isVisible();
            }));
            const QPoint at = widget.rect().center();
            QHelpEvent event(QEvent::ToolTip, at, widget.mapToGlobal(at));
            QApplication::sendEvent(&widget, &event);
            return QToolTip::text();
        };
        EXPECT_EQ(tipOf(*form->RunBut), form->actRun->toolTip());
        form->actHint->trigger();
        EXPECT_FALSE(form->actHint->isChecked());
        EXPECT_EQ(tipOf(*form->RunBut), QString());
        EXPECT_EQ(tipOf(*form->Pies), form->Pies->toolTip()) << "the pie's own hint stays";
        form->actHint->trigger();
        EXPECT_EQ(tipOf(*form->RunBut), form->actRun->toolTip());
        QToolTip::hideText();
    }

    TEST_F(MainFormCommands, PrintingNeedsAChartPageAndAPrinter)
    {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            GTEST_SKIP() << "a printer is installed here";
        auto form = Open(0);
        form->actPrint->trigger();
        EXPECT_TRUE(test::ShownMessages().empty()) << "the size list prints nothing";
        PickPage(*form, 2);
        QTest::keyClick(form.get(), Qt::Key_P, Qt::ControlModifier);
        ASSERT_EQ(test::ShownMessages().size(), 1U);
        EXPECT_EQ(test::ShownMessages()[0], QStringLiteral("No printer is installed: the chart cannot be printed."));
    }

    TEST_F(MainFormCommands, APrintedPieIsOnePageTitledPiesWithTheSlicesInItsPrintedArea)
    {
        TARVO_REQUIRE_TOOL(test::Tool::tlPdfinfo);
        TARVO_REQUIRE_TOOL(test::Tool::tlPdftoppm);
        auto form = PieWindow();
        const auto samples = SliceSamples(*form);
        const QString pdf = test::PicturesFolder() + QStringLiteral("/window-pie-printed.pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setFullPage(true);
        form->Pies->PrintOn(printer);

        const std::string info = test::RunTool(test::Tool::tlPdfinfo, { pdf.toStdString() }).output;
        const auto field = [&info](const std::string& name) {
            std::istringstream lines(info);
            for (std::string line; std::getline(lines, line);)
                if (line.starts_with(name + ":"))
                    return line.substr(line.find_first_not_of(' ', name.size() + 1));
            return std::string();
        };
        EXPECT_EQ(field("Pages"), "1") << info;
        EXPECT_EQ(field("Title"), "Pies") << info;
        const QString prefix = test::PicturesFolder() + QStringLiteral("/window-pie-printed");
        ASSERT_EQ(test::RunTool(test::Tool::tlPdftoppm,
                      { "-png", "-r", "50", "-singlefile", pdf.toStdString(), prefix.toStdString() })
                      .exitCode,
            0);
        const QImage page(prefix + QStringLiteral(".png"));
        ASSERT_FALSE(page.isNull());
        // Screen pixels go onto the printed area of the page, stretched.
        const TRect area = PrintPageRect(form->Pies->PrintMarginPercents(), printer.width(), printer.height());
        const double toPng = double(page.width()) / printer.width();
        for (const auto& [p, color] : samples) {
            const double x = (area.Left + double(p.x()) * area.Width() / form->Pies->width()) * toPng;
            const double y = (area.Top + double(p.y()) * area.Height() / form->Pies->height()) * toPng;
            EXPECT_TRUE(test::IsNear(test::PixelColor(page, int(x), int(y)), color, 24)) << p.x() << ", " << p.y();
        }
    }

    TEST_F(MainFormCommands, SavePictureWritesEachFormatLikeTheScreen)
    {
        auto form = PieWindow();
        const auto samples = SliceSamples(*form);
        const QString folder = test::PicturesFolder() + QStringLiteral("/window-saved");
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);

        form->PageControl1->SetActivePageIndex(0);
        form->SavePicture(); // no dialog comes on the size list: nothing to answer
        form->PageControl1->SetActivePageIndex(2);

        struct Case {
            const char* name;
            const char* filter;
            const char* written;
            const char* magic;
        };
        const std::vector<Case> cases = {
            { "chart", "Metafile (*.wmf)", "chart.wmf", "\xD7\xCD\xC6\x9A" },
            { "x.PNG", "Metafile (*.wmf)", "x.PNG", "\x89PNG" },
            { "drawing", "SVG drawing (*.svg)", "drawing.svg", "<?xm" },
            { "page", "PDF document (*.pdf)", "page.pdf", "%PDF" },
        };
        QStringList openedIn;
        for (const Case& c : cases) {
            const auto save = SaveAs(folder + QLatin1Char('/') + QLatin1String(c.name), c.filter);
            AnswerModals([&] { form->actSavePicture->trigger(); }, { [&](QWidget& modal) {
                openedIn << static_cast<QFileDialog&>(modal).directory().absolutePath();
                save(modal);
            } });
            EXPECT_EQ(Head(folder + QLatin1Char('/') + QLatin1String(c.written), 4), c.magic) << c.name;
        }
        EXPECT_TRUE(test::ShownMessages().empty());
        EXPECT_EQ(openedIn.mid(1), QStringList(3, QDir(folder).absolutePath())) << "the last folder saved to";

        const QString wmf = folder + QStringLiteral("/chart.wmf");
        test::ExpectStrictlyValid(wmf.toStdString());
        ExpectSamples(QImage(folder + QStringLiteral("/x.PNG")), samples, 1.0, 0, "PNG");
        QSvgRenderer svg(folder + QStringLiteral("/drawing.svg"));
        QImage drawn(form->Pies->size(), QImage::Format_RGB32);
        drawn.fill(Qt::white);
        {
            QPainter painter(&drawn);
            svg.render(&painter);
        }
        drawn.save(folder + QStringLiteral("/drawing.png"));
        ExpectSamples(drawn, samples, 1.0, 8, "SVG");

        struct Reader {
            test::Tool tool;
            std::vector<std::string> arguments;
            QString picture;
            double scale;
        };
        const std::vector<Reader> readers = {
            { test::Tool::tlWmf2gd,
                { "-t", "png", "-o", (folder + "/chart-wmf2gd.png").toStdString(), wmf.toStdString() },
                folder + "/chart-wmf2gd.png", 0 },
            { test::Tool::tlConvert,
                { "-density", "96", wmf.toStdString(), (folder + "/chart-convert.png").toStdString() },
                folder + "/chart-convert.png", 0 },
            { test::Tool::tlPdftoppm,
                { "-png", "-r", "96", "-singlefile", (folder + "/page.pdf").toStdString(),
                    (folder + "/page").toStdString() },
                folder + "/page.png", 1.0 },
        };
        for (const Reader& reader : readers) {
            TARVO_REQUIRE_TOOL(reader.tool);
            ASSERT_EQ(test::RunTool(reader.tool, reader.arguments).exitCode, 0) << test::ToolProgram(reader.tool);
            const QImage picture(reader.picture);
            // Metafile readers choose their own resolution; the picture keeps its proportions.
            const double scale = reader.scale > 0 ? reader.scale : double(picture.width()) / form->Pies->width();
            ExpectSamples(picture, samples, scale, 24, test::ToolProgram(reader.tool));
        }
    }

    TEST_F(MainFormCommands, SavingOverAFileAsksAndAFailureLeavesNothing)
    {
        auto form = PieWindow();
        const QString folder = test::PicturesFolder() + QStringLiteral("/window-saved-again");
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        const QString existing = folder + QStringLiteral("/old.png");
        {
            QFile file(existing);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("keep me");
        }
        QString question;
        AnswerModals([&] { form->SavePicture(); },
            { SaveAs(folder + QStringLiteral("/old"), "PNG image (*.png)"),
                [&](QWidget& modal) {
                    auto* box = qobject_cast<QMessageBox*>(&modal);
                    ASSERT_NE(box, nullptr) << "no question before replacing old.png";
                    question = box->text();
                    QTimer::singleShot(0, box, [box] { box->button(QMessageBox::No)->click(); });
                },
                [](QWidget& modal) {
                    QTimer::singleShot(0, &modal, [&modal] { static_cast<QDialog&>(modal).reject(); });
                } });
        EXPECT_TRUE(question.contains(QStringLiteral("old.png"))) << question.toStdString();
        EXPECT_EQ(Head(existing, 16), "keep me");

        // Below a regular file no folder can be made, not even by root.
        const QString impossible = existing + QStringLiteral("/inside.png");
        try {
            SaveChartPicture(*form->Pies, impossible, pfPng);
            FAIL() << "saved below a file";
        } catch (const ChartPictureError& error) {
            EXPECT_TRUE(QString::fromStdString(error.what()).contains(impossible)) << error.what();
        }
        EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList { QStringLiteral("old.png") });
        EXPECT_EQ(PictureFormatFor(QStringLiteral("a.Svg"), pfPdf), pfSvg);
        EXPECT_EQ(PictureFormatFor(QStringLiteral("a.txt"), pfPdf), pfPdf);
    }

} // namespace
} // namespace tarvo
