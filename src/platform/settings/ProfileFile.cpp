#include "ProfileFile.h"

namespace tarvo
{

std::optional<std::string> ProfileReadString(
    const std::string& fileName, const std::string& section, const std::string& key, ProfileFileIo& io)
{
    std::string text;
    const ProfileNode node = io.Load(fileName, text);
    if (node.kind != ProfileNodeKind::pnFile || node.error != 0)
        return std::nullopt;
    return ProfileValueIn(text, section, key);
}

bool ProfileWriteEdits(const std::string& fileName, const std::vector<ProfileEdit>& edits, ProfileFileIo& io)
{
    std::string text;
    const ProfileNode node = io.Load(fileName, text);
    const bool exists = node.kind == ProfileNodeKind::pnFile;
    if ((!exists && node.kind != ProfileNodeKind::pnMissing) || node.error != 0)
        return false; // what cannot be read cannot be kept either
    if (exists && !io.MayWriteFile(fileName))
        return false; // a file marked read-only is left alone, as the classic functions do
    const std::string before = text;
    // Every line of ours takes the line break the file had when it was read.
    const std::string lineBreak(ProfileLineBreak(before));
    bool all = true;
    for (const ProfileEdit& edit : edits)
        all = ApplyProfileEdit(text, edit, lineBreak) && all;
    if (text == before)
        return all;
    return io.Replace(fileName, text) == 0 && all;
}

bool ProfileWriteString(const std::string& fileName, const std::string& section, const std::string& key,
    const std::string& value, ProfileFileIo& io)
{
    return ProfileWriteEdits(fileName, { { ProfileEditKind::peWrite, section, key, value } }, io);
}

bool ProfileDeleteKey(
    const std::string& fileName, const std::string& section, const std::string& key, ProfileFileIo& io)
{
    return ProfileWriteEdits(fileName, { { ProfileEditKind::peDelete, section, key, {} } }, io);
}

} // namespace tarvo
