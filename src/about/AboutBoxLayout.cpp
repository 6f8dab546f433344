// The about window's controls at their places, with their fonts, texts and hints.

#include "AboutBox.h"
#include "AboutPictures.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QStringList>
#include <QToolButton>

namespace tarvo
{

namespace
{

    constexpr QRgb kSilver = 0xC0C0C0;

    // A font by its name, or by the installed font that measures most like it.
    QFont FontLike(const char* family, const char* twin, int pixels, bool bold)
    {
        QFont font;
        font.setFamilies({ QString::fromLatin1(family), QString::fromLatin1(twin) });
        font.setPixelSize(pixels);
        font.setBold(bold);
        return font;
    }

    // Times New Roman's metric twin is Liberation Serif; MS Sans Serif has none, Liberation Sans
    // comes closest.
    QFont SerifFont(int pixels, bool bold = false)
    {
        return FontLike("Times New Roman", "Liberation Serif", pixels, bold);
    }
    QFont SansFont(int pixels, bool bold = false) { return FontLike("MS Sans Serif", "Liberation Sans", pixels, bold); }

    // Labels are transparent (QLabel paints no background) and size themselves to their text.
    QLabel* Label(QWidget* parent, const char* name, int left, int top, const QString& text, const QFont& font)
    {
        auto* label = new QLabel(text, parent);
        label->setObjectName(QString::fromLatin1(name));
        label->setTextFormat(Qt::PlainText);
        label->setFont(font);
        label->move(left, top);
        label->adjustSize();
        return label;
    }

    QFrame* Bevel(QWidget* parent, const char* name, const QRect& geometry)
    {
        auto* bevel = new QFrame(parent);
        bevel->setObjectName(QString::fromLatin1(name));
        bevel->setFrameShape(QFrame::HLine);
        bevel->setFrameShadow(QFrame::Sunken);
        bevel->setGeometry(geometry);
        return bevel;
    }

    QFrame* SilverPanel(QWidget* parent, const char* name, const QRect& geometry)
    {
        auto* panel = new QFrame(parent);
        panel->setObjectName(QString::fromLatin1(name));
        panel->setGeometry(geometry);
        QPalette palette = panel->palette();
        palette.setColor(QPalette::Window, QColor::fromRgb(kSilver));
        panel->setPalette(palette);
        panel->setAutoFillBackground(true);
        return panel;
    }

    // A speed button with a picture; the flat ones show a border only under the mouse.
    QToolButton* PictureButton(
        QWidget* parent, const char* name, const QRect& geometry, AboutGlyph glyph, bool flat, const QString& hint)
    {
        auto* button = new QToolButton(parent);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(geometry);
        button->setAutoRaise(flat);
        button->setIcon(AboutGlyphIcon(glyph));
        button->setIconSize(AboutGlyphSize(glyph));
        button->setToolTip(hint);
        button->setFocusPolicy(Qt::NoFocus); // speed buttons never take the focus
        button->setCursor(Qt::PointingHandCursor);
        return button;
    }

    QString Text(const char* text) { return QString::fromUtf8(text); }

} // namespace

void TAboutBox::CreateComponents()
{
    setFixedSize(344, 430);
    setFont(SerifFont(13));
    CreateHeading();
    CreateComments();
    CreateSystemLines();
    CreateLinks();
}

void TAboutBox::CreateHeading()
{
    ProductName = Label(this, "ProductName", 7, 2, Text("ProductName"), SerifFont(16, true));
    Panel3 = new QFrame(this);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel3->setGeometry(9, 40, 40, 40);
    ProgramIcon2 = new QLabel(Panel3);
    ProgramIcon2->setObjectName(QStringLiteral("ProgramIcon2"));
    ProgramIcon2->setGeometry(4, 4, 32, 32);

    Label8 = Label(this, "Label8", 78, 29, Text("Version"), SerifFont(13, true));
    VersNo = Label(this, "VersNo", 126, 29, Text("0.0"), SerifFont(13, true));
    ReleaseLbl = Label(this, "ReleaseLbl", 78, 44, Text("Release"), font());
    Release = Label(this, "Release", 126, 44, Text("0"), font());
    BuildL = Label(this, "BuildL", 78, 59, Text("Build"), font());
    Build = Label(this, "Build", 126, 59, Text("0"), font());
    Label7 = Label(this, "Label7", 78, 74, Text("Copyright"), font());
    Label5 = Label(this, "Label5", 137, 74, Text("\u00A9"), font());
    Copyright = Label(this, "Copyright", 150, 74, QString(), font());

    BtnMail
        = PictureButton(this, "BtnMail", QRect(237, 12, 46, 37), AboutGlyph::agMail, true, Text(AboutAddresses::kMail));
    BtnHome2 = PictureButton(this, "BtnHome2", QRect(287, 12, 49, 37), AboutGlyph::agHomePages, true,
        Text(AboutAddresses::kMainPages) + Text(" (Main and Themes Pages)"));
    BtnHome = PictureButton(this, "BtnHome", QRect(287, 52, 49, 37), AboutGlyph::agDownloads, true,
        Text(AboutAddresses::kSoftware) + Text(" (Software Downloads)"));
}

void TAboutBox::CreateComments()
{
    Bevel2 = Bevel(this, "Bevel2", QRect(7, 105, 324, 2));
    Panel2 = SilverPanel(this, "Panel2", QRect(8, 112, 325, 129));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken); // inner and outer bevel lowered
    Panel2->setLineWidth(2);
    Panel1 = SilverPanel(Panel2, "Panel1", QRect(8, 3, 297, 123));
    Comments = new QLabel(Panel1);
    Comments->setObjectName(QStringLiteral("Comments"));
    Comments->setGeometry(0, 0, 297, 350);
    Comments->setFont(SansFont(10));
    Comments->setTextFormat(Qt::PlainText);
    Comments->setWordWrap(true);
    Comments->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Comments->setToolTip(Text("Drag to scroll"));
    Comments->installEventFilter(this);
    Label9 = Label(this, "Label9", 56, 242, Text("Left mouse click on text to drag window!"), SerifFont(11));
}

void TAboutBox::CreateSystemLines()
{
    Bevel1 = Bevel(this, "Bevel1", QRect(7, 262, 331, 2));
    Label6 = Label(this, "Label6", 9, 268, Text("DiskFree:"), SerifFont(12, true));
    DiskFree = Label(this, "DiskFree", 74, 268, QString(), font());
    DiskFree1 = Label(this, "DiskFree1", 74, 288, QString(), font());
    Label4 = Label(this, "Label4", 9, 305, Text("Memory  :"), SerifFont(12, true));
    Memory = Label(this, "Memory", 74, 305, QString(), font());
    Label1 = Label(this, "Label1", 9, 326, Text("System    :"), SerifFont(12, true));
    OSName = Label(this, "OSName", 74, 326, Text("unknown"), font());
    Label2 = Label(this, "Label2", 9, 346, Text("Version   :"), SerifFont(12, true));
    OSVersion = Label(this, "OSVersion", 74, 346, QString(), font());
    Bevel3 = Bevel(this, "Bevel3", QRect(7, 366, 331, 2));
}

void TAboutBox::CreateLinks()
{
    SpeedButton2 = PictureButton(
        this, "SpeedButton2", QRect(7, 382, 89, 33), AboutGlyph::agUpdates, false, Text(AboutAddresses::kUpdates));
    URLlink = new QLabel(
        Text("Suggestions, Bugs? Mail me or visit Oskavel for Updates, other Programs  or Desktop Themes !"), this);
    URLlink->setObjectName(QStringLiteral("URLlink"));
    URLlink->setTextFormat(Qt::PlainText);
    // The design's 206 pixels ran under the OK button beside it; ending before the button wraps
    // the words onto a third line instead of under its caption.
    URLlink->setGeometry(99, 378, kUrlLinkWidth, 39);
    URLlink->setWordWrap(true);
    URLlink->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    URLlink->setFont(SansFont(10, true));
    QPalette blue = URLlink->palette();
    blue.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0xFF));
    URLlink->setPalette(blue);
    URLlink->setToolTip(Text(AboutAddresses::kSoftware) + QLatin1Char('\n') + Text(AboutAddresses::kMainPages));

    SpeedButton1 = PictureButton(
        this, "SpeedButton1", QRect(280, 380, 53, 39), AboutGlyph::agClose, true, Text("Close About Box"));
    SpeedButton1->setText(Text("OK"));
    SpeedButton1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    SpeedButton1->setLayoutDirection(Qt::RightToLeft); // the picture right of the caption
    SpeedButton1->unsetCursor();
}

} // namespace tarvo
