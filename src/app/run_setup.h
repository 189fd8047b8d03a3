#pragma once
// Where a run of the program keeps its files and records from, shared by the
// window program and parrot-cli.

#include <optional>
#include <string>

struct RunSettings {
    std::string workFolder;   // absolute
    std::string captureSpec;  // as for SelectCaptureDevice; file paths absolute
    std::string dataFolder;   // absolute; where the dictionary files come from
};

// Fills what the command line did not give: the work folder defaults to
// ${XDG_DATA_HOME:-$HOME/.local/share}/parrot, the capture device to
// PARROT_CAPTURE or "portaudio", the data folder to PARROT_DATA_DIR or
// share/parrot beside the program's bin/ folder. Relative paths are resolved
// against the current folder.
RunSettings ResolveRunSettings(const std::optional<std::string>& workFolder,
                               const std::optional<std::string>& captureSpec);

// Selects the capture device, creates and enters the work folder, locks it
// for the rest of the process (see LockWorkFolder), links the dictionary
// files into it from the data folder when they are missing and loads the
// speech engine. Returns an empty string, or the reason the run cannot go
// on; a work folder another Parrot holds is left untouched.
std::string PrepareWorkFolder(const RunSettings& settings);
