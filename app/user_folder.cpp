#include "app/user_folder.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "script/file_access.h"
#include "script/message.h"

namespace {

bool HoldsData(const std::filesystem::path& folder) {
    std::error_code ec;
    return std::filesystem::is_regular_file(folder / "data.pak", ec) ||
           std::filesystem::is_directory(folder / "data", ec);
}

}  // namespace

std::string DataFolderFor(const std::string& programFolder) {
    const std::filesystem::path dir(programFolder);
    if (HoldsData(dir))
        return programFolder;
    const std::filesystem::path shared = dir.parent_path() / "share" / "zarnik";
    if (HoldsData(shared))
        return shared.lexically_normal().string();
    return programFolder;
}

std::string UserDataFolderFor(const char* xdgDataHome, const char* home) {
    if (xdgDataHome != nullptr && xdgDataHome[0] == '/')
        return std::string(xdgDataHome) + "/zarnik";
    if (home != nullptr && home[0] != '\0')
        return std::string(home) + "/.local/share/zarnik";
    return std::string();
}

bool FolderWritable(const std::string& folder) {
    if (::access(folder.c_str(), W_OK) != 0)
        return false;
    std::error_code ec;
    const std::string data = folder + "/data";
    return !std::filesystem::is_directory(data, ec) || ::access(data.c_str(), W_OK) == 0;
}

std::string ChooseUserDataFolder() {
    if (FolderWritable("."))
        return std::string();
    const std::string folder = UserDataFolderFor(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    if (folder.empty())
        return std::string();
    std::error_code ec;
    std::filesystem::create_directories(folder + "/data", ec);
    if (!FolderWritable(folder)) {
        ReportMessage(
            "Can't write settings and scores: neither the game's folder nor '%s' is writable",
            folder.c_str());
        return std::string();
    }
    SetUserDataFolder(folder);
    // Says once in the log where the player's files are, for whoever looks
    // for them next to the program.
    if (std::FILE* log = OpenLooseFile(kLogFileName, "ab")) {
        std::fprintf(log, "Settings, scores and replays are kept in '%s'\r\n", folder.c_str());
        std::fclose(log);
    }
    return folder;
}
