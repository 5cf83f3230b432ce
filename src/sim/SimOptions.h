#pragma once

#include <QByteArray>

// How the simulated analyzer presents itself on the wire.
struct TSimOptions {
    QByteArray Firmware = "SWR 1.2.150";   // reply to "w"; "1.0.60.lite" for the lite 60 MHz variant
    bool Paced = true;                      // 9600 baud, 10 bits per byte, clock-scheduled
    QByteArray LineEnd = "\r";              // or "\r\n"
};
