#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::test
{

// A real temporary folder under /tmp, removed with everything below it (deep chains and odd
// names included) when the object goes.
class TempTree
{
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    [[nodiscard]] const std::string& Path() const { return m_path; }
    // Paths below are relative to the tree; the helpers fail the running test on error.
    void Folder(const std::string& relative) const;
    void File(const std::string& relative, std::int64_t sizeBytes) const; // sparse, apparent size as given
    void Link(const std::string& relative, const std::string& target) const;
    void HardLink(const std::string& existing, const std::string& relative) const;
    void Fifo(const std::string& relative) const;
    // A chain relative/d/d/…/d of `depth` folders with a file of fileBytes at the bottom, made
    // relative to descriptors so its full path may exceed PATH_MAX.
    void DeepChain(const std::string& relative, int depth, std::int64_t fileBytes) const;

private:
    std::string m_path;
};

// A file's bytes, every one of them (empty when it cannot be read); and a file made to hold
// exactly these bytes.
std::string ReadFile(const std::string& name);
void WriteFile(const std::string& name, const std::string& bytes);

// Runs a program without a shell and returns what it wrote to standard output; exitCode gets
// its exit status (or -1 when it could not run).
std::string RunProgram(const std::vector<std::string>& argv, int* exitCode = nullptr, std::string* errors = nullptr);

// The sum of the apparent sizes of every non-folder entry below `folder`, counted by GNU find
// (links not followed), a file of n names counting size / n at each: an independent check of
// the scanner's totals.
std::int64_t FindApparentBytes(const std::string& folder);

} // namespace tarvo::test
