#pragma once
// One Parrot at a time in a work folder: two runs would both take the next
// recording number and overwrite each other's recordings and vocabulary.

#include <string>

// Takes the advisory lock on "parrot.lock" in the current folder and holds it
// for the rest of the process, writing the process id into the file. Returns
// an empty string on success, otherwise the problem, naming `folderName` and,
// when another Parrot holds the lock, its process id.
std::string LockWorkFolder(const std::string& folderName);
