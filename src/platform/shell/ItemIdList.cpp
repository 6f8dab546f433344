#include "ItemIdList.h"

#include <charconv>

namespace tarvo
{

namespace
{

    constexpr std::size_t kCountBytes = 2;
    constexpr std::size_t kHeaderBytes = 3; // count and kind
    constexpr std::size_t kMaxRecordBytes = 0xFFFF;

    std::size_t CountAt(std::string_view bytes, std::size_t offset)
    {
        return static_cast<unsigned char>(bytes[offset])
            | (static_cast<std::size_t>(static_cast<unsigned char>(bytes[offset + 1])) << 8);
    }

    bool IsKnownKind(unsigned char kind)
    {
        switch (static_cast<ItemKind>(kind)) {
        case ItemKind::ikHome:
        case ItemKind::ikComputer:
        case ItemKind::ikVolume:
        case ItemKind::ikFolder:
        case ItemKind::ikNonFolder:
            return true;
        }
        return false;
    }

    bool TakesPayload(ItemKind kind) { return kind != ItemKind::ikHome && kind != ItemKind::ikComputer; }

    std::string TerminatedRecord(ItemKind kind, std::string_view payload)
    {
        const std::size_t count = kHeaderBytes + payload.size();
        std::string bytes;
        bytes.reserve(count + kCountBytes);
        bytes.push_back(static_cast<char>(count & 0xFF));
        bytes.push_back(static_cast<char>(count >> 8));
        bytes.push_back(static_cast<char>(kind));
        bytes.append(payload);
        bytes.append(kCountBytes, '\0');
        return bytes;
    }

} // namespace

TItemIdList::TItemIdList()
    : m_bytes(kCountBytes, '\0')
{
}

bool TItemIdList::IsWellFormed(std::string_view bytes)
{
    std::size_t offset = 0;
    for (;;) {
        if (offset + kCountBytes > bytes.size())
            return false; // no terminator
        const std::size_t count = CountAt(bytes, offset);
        if (count == 0)
            return offset + kCountBytes == bytes.size(); // nothing may follow the terminator
        if (count < kHeaderBytes || offset + count + kCountBytes > bytes.size())
            return false; // too short to hold its kind, or running into the end
        const auto kind = static_cast<unsigned char>(bytes[offset + 2]);
        if (!IsKnownKind(kind))
            return false;
        if (TakesPayload(static_cast<ItemKind>(kind)) != (count > kHeaderBytes))
            return false;
        offset += count;
    }
}

std::optional<TItemIdList> TItemIdList::FromBytes(std::string bytes)
{
    if (!IsWellFormed(bytes))
        return std::nullopt;
    return TItemIdList(std::move(bytes));
}

TItemIdList TItemIdList::Record(ItemKind kind, std::string_view payload)
{
    if (kHeaderBytes + payload.size() > kMaxRecordBytes)
        throw std::length_error("an item name too long for an identifier record");
    if (!IsKnownKind(static_cast<unsigned char>(kind)) || TakesPayload(kind) != !payload.empty())
        throw std::invalid_argument("an identifier record of this kind takes no such payload");
    return TItemIdList(TerminatedRecord(kind, payload));
}

std::size_t TItemIdList::Count() const
{
    std::size_t records = 0;
    for (std::size_t offset = 0; CountAt(m_bytes, offset) != 0; offset += CountAt(m_bytes, offset))
        ++records;
    return records;
}

std::vector<ItemRecord> TItemIdList::Records() const
{
    std::vector<ItemRecord> records;
    const std::string_view bytes(m_bytes);
    for (std::size_t offset = 0, count = 0; (count = CountAt(bytes, offset)) != 0; offset += count) {
        records.push_back(ItemRecord { static_cast<ItemKind>(static_cast<unsigned char>(bytes[offset + 2])),
            bytes.substr(offset + kHeaderBytes, count - kHeaderBytes) });
    }
    return records;
}

std::size_t TItemIdList::LastOffset() const
{
    std::size_t last = 0;
    for (std::size_t offset = 0; CountAt(m_bytes, offset) != 0; offset += CountAt(m_bytes, offset))
        last = offset;
    return last;
}

ItemRecord TItemIdList::Last() const
{
    const std::size_t offset = LastOffset();
    const std::size_t count = CountAt(m_bytes, offset);
    return ItemRecord { static_cast<ItemKind>(static_cast<unsigned char>(m_bytes[offset + 2])),
        std::string_view(m_bytes).substr(offset + kHeaderBytes, count - kHeaderBytes) };
}

TItemIdList TItemIdList::WithoutLast() const
{
    if (IsEmpty())
        return {};
    std::string bytes = m_bytes.substr(0, LastOffset());
    bytes.append(kCountBytes, '\0');
    return TItemIdList(std::move(bytes));
}

TItemIdList TItemIdList::First() const
{
    if (IsEmpty())
        return {};
    std::string bytes = m_bytes.substr(0, CountAt(m_bytes, 0));
    bytes.append(kCountBytes, '\0');
    return TItemIdList(std::move(bytes));
}

TItemIdList TItemIdList::LastAsList() const
{
    if (IsEmpty())
        return {};
    const std::size_t offset = LastOffset();
    std::string bytes = m_bytes.substr(offset, CountAt(m_bytes, offset));
    bytes.append(kCountBytes, '\0');
    return TItemIdList(std::move(bytes));
}

TItemIdList TItemIdList::Combined(const TItemIdList& relative) const
{
    std::string bytes = m_bytes.substr(0, m_bytes.size() - kCountBytes);
    bytes += relative.m_bytes;
    return TItemIdList(std::move(bytes));
}

bool TItemIdList::IsParentOf(const TItemIdList& other) const
{
    // Record boundaries are where the counts say, so a byte prefix that ends on one of this
    // list's boundaries is a prefix of whole records: "a" is not the parent of its sibling "ab",
    // whose first record has another count.
    const std::size_t ownRecords = m_bytes.size() - kCountBytes;
    if (ownRecords > other.m_bytes.size() - kCountBytes)
        return false;
    if (other.m_bytes.compare(0, ownRecords, m_bytes, 0, ownRecords) != 0)
        return false;
    // The prefix must end where one of other's records ends.
    std::size_t offset = 0;
    while (offset < ownRecords)
        offset += CountAt(other.m_bytes, offset);
    return offset == ownRecords;
}

std::string PIDLToString(const TItemIdList& list)
{
    if (list.IsEmpty())
        return {};
    std::string text;
    text.reserve(list.Size() * 4);
    for (const char byte : list.Bytes()) {
        text += '#';
        text += std::to_string(static_cast<unsigned char>(byte));
    }
    return text;
}

std::optional<TItemIdList> StringToPIDL(std::string_view text)
{
    if (text.empty())
        return TItemIdList();
    std::string bytes;
    std::size_t hash = text.find('#');
    while (hash != std::string_view::npos) {
        const std::size_t next = text.find('#', hash + 1);
        const std::string_view run
            = text.substr(hash + 1, next == std::string_view::npos ? std::string_view::npos : next - hash - 1);
        long long value = 0;
        const char* begin = run.data();
        const char* end = run.data() + run.size();
        const auto [stop, error] = std::from_chars(begin, end, value);
        if (run.empty() || error != std::errc() || stop != end)
            throw EConvertError("'" + std::string(run) + "' is not a valid integer value");
        bytes.push_back(static_cast<char>(static_cast<unsigned long long>(value) & 0xFF));
        hash = next;
    }
    return TItemIdList::FromBytes(std::move(bytes));
}

} // namespace tarvo
