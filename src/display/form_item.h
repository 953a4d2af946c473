#pragma once

#include <cstdint>
#include <string>

// One display item of the main window. Height and Top are layout results, never stored.
struct FormItem {
    std::string Name;
    std::uint8_t Enabled = 0;
    std::uint8_t Type = 0;
    std::uint8_t Period = 0;
    std::uint8_t Adapter = 0;
    std::int32_t Height = 0;
    std::int32_t Top = 0;
};

enum FormItemType : std::uint8_t {
    kItemDownloadRate = 0,
    kItemUploadRate = 1,
    kItemTransferred = 2,
    kItemGraph = 3,
    kItemDownloadUploadRate = 4,
    kItemTextLabel = 5,
};
