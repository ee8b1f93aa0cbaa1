#pragma once
// The render options' values and the rules between them, the same whether the artist picks
// them in the dialog or a script passes them.
#include "analysis/RUDRenderingDataMgr.h"

#include <cstdint>

namespace rud {

// The render modes, in the order the dialog lists them.
struct RenderModeChoice {
    const wchar_t* scriptName;   // as a script names it
    int32_t code;                // the task file's block count code
    const char* taskName;        // the task file's "effect_render_mode"
    int32_t distributedCount;    // machines of a distributed mode; 0 leaves the count as it is
};
constexpr int kRenderModeCount = 4;
constexpr int kRenderModeBlocks = 1;   // position of the block mode
extern const RenderModeChoice kRenderModes[kRenderModeCount];

// Why block rendering is refused for the analysed scene: the string ID of the message (region
// rendering; Corona limiting nothing), or 0 when blocks may be chosen.
int BlockModeRefusal(const RUDRenderingDataMgr& store);
// The material channel cannot be rendered in blocks.
inline bool MaterialChannelAllowed(int32_t renderModeCode) { return renderModeCode != 10; }

// The ranges the dialog's edits keep their numbers in.
struct NumberRange {
    double lowest;
    double highest;
    bool Holds(double value) const { return value >= lowest && value <= highest; }
};
constexpr NumberRange kGammaRange{0.1, 5.0};
constexpr NumberRange kAoRadiusRange{10.0, 1000000000.0};
constexpr NumberRange kAoSubdivsRange{1.0, 1000.0};
constexpr NumberRange kCoronaHoursRange{0.0, 239.0};
constexpr NumberRange kCoronaNoiseRange{0.0, 100.0};
constexpr NumberRange kCoronaPassesRange{0.0, 2147483647.0};

// The image scales of the GI size list, in percent, in the list's order.
constexpr int kImageScalePercents[] = {100, 50, 33, 25};

} // namespace rud
