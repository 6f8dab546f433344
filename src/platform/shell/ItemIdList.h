#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo
{

// What one record of an item identifier list names. The values are the kind byte written into
// the record, so they must never change: stored selections (the list's text) depend on them.
enum class ItemKind : std::uint8_t {
    ikHome = 0x01, // the user's home folder, directly under the Desktop; no payload
    ikComputer = 0x02, // the list of volumes, directly under the Desktop; no payload
    ikVolume = 0x10, // payload: the volume's root bytes ("/", "/media/usb", "C:\")
    ikFolder = 0x20, // payload: the raw name of a folder or of a link to one
    ikNonFolder = 0x21, // payload: the raw name of anything else
};

// One record seen inside a list; the payload points into the list's bytes.
struct ItemRecord {
    ItemKind kind = ItemKind::ikFolder;
    std::string_view payload;
};

// The address of an item of our namespace: records of a little-endian 16-bit byte count (the
// count itself included), a kind byte and a payload, ended by a zero count. A list is a value
// (copying copies the bytes, nothing is shared or freed by hand) and is always well formed:
// the only ways in are the checked FromBytes and the record builders. Nothing mutable (labels,
// sizes, times) is recorded, so two lists name the same item exactly when their bytes are equal.
class TItemIdList
{
public:
    // The empty list: the Desktop.
    TItemIdList();

    // nullopt unless the bytes form a well-formed list (see IsWellFormed).
    [[nodiscard]] static std::optional<TItemIdList> FromBytes(std::string bytes);
    // A one-record list. Throws std::length_error when the payload does not fit a record and
    // std::invalid_argument for a payload the kind does not allow (see IsWellFormed).
    [[nodiscard]] static TItemIdList Record(ItemKind kind, std::string_view payload = {});

    // Every record has a count of at least 3 and lies wholly before the terminator, the
    // terminator ends the bytes, every kind byte is one of ItemKind, Home and Computer carry no
    // payload and the others carry one.
    [[nodiscard]] static bool IsWellFormed(std::string_view bytes);

    // The bytes, terminator included.
    [[nodiscard]] const std::string& Bytes() const { return m_bytes; }
    // Size in bytes including the terminator.
    [[nodiscard]] std::size_t Size() const { return m_bytes.size(); }
    [[nodiscard]] bool IsEmpty() const { return m_bytes.size() == 2; }
    [[nodiscard]] std::size_t Count() const;
    [[nodiscard]] std::vector<ItemRecord> Records() const;
    // The last record; the list must not be empty.
    [[nodiscard]] ItemRecord Last() const;

    // A copy without the last record (the containing item); the Desktop stays the Desktop.
    [[nodiscard]] TItemIdList WithoutLast() const;
    // The first record alone.
    [[nodiscard]] TItemIdList First() const;
    // The last record alone: the item's relative list inside its parent.
    [[nodiscard]] TItemIdList LastAsList() const;
    // This list followed by every record of relative.
    [[nodiscard]] TItemIdList Combined(const TItemIdList& relative) const;
    // True when this list is other or lies above it (any ancestor, record by record).
    [[nodiscard]] bool IsParentOf(const TItemIdList& other) const;

    bool operator==(const TItemIdList& other) const = default;

private:
    explicit TItemIdList(std::string bytes)
        : m_bytes(std::move(bytes))
    {
    }
    // Offset of the last record's count field; the list must not be empty.
    [[nodiscard]] std::size_t LastOffset() const;

    std::string m_bytes;
};

struct TItemIdListHash {
    std::size_t operator()(const TItemIdList& list) const noexcept { return std::hash<std::string> {}(list.Bytes()); }
};

// A text that should be a number is not one (the class library's conversion error).
class EConvertError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The list as text: "#" and the decimal value of every byte, terminator included ("#20#0..."),
// used to remember a selection. The Desktop gives the empty text.
[[nodiscard]] std::string PIDLToString(const TItemIdList& list);
// The reverse: every run after a "#" is a decimal number whose low 8 bits make the next byte;
// text before the first "#" is ignored; the empty text gives the Desktop. A run that is not a
// decimal number raises EConvertError; bytes that do not form a well-formed list give nullopt,
// so a damaged text can never be read past its end later.
[[nodiscard]] std::optional<TItemIdList> StringToPIDL(std::string_view text);

} // namespace tarvo
