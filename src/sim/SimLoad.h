#pragma once

// What hangs on the simulated analyzer's antenna jack.
enum class TSimLoadKind { Open, Short, Ohm50, Ohm100, Fixed, Dipole };

struct TSimLoad {
    TSimLoadKind Kind = TSimLoadKind::Open;
    double R = 0, X = 0; // ohm; used by Fixed only
};
