#include "app/texts/owntexts.h"

#include <algorithm>
#include <iterator>

namespace {

struct OwnText {
    uint32_t id;
    const char16_t* text;
};

// Sorted by id, so a lookup is a binary search.
constexpr OwnText kOwnTexts[] = {
    // About box
    {101, u"About"},
    // Messages from the device (result codes)
    {807, u"Authentication failed. (Error Code: 807)"},
    {808, u"This file does not exist. (Error Code: 808)"},
    {810, u"The specified file does not exist. (Error Code: 810)"},
    {811, u"The specified file cannot be deleted. (Error Code: 811)"},
    // Labels
    {8001, u"B/W"},
    {8002, u"Color"},
    {8003, u"USB"},
    // Main window: document list columns and the page-range choice
    {10001, u"File Number"},
    {10002, u"Date/Time"},
    {10003, u"Pages"},
    {10004, u"B/W / Color"},
    {10005, u"page(s)"},
    {10006, u"Page Range"},
    {10007, u"Erase document(s)"},
    // Main window, advanced controls
    {10101, u"Velnor"},
    {10102, u"Preview"},
    {10103, u"Delete after save"},
    {10104, u"All"},
    {10105, u"Current page"},
    {10106, u"Pages"},
    {10107, u"Save"},
    {10108, u"Exit"},
    {10109, u"Refresh"},
    // Main window, simple controls
    {11001, u"Document Information"},
    {11002, u"Device Name:"},
    {11003, u"Box Name:"},
    {11004, u"File Number:"},
    {11005, u"Date/Time:"},
    {11006, u"Pages:"},
    {11007, u"B/W / Color:"},
    {11008, u"Destination Information"},
    {11009, u"Destination Folder:"},
    {11010, u"File Format:"},
    {11101, u"Save"},
    {11102, u"Exit"},
    {11201, u"Velnor"},
    // MFP selection
    {12001, u"Device Name"},
    {12002, u"Connect to"},
    {12004, u"Specify the Port Number"},
    {12005, u"HTTP Port Number:   (Default:80)"},
    {12006, u"Search Port Number:   (Default:61000)"},
    {12007, u"(0 - 65535)"},
    {12008, u"(0 - 65535)"},
    {12101, u"Select MFP"},
    {12102, u"IP address or Hostname "},
    {12103, u"Do not show this dialog when the application starts"},
    {12104, u"Search"},
    {12105, u"OK"},
    {12106, u"Cancel"},
    // Basic settings
    {13001, u"Device Name:"},
    {13002, u"Box Name:"},
    {13003, u"Destination Folder:"},
    {13004, u"File Format"},
    {13005, u"Color"},
    {13006, u"B/W"},
    {13007, u"Erase document(s)"},
    {13008, u"Mode"},
    {13101, u"Delete after save"},
    {13102, u"PDF"},
    {13103, u"JPEG"},
    {13104, u"PDF"},
    {13105, u"TIFF"},
    {13106, u"Advanced Mode"},
    {13107, u"Simple Mode"},
    {13108, u"Browse"},
    {13109, u"OK"},
    {13110, u"Cancel"},
    {13201, u"Basic Settings"},
    // Box password
    {14001, u"Password:"},
    {14002, u"(0001 - 9999)"},
    {14101, u"TWAIN Box Password"},
    {14201, u"Save Password"},
    {14202, u"OK"},
    {14203, u"Cancel"},
    // Progress
    {15001, u"Now Starting Application"},
    {15002, u"Now Preparing Simple Mode"},
    {15003, u"Now Saving Document(s)"},
    {15004, u"Saved successfully"},
    {15101, u"Progress"},
    {15201, u"OK"},
    {15202, u"Cancel"},
    // Message captions
    {20001, u"Communication"},
    {20002, u"Save"},
    {20003, u"Select MFP"},
    {20004, u"Basic Settings"},
    // Messages
    {21001, u"Unable to connect to the scanner."},
    {21003, u"The file already exists. Replace existing file?"},
    {21004, u"Unable to download the file."},
    {21005, u"Failed to save the file."},
    {21006, u"Failed to save page %2d of the file."},
    {21007, u"No Device Selected."},
    {21008, u"Please enter the  IP address or hostname."},
    {21009, u"Failed to get IP address."},
    {21010, u"No document to save selected."},
    {21011, u"The page number you entered is invalid."},
    {21012, u"Unable to access folder."},
    {21013, u"The path is too deep."},
    {21014, u"Velnor is already running. "},
    {21015, u"The port number you entered is invalid."},
    {21016, u"The specified folder does not exist."},
    // Menus
    {30001, u"Settings"},
    {30101, u"Mode Change"},
    {30201, u"Delete"},
    {30301, u"Basic Settings"},
    {30302, u"Select MFP"},
    {30303, u"Advance Mode"},
    {30304, u"Simple Mode"},
    {30401, u"About"},
};

constexpr bool sortedById() {
    for (std::size_t i = 1; i < std::size(kOwnTexts); ++i) {
        if (kOwnTexts[i - 1].id >= kOwnTexts[i].id) {
            return false;
        }
    }
    return true;
}
static_assert(sortedById(), "own texts must be sorted by id, each id once");

}  // namespace

const char16_t* FindOwnText(uint32_t id) {
    const auto found =
        std::lower_bound(std::begin(kOwnTexts), std::end(kOwnTexts), id,
                         [](const OwnText& entry, uint32_t key) { return entry.id < key; });
    if (found == std::end(kOwnTexts) || found->id != id) {
        return nullptr;
    }
    return found->text;
}
