#pragma once
// Names of downloaded page files: "<folder>/<fileId as 8 upper-case hex digits>_<page>.tif" for
// a black-and-white document (imageFormat 0) and ".jpg" for a colour one (imageFormat 1).

#include <cstdint>
#include <string>
#include <string_view>

// The page file path of one page, or an empty text for an imageFormat other than 0 or 1.
std::u16string PageFilePath(std::u16string_view folder, std::uint32_t fileId, int page,
                            std::int32_t imageFormat);
