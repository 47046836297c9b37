#pragma once

#include <cstdint>
#include <vector>

/// Where a drawing of the chart put each route point [px], indexed 1..N; index 0 is unused and
/// holds 0.
struct ChartPositions {
    std::vector<std::int32_t> ChartX;  ///< pixel column
    std::vector<std::int32_t> ChartY;  ///< pixel row

    /// point i's column; 0 for a point the drawing did not place
    std::int32_t X(int i) const { return Get(ChartX, i); }
    /// point i's row; 0 for a point the drawing did not place
    std::int32_t Y(int i) const { return Get(ChartY, i); }

  private:
    static std::int32_t Get(const std::vector<std::int32_t>& v, int i) {
        return i >= 0 && static_cast<std::size_t>(i) < v.size() ? v[static_cast<std::size_t>(i)] : 0;
    }
};
