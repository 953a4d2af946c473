#pragma once

#include <cstdint>
#include <string>

// One display item of the main window. Height, Top and cap_lines are layout results, never
// stored.
struct FormItem {
    std::string Name;
    std::uint8_t Enabled = 0;
    std::uint8_t Type = 0;
    std::uint8_t Period = 0;
    std::uint8_t Adapter = 0;
    std::int32_t Height = 0;
    std::int32_t Top = 0;
    std::uint8_t cap_lines = 0;  // lines of the data cap below a section: 0, 1, or 2 with the pace
};

enum FormItemType : std::uint8_t {
    kItemDownloadRate = 0,
    kItemUploadRate = 1,
    kItemTransferred = 2,
    kItemGraph = 3,
    kItemDownloadUploadRate = 4,
    kItemTextLabel = 5,
};
