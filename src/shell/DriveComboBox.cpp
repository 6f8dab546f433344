#include "DriveComboBox.h"

#include "DriveBitmaps.h"

#include <QAbstractItemView>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QPainter>
#include <QStylePainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace tarvo
{

namespace
{

    constexpr int kPictureLeft = 2;
    constexpr int kTextGap = 6;
    constexpr int kKeyRole = Qt::UserRole;
    constexpr int kKindRole = Qt::UserRole + 1;

    std::string Cased(const std::string& text, TTextCase textCase)
    {
        const QString decoded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        return (textCase == tcUpperCase ? decoded.toUpper() : decoded.toLower()).toStdString();
    }

    QString Shown(const std::string& text)
    {
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }

    QPixmap PictureFor(VolumeKind kind, qreal ratio) { return DriveBitmap(DriveBitmapName(kind), ratio); }

    class TDriveItemDelegate : public QStyledItemDelegate
    {
    public:
        explicit TDriveItemDelegate(TDriveComboBox& box)
            : QStyledItemDelegate(&box)
            , m_box(box)
        {
        }

        void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
        {
            const auto kind = static_cast<VolumeKind>(index.data(kKindRole).toInt());
            TDriveComboBox::PaintItem(*painter, option.rect, PictureFor(kind, painter->device()->devicePixelRatioF()),
                index.data(Qt::DisplayRole).toString(), option.palette, option.state & QStyle::State_Selected);
        }

        [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
        {
            const int text = option.fontMetrics.horizontalAdvance(index.data(Qt::DisplayRole).toString());
            return { kDriveBitmapWidth + kTextGap + text + kPictureLeft, m_box.ItemHeight() };
        }

    private:
        TDriveComboBox& m_box;
    };

} // namespace

std::vector<TDriveItem> DriveItems(const std::vector<VolumeInfo>& volumes, const PathStyle& style, TTextCase textCase)
{
    std::vector<VolumeInfo> sorted = volumes;
    std::stable_sort(
        sorted.begin(), sorted.end(), [](const VolumeInfo& a, const VolumeInfo& b) { return a.root < b.root; });
    const bool letters = style.GetKind() == PathStyle::pkWindows;
    std::vector<TDriveItem> items;
    for (const VolumeInfo& volume : sorted) {
        const std::string key = letters ? Cased(volume.root.substr(0, 1), textCase) : volume.root;
        const std::string head = letters ? key + ":" : key;
        // Under drive letters an unlabelled volume reads "d: []" as it always has; a mount point
        // already names its volume, so empty brackets there would only be noise.
        const std::string volumeText
            = letters || !volume.label.empty() ? "[" + Cased(volume.label, textCase) + "]" : std::string();
        std::string detail;
        switch (volume.kind) {
        case VolumeKind::vkRemovable:
            break;
        case VolumeKind::vkRemote:
            detail = volume.source.empty() ? volumeText : Cased(volume.source, textCase);
            break;
        case VolumeKind::vkFixed:
        case VolumeKind::vkCdrom:
        case VolumeKind::vkRam:
            detail = volumeText;
            break;
        }
        const std::string text = detail.empty() ? head : head + " " + detail;
        items.push_back({ key, text, volume.kind });
    }
    return items;
}

TDriveComboBox::TDriveComboBox(FileSystem& fileSystem, QWidget* parent)
    : QComboBox(parent)
    , m_fileSystem(fileSystem)
{
    setItemDelegate(new TDriveItemDelegate(*this));
    UpdateItemHeight();
    // Only the user's pick counts as one; a program's own selection changes go through SetDrive.
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (index >= 0)
            SetDrive(ItemKey(index));
    });
    BuildDriveList();
    m_drive = KeyOfPath(QFile::encodeName(QDir::currentPath()).toStdString());
    SetDrive(m_drive);
}

bool TDriveComboBox::SameKey(const std::string& a, const std::string& b) const
{
    if (m_fileSystem.Style().GetKind() == PathStyle::pkWindows)
        return Cased(a, tcUpperCase) == Cased(b, tcUpperCase);
    return a == b;
}

std::string TDriveComboBox::CasedKey(const std::string& key) const
{
    return m_fileSystem.Style().GetKind() == PathStyle::pkWindows ? Cased(key, m_textCase) : key;
}

int TDriveComboBox::FindKey(const std::string& key) const
{
    for (int i = 0; i < count(); ++i)
        if (SameKey(ItemKey(i), key))
            return i;
    return -1;
}

std::string TDriveComboBox::ItemKey(int index) const
{
    const QByteArray key = itemData(index, kKeyRole).toByteArray();
    return std::string(key.constData(), static_cast<std::size_t>(key.size()));
}

VolumeKind TDriveComboBox::ItemKind(int index) const
{
    return static_cast<VolumeKind>(itemData(index, kKindRole).toInt());
}

void TDriveComboBox::SetDrive(const std::string& value)
{
    if (currentIndex() >= 0 && SameKey(value, m_drive))
        return;
    if (!value.empty()) {
        m_drive = CasedKey(value);
        if (const int index = FindKey(m_drive); index >= 0)
            setCurrentIndex(index);
    } else {
        m_drive.clear();
        setCurrentIndex(-1);
    }
    if (OnChange)
        OnChange(*this);
}

void TDriveComboBox::SetTextCase(TTextCase value)
{
    m_textCase = value;
    BuildDriveList();
    SetDrive(m_drive);
}

void TDriveComboBox::BuildDriveList()
{
    clear();
    for (const TDriveItem& item : DriveItems(m_fileSystem.Volumes(), m_fileSystem.Style(), m_textCase)) {
        addItem(Shown(item.text), QByteArray::fromStdString(item.key));
        setItemData(count() - 1, static_cast<int>(item.kind), kKindRole);
    }
}

void TDriveComboBox::RefreshVolumes()
{
    BuildDriveList();
    setCurrentIndex(m_drive.empty() ? -1 : FindKey(m_drive));
}

std::string TDriveComboBox::KeyOfPath(const std::string& path) const
{
    const PathStyle& style = m_fileSystem.Style();
    if (style.GetKind() == PathStyle::pkWindows)
        return path.empty() || style.IsSeparator(path.front()) ? std::string() : CasedKey(path.substr(0, 1));
    std::string best;
    for (int i = 0; i < count(); ++i) {
        const std::string key = ItemKey(i);
        if (style.Holds(key, path) && key.size() > best.size())
            best = key;
    }
    return best;
}

void TDriveComboBox::UpdateItemHeight() { m_itemHeight = std::max(fontMetrics().height(), kDriveBitmapHeight); }

void TDriveComboBox::showPopup()
{
    RefreshVolumes(); // a stick may have come since the list was last shown
    int widest = width();
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest, itemDelegate()->sizeHint(QStyleOptionViewItem(), model()->index(i, 0)).width() + 8);
    view()->setMinimumWidth(widest);
    QComboBox::showPopup();
}

void TDriveComboBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0)
        return;
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    PaintItem(painter, field, PictureFor(ItemKind(currentIndex()), devicePixelRatioF()), currentText(), palette(),
        hasFocus());
}

void TDriveComboBox::changeEvent(QEvent* event)
{
    QComboBox::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        UpdateItemHeight();
        RefreshVolumes();
    }
}

void TDriveComboBox::PaintItem(QPainter& painter, const QRect& rect, const QPixmap& picture, const QString& text,
    const QPalette& palette, bool selected)
{
    painter.fillRect(rect, palette.brush(selected ? QPalette::Highlight : QPalette::Base));
    int textLeft = rect.left() + kDriveBitmapWidth + kTextGap;
    if (!picture.isNull()) {
        const int height = qRound(picture.height() / picture.devicePixelRatio());
        const int width = qRound(picture.width() / picture.devicePixelRatio());
        // Rounded toward zero, as integer division does.
        const int top = (rect.top() + rect.top() + rect.height() - height) / 2;
        painter.drawPixmap(rect.left() + kPictureLeft, top, picture);
        textLeft = rect.left() + width + kTextGap;
    }
    painter.setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect textRect(textLeft, rect.top(), std::max(0, rect.right() - textLeft + 1), rect.height());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

} // namespace tarvo
