#pragma once

// The regions of the results board's background picture. The picture is drawn
// from these at build time (tools/boardart), and the board's texts are placed
// to sit inside them.

#include <array>
#include <cstdint>

namespace kuzelna::boardart {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// A range of pixels [from, to).
struct Span {
    int from = 0;
    int to = 0;
    constexpr int middle() const { return (from + to) / 2; }
};

struct Region {
    Span x, y;
};

// 0xRRGGBB
namespace colour {
constexpr std::uint32_t kBackground = 0x0E1621;
constexpr std::uint32_t kPlate = 0xE8EAED;
constexpr std::uint32_t kPlateEdge = 0x8A96A3;
constexpr std::uint32_t kBand = 0x5C0A0A;
constexpr std::uint32_t kRedCell = 0xC0141C;
constexpr std::uint32_t kRowCell = 0xA7B6C8;
constexpr std::uint32_t kSquareFrame = 0xFFD400;
constexpr std::uint32_t kSquareFill = 0x14141A;
} // namespace colour

constexpr int kHome = 0;
constexpr int kGuest = 1;

// Title plates of the two teams.
constexpr std::array<Region, 2> kTitlePlates = {{{{4, 502}, {22, 102}}, {{522, 1020}, {22, 102}}}};

// Columns of the header band and the player rows: name, CEL, P, D, Bp, B.
constexpr int kColumns = 6;
constexpr std::array<std::array<Span, kColumns>, 2> kColumnSpans = {{
    {{{4, 207}, {210, 286}, {289, 345}, {348, 404}, {407, 456}, {459, 506}}},
    {{{520, 728}, {731, 804}, {807, 862}, {865, 918}, {920, 970}, {973, 1021}}},
}};

constexpr Span kHeaderBand{108, 166};
constexpr Span kHeaderCells{112, 162};

// The eight blue-grey player rows, the same on both sides.
constexpr std::array<Span, 8> kRowSpans = {
    {{179, 229}, {235, 285}, {291, 341}, {355, 405}, {411, 461}, {475, 525}, {531, 581}, {595, 645}}};

// The bottom band: five red totals cells per side (CEL, P, D, Bp, B) and the
// two yellow squares of the match points in the middle.
constexpr Span kBottomBand{648, 718};
constexpr Span kTotalsCells{652, 714};
constexpr int kTotalsColumns = 5;
constexpr std::array<std::array<Span, kTotalsColumns>, 2> kTotalsSpans = {{
    {{{2, 89}, {92, 166}, {169, 232}, {235, 293}, {296, 352}}},
    {{{668, 753}, {756, 831}, {834, 897}, {900, 959}, {962, 1021}}},
}};
constexpr std::array<Span, 2> kMatchSquareSpans = {{{418, 503}, {526, 611}}};
constexpr Span kMatchSquareRows{642, 724};
constexpr int kSquareFrameWidth = 7;

} // namespace kuzelna::boardart
