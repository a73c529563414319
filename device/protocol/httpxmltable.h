#pragma once
// The entry-point table of the HTTP-XML transport library. The program's transport loader owns
// one HttpXmlTable, zeroed until the library's GetHTTPXML fills it; the device access layer
// builds, sends and walks every job through these slots only.
//
// The table has 56 pointer-sized slots. The device family fixes it at 224 bytes, which is its
// size where pointers are 32 bits wide; on a 64-bit build the same 56 slots take 448 bytes.
// Callers pass sizeof(HttpXmlTable) (kHttpXmlTableBytes) to GetHTTPXML, which refuses any other
// size, so a table can never be written past its end.
//
// All text in and out is 8-bit and null-terminated: element names and content in ASCII, host
// names and passwords in the ANSI code page (UTF-8 here). Text returned by the library stays
// owned by it and lives until the node's document is cleared, re-exchanged or freed.

#include <cstddef>
#include <cstdint>

// Opaque handles made by the transport library.
struct JobDocument;  // one request; after an exchange the same handle holds the parsed response
struct JobNode;      // one element of a parsed response
struct Connection;   // the device a job is sent to

inline constexpr int kHttpXmlSlotCount = 56;

// Paths on the device's HTTP port.
inline constexpr const char* kJobPath = "/ScanBox.cgi";
inline constexpr const char* kPageDownloadPath = "/loadimg.cgi";

// The second argument of FirstNode and NextNode; the program always passes it.
inline constexpr int kAnyElement = -1;
// The fourth argument of AddNumberElementEx; the program always passes it.
inline constexpr int kUnsignedNumberWidth = 8;

extern "C" {
// Slot 0: a new, empty job document over the element table (49 names and a null pointer; the
// table must outlive the document). Null when memory runs out or the table is null.
typedef JobDocument* (*NewJobFn)(const char* const* elementNames);
// Slot 1: releases the document and every node and text taken from it. Null is ignored.
typedef void (*FreeJobFn)(JobDocument* document);
// Slot 2: empties the document: elements, attributes, command code, encoded bytes and any parsed
// response. Returns non-zero on success.
typedef int (*ClearJobFn)(JobDocument* document);
// Slot 4: byte size of the request encoded by EncodeJobRequest; 0 when none is encoded.
typedef std::uint32_t (*EncodedJobSizeFn)(JobDocument* document);
// Slot 7: encodes the request for the path (the program passes 0, "/ScanBox.cgi", 0) and keeps
// the bytes in the document. Non-zero on success; 0 when the document has no root element or
// holds a parsed response (ClearJob before building the next request).
typedef int (*EncodeJobRequestFn)(JobDocument* document, int reserved, const char* path,
                                  int reserved2);
// Slot 9: copies the encoded request into the caller's buffer. Non-zero, with *written set, when
// the whole request fits; 0 (nothing copied, *written 0) otherwise.
typedef int (*CopyEncodedJobFn)(JobDocument* document, char* buffer, std::uint32_t bufferSize,
                                std::uint32_t* written);
// Slot 10: parses an encoded response into the document, replacing what it held. Non-zero on
// success; on failure the document holds no response (FirstNode gives null).
typedef int (*DecodeJobResponseFn)(JobDocument* document, const char* bytes, std::uint32_t length);
// Slot 13: a named text value of the whole document (e.g. "version", "FileID"); setting a name
// again replaces its value. Non-zero on success.
typedef int (*SetJobAttributeFn)(JobDocument* document, const char* name, const char* value);
// Slot 14: opens an element as child of the innermost open element, or as root. Zero when the
// id is not in the table or a second root would be made; the caller then neither fills nor
// closes it.
typedef int (*OpenElementFn)(JobDocument* document, int elementId);
// Slot 15: closes the innermost open element. Zero when none is open.
typedef int (*CloseElementFn)(JobDocument* document);
// Slot 16: a complete element with the text as content (escaped when encoded).
typedef int (*AddTextElementFn)(JobDocument* document, int elementId, const char* text);
// Slot 17: a complete element holding the signed number in decimal.
typedef int (*AddNumberElementFn)(JobDocument* document, int elementId, std::int32_t value);
// Slot 18: a complete element holding the number as unsigned 32-bit decimal; width is always 8.
typedef int (*AddNumberElementExFn)(JobDocument* document, int elementId, std::uint32_t value,
                                    int width);
// Slots 19, 20: the first, then the next element of the parsed response: every element once,
// in document order of the start tags, whatever its nesting; null after the last.
typedef JobNode* (*FirstNodeFn)(JobDocument* document, int elementFilter);
typedef JobNode* (*NextNodeFn)(JobDocument* document, int elementFilter);
// Slot 24: the node's id in the element table; -1 for a name not in it or a null node.
typedef int (*NodeElementIdFn)(JobNode* node);
// Slot 26: the node's text content; "" for an empty element or a null node. Never null.
typedef const char* (*NodeTextFn)(JobNode* node);
// Slot 27: the content as a signed 32-bit decimal. Non-zero on success; *value is untouched
// when the content is no number in range.
typedef int (*NodeNumberFn)(JobNode* node, std::int32_t* value);
// Slot 28: the content as an unsigned 32-bit decimal, as NodeNumber.
typedef int (*NodeNumberExFn)(JobNode* node, std::uint32_t* value);
// Slots 32, 33: the USB command code kept with the document (cleared by ClearJob).
typedef int (*SetCommandCodeFn)(JobDocument* document, std::uint32_t code);
typedef std::uint32_t (*GetCommandCodeFn)(JobDocument* document);
// Slot 35: a connection to the host (name or address as text). Nothing is sent yet; null for a
// null, empty or unusable host name.
typedef Connection* (*OpenConnectionFn)(const char* host);
// Slot 36: releases the connection. Null is ignored.
typedef void (*CloseConnectionFn)(Connection* connection);
// Slot 39: fetches the path with the document's attributes as the query and stores the response
// body in the file. Non-zero only when the whole body arrived and is in the file; on any
// failure no file is left at filePath. A null connection fails without a request.
typedef int (*DownloadToFileFn)(Connection* connection, std::uint16_t port, const char* path,
                                JobDocument* document, const char* filePath, int reserved);
// Slot 40: posts the encoded request to the path and parses the response into the same
// document. Non-zero on success; on failure the document holds no response.
typedef int (*PostJobFn)(Connection* connection, std::uint16_t port, const char* path,
                         JobDocument* document);
}

// The 56 slots; the ones the program never calls stay null.
struct HttpXmlTable {
    NewJobFn newJob;                          // 0
    FreeJobFn freeJob;                        // 1
    ClearJobFn clearJob;                      // 2
    void* slot3;                              // 3
    EncodedJobSizeFn encodedJobSize;          // 4
    void* slot5;                              // 5
    void* slot6;                              // 6
    EncodeJobRequestFn encodeJobRequest;      // 7
    void* slot8;                              // 8
    CopyEncodedJobFn copyEncodedJob;          // 9
    DecodeJobResponseFn decodeJobResponse;    // 10
    void* slot11;                             // 11
    void* slot12;                             // 12
    SetJobAttributeFn setJobAttribute;        // 13
    OpenElementFn openElement;                // 14
    CloseElementFn closeElement;              // 15
    AddTextElementFn addTextElement;          // 16
    AddNumberElementFn addNumberElement;      // 17
    AddNumberElementExFn addNumberElementEx;  // 18
    FirstNodeFn firstNode;                    // 19
    NextNodeFn nextNode;                      // 20
    void* slot21;                             // 21
    void* slot22;                             // 22
    void* slot23;                             // 23
    NodeElementIdFn nodeElementId;            // 24
    void* slot25;                             // 25
    NodeTextFn nodeText;                      // 26
    NodeNumberFn nodeNumber;                  // 27
    NodeNumberExFn nodeNumberEx;              // 28
    void* slot29;                             // 29
    void* slot30;                             // 30
    void* slot31;                             // 31
    SetCommandCodeFn setCommandCode;          // 32
    GetCommandCodeFn getCommandCode;          // 33
    void* slot34;                             // 34
    OpenConnectionFn openConnection;          // 35
    CloseConnectionFn closeConnection;        // 36
    void* slot37;                             // 37
    void* slot38;                             // 38
    DownloadToFileFn downloadToFile;          // 39
    PostJobFn postJob;                        // 40
    void* slots41to55[15];                    // 41 - 55
};

inline constexpr std::size_t kHttpXmlTableBytes = sizeof(HttpXmlTable);
static_assert(kHttpXmlTableBytes == kHttpXmlSlotCount * sizeof(void*));
static_assert(offsetof(HttpXmlTable, encodedJobSize) == 4 * sizeof(void*));
static_assert(offsetof(HttpXmlTable, setJobAttribute) == 13 * sizeof(void*));
static_assert(offsetof(HttpXmlTable, firstNode) == 19 * sizeof(void*));
static_assert(offsetof(HttpXmlTable, nodeElementId) == 24 * sizeof(void*));
static_assert(offsetof(HttpXmlTable, setCommandCode) == 32 * sizeof(void*));
static_assert(offsetof(HttpXmlTable, openConnection) == 35 * sizeof(void*));
static_assert(offsetof(HttpXmlTable, downloadToFile) == 39 * sizeof(void*));
static_assert(offsetof(HttpXmlTable, postJob) == 40 * sizeof(void*));

// The export of the transport library: fills every slot of the table it serves and sets the
// others to null. Returns non-zero on success; zero (table untouched) for a null table or a
// size other than kHttpXmlTableBytes.
extern "C" typedef int (*GetHTTPXMLFn)(HttpXmlTable* table, std::uint32_t tableSize);
