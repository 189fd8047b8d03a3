#pragma once
// What one command of the main dialog did and what failed in it. The
// handlers and the sessions' steps keep their fixed results (most return 0
// whatever happens), so each step notes its failure here instead, and both
// front ends read the record once the command has returned: the window shows
// the failures in a message box, parrot-cli prints them on stderr and ends
// with status 1.

#include <string>
#include <vector>

struct CommandOutcome {
    // What the command did, in a few words ("\"yes\" was trained with
    // recording 3"); empty when it did nothing.
    std::string done;
    // What failed and why, one line each, in the order it happened; UTF-8.
    std::vector<std::string> failures;

    bool Failed() const { return !failures.empty(); }
};
