#pragma once
// The in-step sort of a listed box's document columns by timestamp, oldest first.

#include <QStringList>
#include <cstdint>
#include <span>

#include "device/devicetables.h"

// Sorts the four columns and moves fileId and imageFormat of `table` with them (see
// DeviceAccess::SortDocumentsByTime). Lists shorter than the timestamp list, formats beyond the
// array and entries beyond the table are left alone rather than read or written out of range.
void SortDocumentColumns(DocumentTable& table, QStringList& fileNames, QStringList& timestamps,
                         QStringList& pages, std::span<std::int32_t, kDocumentTableSize> formats);
