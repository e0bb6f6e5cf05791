#include "show/ShowStateFile.h"

#include "support/AtomicFile.h"

#include <cstdlib>
#include <fstream>
#include <system_error>

namespace {

constexpr const char* kProgramFolder = "quizmora";
constexpr const char* kFileName = "show";

}  // namespace

std::filesystem::path ShowStateFilePath(const char* xdgStateHome, const char* home)
{
    std::filesystem::path base;
    if (xdgStateHome != nullptr && xdgStateHome[0] == '/')
        base = xdgStateHome;
    else if (home != nullptr && home[0] != '\0')
        base = std::filesystem::path(home) / ".local" / "state";
    else
        base = std::filesystem::temp_directory_path();
    return base / kProgramFolder / kFileName;
}

std::filesystem::path ShowStateFilePath()
{
    return ShowStateFilePath(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
}

SShowStateRead ReadShowStateFile(const std::filesystem::path& file)
{
    SShowStateRead read;
    std::error_code error;
    if (!std::filesystem::exists(file, error))
        return read;
    std::ifstream in(file, std::ios::binary);
    std::string text(kShowStateMaxBytes + 1, '\0');
    if (in)
        in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (!in && !in.eof()) {
        read.problem = "nicht lesbar";
        return read;
    }
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.empty()) {
        read.problem = "leer";
        return read;
    }
    read.state = ParseShowState(text);
    if (!read.state)
        read.problem = "beschädigt";
    return read;
}

bool WriteShowStateFile(const std::filesystem::path& file, const SShowState& state)
{
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    return WriteFileAtomically(file, FormatShowState(state));
}
