// src/weakkeys/WeakKeyTint.h - the heat tint of the key cells, its legend and the key's tooltip.
#pragma once

#include "utils/KeyRect.h"
#include "weakkeys/WeakKeyRecorder.h"

#include <windows.h>

#include <string>
#include <vector>

namespace keywhirl {

class ResourceBundle;

// How warm each key cell is painted: by the share of the key's presses that
// ended a hesitation, relative to the key that has the highest share.
class WeakKeyTint {
public:
    // Level 0 leaves the cell as it is; kFullLevel paints it in kWarmest.
    static constexpr int kFullLevel = 255;
    static constexpr COLORREF kWarmest = RGB(255, 150, 80);
    // The share is taken as if every key had this many more presses without
    // a hesitation, so two presses with one pause do not outweigh a hundred
    // presses with twenty.
    static constexpr unsigned kPriorPresses = 5;
    // The warmest key gets the full tint only when its share is at least
    // this; with fewer hesitations every cell stays paler.
    static constexpr double kFullScaleShare = 0.02;

    // The key's share of presses that ended a hesitation, damped for few
    // presses.
    static double share(const WeakKeyRecorder::KeyCounts& counts);
    // One level for each scan code (keys without the extended flag).
    static std::vector<int> levels(const WeakKeyRecorder& recorder,
                                   const std::vector<unsigned>& scanCodes);
    // base moved towards kWarmest by level / kFullLevel.
    static COLORREF blend(COLORREF base, int level);

    // The label colours to use on tinted cells: darker than the plain ones,
    // so that they stay readable on the warmest tint.
    static COLORREF labelColour(int labelKind);
    // The contrast ratio of two colours (1 to 21), from their relative
    // luminance.
    static double contrast(COLORREF a, COLORREF b);

    // Fills each cell with a tinted key face, taken from the colour at the
    // cell's centre; cells of level 0 are left alone.
    static void paintCells(HDC dc, const std::vector<KeyRect>& cells,
                           const std::vector<int>& levels);
    // One line, right-aligned in area: the caption, then a strip running
    // from the neutral key face to kWarmest between the words for few and
    // many. Drawn in light colours for the picture's dark title bar.
    static void paintLegend(HDC dc, const RECT& area, const ResourceBundle& texts);
    // The legend's place on the keyboard picture of the given width.
    static RECT legendArea(int pictureWidth);

    // "Presses: 12", "Hesitations ended: 3" and "Usual lead time: 450 ms"
    // on three lines, in the interface language.
    static std::wstring tooltipText(const WeakKeyRecorder::KeyCounts& counts,
                                    const ResourceBundle& texts);
};

} // namespace keywhirl
