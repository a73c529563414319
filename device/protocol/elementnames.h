#pragma once
// The vocabulary of the XML job protocol. An element's id is its index in ElementNames; the
// whole table (49 names and a closing null pointer) is handed to NewJob, and every later call
// names elements by id only.

inline constexpr int kElementCount = 49;

enum ElementId : int {
    kElemJob = 0,
    kElemCommand = 1,
    kElemType = 2,
    kElemParam = 3,
    kElemCode = 4,
    kElemAttribute = 5,
    kElemFolderId = 6,
    kElemPassword = 7,
    kElemFolderName = 8,
    kElemFileId = 9,
    kElemFileName = 10,
    kElemTimestamp = 11,
    kElemPages = 12,
    kElemDocumentId = 13,
    kElemUserId = 14,
    kElemStatus = 15,
    kElemImagePath = 16,
    kElemSubject = 17,
    kElemUserHandle = 18,
    kElemDocument = 19,
    kElemOwner = 20,
    kElemDocType = 21,
    kElemServer = 22,
    kElemStrage = 23,  // a different element from kElemStorage
    kElemXPixel = 24,
    kElemYPixel = 25,
    kElemXResolution = 26,
    kElemYResolution = 27,
    kElemPage = 28,
    kElemResolution = 29,
    kElemDocSize = 30,
    kElemScaling = 31,
    kElemDensity = 32,
    kElemErrorCode = 33,
    kElemErrorWording = 34,
    kElemFile = 35,
    kElemFolder = 36,
    kElemDataSize = 37,
    kElemPageNumber = 38,
    kElemRootName = 39,
    kElemUserName = 40,
    kElemUser = 41,
    kElemPacket = 42,
    kElemMode = 43,
    kElemHPixel = 44,
    kElemHResolution = 45,
    kElemScan = 46,
    kElemStorage = 47,
    kElemImageFormat = 48,
};

// 49 element names, id = index, then a null pointer that ends the table.
inline constexpr const char* ElementNames[kElementCount + 1] = {
    "JOB",         "COMMAND",    "TYPE",        "PARAM",       "CODE",         "ATTRIBUTE",
    "FOLDERID",    "PASSWORD",   "FOLDERNAME",  "FILEID",      "FILENAME",     "TIMESTAMP",
    "PAGES",       "DOCUMENTID", "USERID",      "STATUS",      "IMAGEPATH",    "SUBJECT",
    "USERHANDLE",  "DOCUMENT",   "OWNER",       "DOCTYPE",     "SERVER",       "STRAGE",
    "XPIXEL",      "YPIXEL",     "XRESOLUTION", "YRESOLUTION", "PAGE",         "RESOLUTION",
    "DOCSIZE",     "SCALING",    "DENSITY",     "ERRORCODE",   "ERRORWORDING", "FILE",
    "FOLDER",      "DATASIZE",   "PAGENUMBER",  "ROOTNAME",    "USERNAME",     "USER",
    "PACKET",      "MODE",       "HPIXEL",      "HRESOLUTION", "SCAN",         "STORAGE",
    "IMAGEFORMAT", nullptr};

// The TYPE content of every job.
inline constexpr const char* kJobTypeStorage = "STORAGE";

// The device's success code in a response's CODE element.
inline constexpr int kResultSuccess = 600;
