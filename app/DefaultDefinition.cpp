#include "app/DefaultDefinition.h"

#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/PathHelpers.h"

namespace kavex::app {
namespace {

std::string WithoutFinalSlash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

std::string Joined(const std::string& folder, const char* name) {
    const std::string base = WithoutFinalSlash(folder);
    return (base == "/" ? std::string() : base) + "/" + name;
}

// Makes the folder and every missing folder above it; failures show in the file's creation.
void MakeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty()) (void)mkdir(part.c_str(), 0777);
        if (slash == std::string::npos) break;
    }
}

}  // namespace

bool IsWritableFolder(const std::string& folder) {
    if (folder.empty()) return false;
    std::string probe = Joined(folder, ".kavex-write-test-XXXXXX");
    const int fd = mkstemp(probe.data());
    if (fd < 0) return false;
    close(fd);
    unlink(probe.c_str());
    return true;
}

std::string UserDataFolder() {
    const char* dataHome = getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/') return WithoutFinalSlash(dataHome);
    std::string home;
    if (const char* variable = getenv("HOME"); variable != nullptr && variable[0] != '\0') {
        home = variable;
    } else if (const passwd* entry = getpwuid(getuid()); entry != nullptr) {
        home = entry->pw_dir;
    }
    return Joined(home.empty() ? "/" : home, ".local/share");
}

std::string DefaultDefinitionPathFor(const std::string& executableFolder,
                                     const std::string& userDataFolder) {
    if (IsWritableFolder(executableFolder)) return Joined(executableFolder, "default.txt");
    return Joined(userDataFolder, "kavex/default.txt");
}

std::string DefaultDefinitionPath() {
    return DefaultDefinitionPathFor(ExecutableDirectory(), UserDataFolder());
}

void CreateDefinitionFileIfMissing(const std::string& path) {
    if (FileExists(path)) return;
    const std::size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0) MakeFolders(path.substr(0, slash));
    (void)WriteWholeFile(path, "");
}

}  // namespace kavex::app
