#pragma once
#include <string>
#include <string_view>

// Every file the game writes goes through here. The whole file is written beside its final
// place as <name>.tmp.<pid>, flushed to the disk and renamed over the old one, so a crash, a
// kill or a full disk leaves either the old file or the new one, never a torn mix.
//
// A symbolic link is followed to the file it finally names, which is replaced; the link stays
// a link (a player's dotfile kept in a synced folder stays current). Only a missing file or a
// regular one may be replaced: a directory, a device, a pipe or a socket in the way is refused,
// never turned into a regular file. An existing file keeps its permissions.
//
// On failure returns false with the reason in `error` ("it is a directory", "No space left on
// device") and leaves no temporary file behind. Each write also removes the temporary files
// that killed writes of the game's own files left in that directory, once their process is gone.
bool writeFileAtomically(const std::string& path, std::string_view contents, std::string& error);

// Whether a write to `path` could replace what is there now (missing or a regular file, at the
// end of any symbolic links); false with the reason otherwise. Lets a run refuse a bad output
// file before it plays rather than at its end. On success `target` is the file a write replaces.
bool replaceableFile(const std::string& path, std::string& target, std::string& error);
