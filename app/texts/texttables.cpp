#include "app/texts/texttables.h"

#include "app/texts/textsources.h"

namespace {

constexpr int32_t kTableEnd = -1;

TextTable makeTable(std::initializer_list<int32_t> ids) {
    TextTable table;
    table.reserve(ids.size() + 1);
    for (int32_t id : ids) {
        table.push_back({id, QString()});
    }
    table.push_back({kTableEnd, QString()});
    return table;
}

}  // namespace

TextTable MessageTextTable = makeTable(
    {20001, 20002, 20003, 20004, 20005, 21001, 21003, 21004, 21005, 21006, 21007, 21008, 21009,
     21010, 21011, 21012, 21013, 21014, 21015, 21016, 21101, 807,   808,   810,   811});
TextTable ProgressTextTable = makeTable({15001, 15002, 15003, 15004});
TextTable LabelTextTable = makeTable({8001, 8002, 8003});

void FillTextTable(TextTable& table) {
    TextBuffer buffer;
    for (TextTableEntry& entry : table) {
        if (entry.id == kTableEnd) {
            break;
        }
        if (LoadLocalizedText(static_cast<uint32_t>(entry.id), buffer)) {
            entry.text = QString::fromUtf16(buffer.data());
        }
    }
}

const TextTableEntry* FindTableEntry(const TextTable& table, int32_t id) {
    for (const TextTableEntry& entry : table) {
        if (entry.id == kTableEnd) {
            break;
        }
        if (entry.id == id) {
            return &entry;
        }
    }
    return nullptr;
}

QString FindTableText(const TextTable& table, int32_t id) {
    const TextTableEntry* entry = FindTableEntry(table, id);
    if (entry == nullptr || entry->text.isNull()) {
        return QString::fromLatin1("");
    }
    return entry->text;
}
