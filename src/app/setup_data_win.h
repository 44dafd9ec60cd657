// What the setup program asks of swhclean once the files are in place
// (`swhclean --setup-data FOLDER`): a data folder the user can write, and the
// new lists installed into it with the user's choices carried over.
#pragma once

#include <string>

namespace sh {

// Adds to the folder's own access list an entry that lets the Users group
// read, write and delete in it, inherited by its files and subfolders
// (existing ones too). The programs' folder keeps its read-only rights:
// only the data folder is opened up, since the program stores the user's
// choices there while it runs without administrator rights. False, with
// `why`, when the folder's rights cannot be read or changed.
bool LetUsersChangeFolder(const std::string& folder, std::string& why);

}  // namespace sh
