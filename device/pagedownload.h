#pragma once
// The page fetch behind DownloadPageForSave and DownloadPageForPreview, for a folder of the
// caller's choice.

#include <string>

struct MFPInfo;

// Fetches one page of the listed document at `documentIndex` into `folder` as its page file,
// over the path mfp selects ("/loadimg.cgi" or GETFILE/GETDATA). Returns 1 when the page file
// arrived whole, 0 otherwise; then no page file is left at that name. An index outside the
// listing or fileId 0 sends nothing.
int DownloadPageToFolder(const MFPInfo& mfp, int documentIndex, int page,
                         const std::u16string& folder);
