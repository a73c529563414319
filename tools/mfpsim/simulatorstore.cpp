#include "tools/mfpsim/simulatorstore.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <system_error>

namespace fs = std::filesystem;

namespace {

using KeyValues = std::map<std::string, std::string>;

// Reads "key=value" lines; lines without "=" are ignored.
std::optional<KeyValues> readKeyValues(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    KeyValues values;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const auto eq = line.find('=');
        if (eq != std::string::npos) {
            values[line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return values;
}

// Values may not hold line breaks; they are replaced by blanks.
std::string oneLine(std::string value) {
    std::replace(value.begin(), value.end(), '\n', ' ');
    std::replace(value.begin(), value.end(), '\r', ' ');
    return value;
}

bool writeKeyValues(const fs::path& path,
                    const std::vector<std::pair<std::string, std::string>>& values) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const auto& [key, value] : values) {
        out << key << '=' << oneLine(value) << '\n';
    }
    out.flush();
    return static_cast<bool>(out);
}

std::optional<std::uint32_t> parseUnsigned(const std::string& text, int base = 10) {
    if (text.empty() || text.size() > 10) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        }
        if (digit < 0 || digit >= base) {
            return std::nullopt;
        }
        value = value * base + digit;
    }
    if (value > 0xFFFFFFFFu) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

std::int32_t intValue(const KeyValues& values, const std::string& key, std::int32_t fallback) {
    const auto it = values.find(key);
    if (it == values.end()) {
        return fallback;
    }
    try {
        return static_cast<std::int32_t>(std::stol(it->second));
    } catch (...) {
        return fallback;
    }
}

std::string textValue(const KeyValues& values, const std::string& key) {
    const auto it = values.find(key);
    return it == values.end() ? std::string() : it->second;
}

// Folder ids of the "box-<id>" folders under root, ascending.
std::vector<std::uint32_t> boxIds(const fs::path& root) {
    std::vector<std::uint32_t> ids;
    std::error_code ec;
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind("box-", 0) == 0 && it->is_directory(ec)) {
            if (const auto id = parseUnsigned(name.substr(4))) {
                ids.push_back(*id);
            }
        }
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::optional<StoredDocument> readDocument(const fs::path& folder, std::uint32_t folderId) {
    const std::string name = folder.filename().string();
    if (name.rfind("doc-", 0) != 0 || name.size() != 12) {
        return std::nullopt;
    }
    const auto fileId = parseUnsigned(name.substr(4), 16);
    const auto values = readKeyValues(folder / "document.txt");
    if (!fileId || !values) {
        return std::nullopt;
    }
    StoredDocument document;
    document.fileId = *fileId;
    document.folderId = folderId;
    document.fileName = textValue(*values, "fileName");
    document.timestamp = textValue(*values, "timestamp");
    document.imageFormat = intValue(*values, "imageFormat", 1);
    document.pages = intValue(*values, "pages", 0);
    document.xPixel = intValue(*values, "xPixel", 0);
    document.yPixel = intValue(*values, "yPixel", 0);
    document.xResolution = intValue(*values, "xResolution", 0);
    document.yResolution = intValue(*values, "yResolution", 0);
    document.attribute = static_cast<std::uint32_t>(intValue(*values, "attribute", 0));
    return document;
}

const char* pageExtension(int imageFormat) {
    return imageFormat == 0 ? ".tif" : ".jpg";
}

}  // namespace

std::string fileIdHex(std::uint32_t fileId) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(fileId));
    return text;
}

SimulatorStore::SimulatorStore(fs::path root) : root_(std::move(root)) {}

std::string SimulatorStore::deviceName() const {
    const auto values = readKeyValues(root_ / "device.txt");
    const std::string name = values ? textValue(*values, "name") : std::string();
    return name.empty() ? std::string("Velnor MFP") : name;
}

fs::path SimulatorStore::boxFolder(std::uint32_t folderId) const {
    return root_ / ("box-" + std::to_string(folderId));
}

std::vector<StoredBox> SimulatorStore::boxes() const {
    std::vector<StoredBox> result;
    for (std::uint32_t id : boxIds(root_)) {
        if (auto box = findBox(id)) {
            result.push_back(std::move(*box));
        }
    }
    return result;
}

std::optional<StoredBox> SimulatorStore::findBox(std::uint32_t folderId) const {
    const auto values = readKeyValues(boxFolder(folderId) / "box.txt");
    if (!values) {
        return std::nullopt;
    }
    StoredBox box;
    box.folderId = folderId;
    box.name = textValue(*values, "name");
    box.attribute = static_cast<std::uint32_t>(intValue(*values, "attribute", 1));
    box.password = textValue(*values, "password");
    return box;
}

std::vector<StoredDocument> SimulatorStore::documents(std::uint32_t folderId) const {
    std::vector<StoredDocument> result;
    std::error_code ec;
    for (fs::directory_iterator it(boxFolder(folderId), ec), end; !ec && it != end;
         it.increment(ec)) {
        if (auto document = readDocument(it->path(), folderId)) {
            result.push_back(std::move(*document));
        }
    }
    std::sort(result.begin(), result.end(),
              [](const StoredDocument& a, const StoredDocument& b) { return a.fileId < b.fileId; });
    return result;
}

std::optional<fs::path> SimulatorStore::documentFolder(std::uint32_t fileId) const {
    for (std::uint32_t id : boxIds(root_)) {
        const fs::path folder = boxFolder(id) / ("doc-" + fileIdHex(fileId));
        std::error_code ec;
        if (fs::is_directory(folder, ec)) {
            return folder;
        }
    }
    return std::nullopt;
}

std::optional<StoredDocument> SimulatorStore::findDocument(std::uint32_t fileId) const {
    const auto folder = documentFolder(fileId);
    if (!folder) {
        return std::nullopt;
    }
    const auto folderId = parseUnsigned(folder->parent_path().filename().string().substr(4));
    return readDocument(*folder, folderId.value_or(0));
}

fs::path SimulatorStore::pagePath(const StoredDocument& document, int page) const {
    if (page < 1 || page > document.pages) {
        return {};
    }
    return boxFolder(document.folderId) / ("doc-" + fileIdHex(document.fileId)) /
           ("page-" + std::to_string(page) + pageExtension(document.imageFormat));
}

bool SimulatorStore::deleteDocument(std::uint32_t fileId) {
    const auto folder = documentFolder(fileId);
    if (!folder) {
        return false;
    }
    std::error_code ec;
    fs::remove_all(*folder, ec);
    return !ec && !fs::exists(*folder, ec);
}

bool SimulatorStore::setDeviceName(const std::string& name) {
    std::error_code ec;
    fs::create_directories(root_, ec);
    return !ec && writeKeyValues(root_ / "device.txt", {{"name", name}});
}

bool SimulatorStore::addBox(const StoredBox& box) {
    std::error_code ec;
    const fs::path folder = boxFolder(box.folderId);
    fs::create_directories(folder, ec);
    return !ec && writeKeyValues(folder / "box.txt", {{"name", box.name},
                                                      {"attribute", std::to_string(box.attribute)},
                                                      {"password", box.password}});
}

bool SimulatorStore::addDocument(const StoredDocument& document,
                                 const std::vector<std::string>& pageBytes) {
    std::error_code ec;
    if (!fs::is_directory(boxFolder(document.folderId), ec)) {
        return false;
    }
    const fs::path folder = boxFolder(document.folderId) / ("doc-" + fileIdHex(document.fileId));
    fs::create_directories(folder, ec);
    if (ec) {
        return false;
    }
    StoredDocument stored = document;
    stored.pages = static_cast<int>(pageBytes.size());
    bool ok = writeKeyValues(folder / "document.txt",
                             {{"fileName", stored.fileName},
                              {"timestamp", stored.timestamp},
                              {"imageFormat", std::to_string(stored.imageFormat)},
                              {"pages", std::to_string(stored.pages)},
                              {"xPixel", std::to_string(stored.xPixel)},
                              {"yPixel", std::to_string(stored.yPixel)},
                              {"xResolution", std::to_string(stored.xResolution)},
                              {"yResolution", std::to_string(stored.yResolution)},
                              {"attribute", std::to_string(stored.attribute)}});
    for (int page = 1; ok && page <= stored.pages; ++page) {
        std::ofstream out(pagePath(stored, page), std::ios::binary | std::ios::trunc);
        const std::string& bytes = pageBytes[static_cast<size_t>(page - 1)];
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        ok = static_cast<bool>(out);
    }
    if (!ok) {
        fs::remove_all(folder, ec);
    }
    return ok;
}
