#pragma once
// A fresh temporary folder, a puzzle path for the store tests, removed again at the end of the test.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

inline std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A file below tests/data.
inline std::filesystem::path TestData(const std::string& relative)
{
    return std::filesystem::path(QUIZMORA_TEST_DATA) / relative;
}

class CTemporaryPuzzleSet {
public:
    CTemporaryPuzzleSet()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "quizmora-puzzles-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            root_ = pattern;
        else
            ADD_FAILURE() << "no temporary folder";
    }
    ~CTemporaryPuzzleSet()
    {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    CTemporaryPuzzleSet(const CTemporaryPuzzleSet&) = delete;
    CTemporaryPuzzleSet& operator=(const CTemporaryPuzzleSet&) = delete;

    const std::filesystem::path& Root() const { return root_; }

    // Writes bytes to a file below the root, creating its folders.
    void WriteFile(const std::filesystem::path& relative, std::string_view bytes) const
    {
        const auto path = root_ / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        ASSERT_TRUE(out.good()) << path;
    }

    // "Game%03i/Game.txt" of puzzle n.
    void WritePuzzle(int number, std::string_view text) const
    {
        char folder[32];
        std::snprintf(folder, sizeof folder, "Game%03i", number);
        WriteFile(std::filesystem::path(folder) / "Game.txt", text);
    }

private:
    std::filesystem::path root_;
};
