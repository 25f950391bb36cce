#pragma once
#include <string>

// What is wrong with dir as the game's data directory ("does not exist", "has no s/
// folder"), or empty when it holds the g/, s/ and m/ folders the game reads from. Checked
// once at start-up, so a wrong directory gives one message instead of one per file.
std::string dataDirProblem(const std::string& dir);
