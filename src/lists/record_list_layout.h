// What differs between the three record-list windows (live list, saved file,
// downloaded data): caption, where the column grids sit, and the header of the
// hidden record grid. Everything else of the layout is shared.
#pragma once

#include <QString>
#include <array>

namespace lp::lists {

struct ColumnGridDesign {
    int leftTwips;
    int widthTwips;
    const char* widthSample;  // the column is as wide as this text in the window font
};

// The column grids GridN0..2 ("No.s", "Date Time", "dB"); neighbours overlap by 15
// twips so their borders coincide.
inline constexpr std::array<ColumnGridDesign, 3> kColumnGrids{{
    {0, 855, "ABADEAA"},
    {840, 2055, "AAAAA/AA/AAHH:NN:SSA"},
    {2880, 1215, "ABADEAAA"},
}};

inline constexpr int kClientWidthTwips = 4095;
inline constexpr int kClientHeightTwips = 5880;
inline constexpr int kToolbarHeightTwips = 480;

struct RecordListLayout {
    QString caption;
    int gridTopTwips = 480;
    int gridHeightTwips = 5415;
    QString recordGridName;    // objectName of the hidden record grid: Grid1 or Grid
    QString recordGridHeader;  // its header text

    static RecordListLayout list();
    static RecordListLayout hddSavedList();
    static RecordListLayout dataList();
};

}  // namespace lp::lists
