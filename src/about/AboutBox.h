#pragma once

#include "SystemInfo.h"

#include <QDialog>
#include <QImage>

#include <functional>
#include <memory>
#include <string>

class QFrame;
class QLabel;
class QMouseEvent;
class QPaintEvent;
class QToolButton;

namespace tarvo
{

// What the about window takes from outside; tests replace both.
struct AboutEnvironment {
    std::shared_ptr<SystemInfo> systemInfo; // required
    // Hands an encoded address to the desktop; false when nothing could be started.
    // Empty: ShellOpenUrl.
    std::function<bool(const std::string& url)> openUrl;
};

// The maker's addresses the window's buttons open.
struct AboutAddresses {
    static constexpr const char* kMail = "author@oskavel.example";
    static constexpr const char* kSoftware = "https://oskavel.example/software"; // BtnHome
    static constexpr const char* kMainPages = "https://oskavel.example/"; // BtnHome2
    static constexpr const char* kUpdates = "https://oskavel.example/tarvo"; // SpeedButton2
};

// The about window: product, version, copyright, a comment text that scrolls by dragging,
// the computer's system, memory and disks, the maker's buttons and the close button, on a tiled
// background. TAboutBoxDlg makes, fills, shows and destroys one per call; the fill steps are
// public so that it can run them in its order.
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    TAboutBox(AboutEnvironment environment, QWidget* parent = nullptr);
    ~TAboutBox() override;
    TAboutBox(const TAboutBox&) = delete;
    TAboutBox& operator=(const TAboutBox&) = delete;

    void LoadBackground(); // "BACKGND" becomes the brush the form is filled with
    void FitComments(); // Comments one bevel narrower than Panel2, Panel1 as wide as Panel2
    void ShowSystem(); // OSName, OSVersion, Memory
    void ShowDisks(); // DiskFree, DiskFree1 and their tool tip
    // The program's own version, not the component's Version.
    void ShowProduct(const QString& productName, const QString& copyright, const QString& comments);
    void ShowCaption();

    void BtnMailClick();
    void BtnHomeClick();
    void BtnHome2Click();
    void SpeedButton2Click();
    void SpeedButton1Click();

    [[nodiscard]] const std::string& ProgramFileName() const { return m_programFileName; }
    // The mail address with the program's name as subject, encoded.
    [[nodiscard]] std::string MailUrl() const;
    // Where the disk lines may reach: the right end of the bevels.
    static constexpr int kDiskLineRight = 338;
    // The link text ends two pixels left of the OK button (at 280).
    static constexpr int kUrlLinkWidth = 179;

    // Components, under their design names.
    QLabel* ProductName = nullptr;
    QFrame* Panel3 = nullptr;
    QLabel* ProgramIcon2 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* VersNo = nullptr;
    QLabel* ReleaseLbl = nullptr;
    QLabel* Release = nullptr;
    QLabel* BuildL = nullptr;
    QLabel* Build = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Copyright = nullptr;
    QToolButton* BtnMail = nullptr;
    QToolButton* BtnHome2 = nullptr;
    QToolButton* BtnHome = nullptr;
    QFrame* Bevel2 = nullptr;
    QFrame* Panel2 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Comments = nullptr;
    QLabel* Label9 = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* DiskFree = nullptr;
    QLabel* DiskFree1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Memory = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* OSName = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* OSVersion = nullptr;
    QFrame* Bevel3 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QLabel* URLlink = nullptr;
    QToolButton* SpeedButton1 = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateComponents(); // AboutBoxLayout.cpp
    void CreateHeading(); // name, icon, version and the address buttons
    void CreateComments(); // the scrolling comments on their silver panel
    void CreateSystemLines(); // free space, memory and system
    void CreateLinks(); // the updates button, the link text and OK
    void FormCreate();
    void CommentsMouseDown(const QMouseEvent& event);
    void CommentsMouseMove(const QMouseEvent& event);
    void CommentsMouseUp();
    void SetText(QLabel* label, const QString& text); // and let it size itself

    AboutEnvironment m_env;
    std::string m_programFileName;
    QImage m_background;
    int m_dragStartY = 0; // where the press was, in Comments' coordinates
    bool m_cursorOverridden = false;
};

} // namespace tarvo
