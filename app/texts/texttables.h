#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// Id/text tables: the texts of messages, progress states and labels, looked up once at start-up
// and then taken from the table by id.

// One entry: a text id and its text (empty until the table is filled and a source has it).
// A table is closed by an entry whose id is -1.
struct TextTableEntry {
    int32_t id;
    QString text;
};
using TextTable = std::vector<TextTableEntry>;

// Message texts and message captions (20001-21101, 807-811).
extern TextTable MessageTextTable;
// Progress dialog texts (15001-15004).
extern TextTable ProgressTextTable;
// Labels: "B/W", "Color", "USB" (8001-8003).
extern TextTable LabelTextTable;

// Looks up every entry of `table` (up to the closing entry) like LoadLocalizedText and replaces
// its text when a source has one; an entry no source has keeps its text. Call on the
// user-interface thread before the table is read elsewhere (start-up fills the three tables
// once, right after opening the text sources).
void FillTextTable(TextTable& table);

// The entry of `id` in `table`, or nullptr when the table does not hold the id.
const TextTableEntry* FindTableEntry(const TextTable& table, int32_t id);

// The text of `id` in `table`, without any further lookup. An id the table does not hold gives
// an empty text, as does an entry no source had a text for. The result is never a null
// QString, so as a message box caption it shows an empty title.
QString FindTableText(const TextTable& table, int32_t id);
