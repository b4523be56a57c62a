// Where the default definition file lives, and the start-up rule that gives a first start a
// definition file to work with.
//
// A copy of the program in a folder of its own (writable) keeps default.txt beside the executable.
// An installed program, whose folder it cannot write, keeps it in the user's data folder
// ($XDG_DATA_HOME/kavex/default.txt, else ~/.local/share/kavex/default.txt), so that it too starts
// with a file that exists.
//
//   const std::string path = kavex::app::DefaultDefinitionPath();
//   kavex::app::CreateDefinitionFileIfMissing(path);
#pragma once

#include <string>

namespace kavex::app {

// True when a file can be made in the folder. It is tried (a temporary file made and removed at
// once) rather than deduced from permission bits, which say nothing for root and nothing about a
// read-only mount.
[[nodiscard]] bool IsWritableFolder(const std::string& folder);

// $XDG_DATA_HOME when it is an absolute path, else the home folder + "/.local/share".
[[nodiscard]] std::string UserDataFolder();

// executableFolder + "/default.txt" when that folder is writable, else
// userDataFolder + "/kavex/default.txt".
[[nodiscard]] std::string DefaultDefinitionPathFor(const std::string& executableFolder,
                                                   const std::string& userDataFolder);
// The default definition file of this program.
[[nodiscard]] std::string DefaultDefinitionPath();

// Makes an empty file of that name, and the folders above it, when nothing of that name exists. A
// file that cannot be made is not reported: a later run reports the missing definition file.
void CreateDefinitionFileIfMissing(const std::string& path);

}  // namespace kavex::app
