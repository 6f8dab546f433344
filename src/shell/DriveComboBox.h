#pragma once

#include "FileSystem.h"

#include <QComboBox>

#include <functional>
#include <string>
#include <vector>

namespace tarvo
{

enum class TTextCase { tcLowerCase, tcUpperCase };
using enum TTextCase;

// One volume as the selector lists it: found by its key (a drive letter under drive letters,
// else the mount point), never by its text, since "/" begins every text.
struct TDriveItem {
    std::string key;
    std::string text;
    VolumeKind kind = VolumeKind::vkFixed;
    bool operator==(const TDriveItem&) const = default;
};

// The items for these volumes, ordered by mount point bytes ("/" first). Drive letters read
// "c: [system]", "a:", "z: \\server\share"; mount points stand in the letter's place without a
// colon: "/ []", "/media/ann/STICK", "/mnt/nas //nas/share". TextCase converts letters, labels
// and network texts, never a mount point (another case would name another folder).
[[nodiscard]] std::vector<TDriveItem> DriveItems(
    const std::vector<VolumeInfo>& volumes, const PathStyle& style, TTextCase textCase);

// The drop-down list of volumes in the tool bar, each with a picture of its kind. Drive is a
// volume key; writing it selects that volume's item and raises OnChange, as the user's pick
// does. The list follows the mount table when RefreshVolumes is called and before it drops down.
class TDriveComboBox : public QComboBox
{
public:
    explicit TDriveComboBox(FileSystem& fileSystem, QWidget* parent = nullptr);

    [[nodiscard]] const std::string& Drive() const { return m_drive; }
    void SetDrive(const std::string& value);
    [[nodiscard]] TTextCase TextCase() const { return m_textCase; }
    // Rebuilds the list and writes Drive again.
    void SetTextCase(TTextCase value);
    virtual void BuildDriveList();
    // The volumes read again: the current key stays selected (nothing when its volume went),
    // without OnChange.
    void RefreshVolumes();
    // The key of the volume holding a path: its first character under drive letters, else the
    // longest listed mount point containing it on component boundaries; empty for none.
    [[nodiscard]] std::string KeyOfPath(const std::string& path) const;
    [[nodiscard]] std::string ItemKey(int index) const;
    [[nodiscard]] VolumeKind ItemKind(int index) const;
    // The larger of the font's height and the pictures' 11 pixels.
    [[nodiscard]] int ItemHeight() const { return m_itemHeight; }

    std::function<void(TDriveComboBox& sender)> OnChange;

    // One item as the list and the closed box draw it: the picture from 2 pixels in, centred;
    // the text from the picture's width + 6, on one line, "&" as it is.
    static void PaintItem(QPainter& painter, const QRect& rect, const QPixmap& picture, const QString& text,
        const QPalette& palette, bool selected);

protected:
    void showPopup() override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    [[nodiscard]] bool SameKey(const std::string& a, const std::string& b) const;
    [[nodiscard]] std::string CasedKey(const std::string& key) const;
    [[nodiscard]] int FindKey(const std::string& key) const;
    void UpdateItemHeight();

    FileSystem& m_fileSystem;
    std::string m_drive;
    TTextCase m_textCase = tcLowerCase;
    int m_itemHeight = 11;
};

} // namespace tarvo
