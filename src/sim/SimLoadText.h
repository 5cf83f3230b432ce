#pragma once

#include "SimLoad.h"

#include <QString>

#include <optional>

// Load names of the command line: "open", "short", "50", "100", "dipole", or
// "R,X" in ohms for a fixed load (for example "75,-20").
std::optional<TSimLoad> ParseSimLoad(const QString &text);
