#pragma once

#include <QString>
#include <optional>

namespace Vantrel {

// The digit editor's arithmetic: a frequency shown as "ddd.ddd.ddd" (MHz, kHz,
// Hz), one place value per character, stepped by the wheel and cut by a
// double-click. No widgets here.
namespace FreqDigits {

constexpr qint32 kMinFreq = 100000;      // lowest frequency a step or a cut leaves
constexpr qint32 kPanelMax = 999999999;  // the most that nine digits hold
constexpr int kPanelLength = 11;

// The value an edit text opens the panel with: the text as a decimal integer
// (0 when it is not one), clamped into 0 .. kPanelMax so that the panel text
// always has its eleven characters and every position its place value.
qint32 FromEditText(const QString &text);

// "%.3d.%.3d.%.3d" of v div 1e6, (v div 1000) mod 1000 and v mod 1000; v is
// clamped into 0 .. kPanelMax first.
QString PanelText(qint32 v);

// The place value of a character position: 100,000,000 at 0 down to 1 at 10;
// 0 for the two points and for anything outside the text.
qint32 PlaceValue(int col);

// The character under x pixels from the label's left edge, for a monospaced
// font whose characters are charWidth pixels wide; -1 left of the text.
int ColumnAt(double x, double charWidth);

// One wheel turn over column col: up by its place value but not above maxFreq,
// down but not below kMinFreq. Only the sign of delta counts. No value when
// the turn changes nothing (not a digit, or a delta of 0).
std::optional<qint32> Wheel(qint32 v, int col, int delta, qint32 maxFreq);

// A double-click on column col: the digits right of it become 0, then the
// result is raised to kMinFreq. No value when col is not a digit.
std::optional<qint32> ZeroRight(qint32 v, int col);

} // namespace FreqDigits
} // namespace Vantrel
