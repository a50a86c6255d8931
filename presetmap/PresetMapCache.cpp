#include "presetmap/PresetMapCache.h"

#include <charconv>
#include <cmath>
#include <iostream>

#include <juce_core/juce_core.h>

#include "instrument/SafeFileRead.h"
#include "presetmap/InstrumentType.h"
#include "presets/SafeFileWrite.h"

namespace corvex {

namespace {

bool needsEscape(unsigned char c) { return c <= ' ' || c == ',' || c == '%' || c == 0x7F; }

void appendText(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (needsEscape(c)) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// "%XX" back to its byte; a '%' without two hex digits stays as it is.
std::string unescape(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

template <typename T>
void appendNumber(std::string& out, T value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

// Nine significant digits bring every float back exactly.
void appendPosition(std::string& out, float value) {
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value), std::chars_format::scientific, 8);
    out.append(buffer, result.ptr);
}

// Reads the line's fields as a formatted scan would: numbers and the text after blanks, separators exactly.
class LineScanner {
public:
    explicit LineScanner(std::string_view line) : line_(line) {}

    bool separator() {
        if (pos_ >= line_.size() || line_[pos_] != ',') return false;
        ++pos_;
        return true;
    }
    // An integer or a decimal number; a plus sign is taken too, as a formatted scan takes it.
    template <typename T>
    bool number(T& value) {
        skipBlanks();
        if (pos_ < line_.size() && line_[pos_] == '+' && pos_ + 1 < line_.size() && line_[pos_ + 1] != '-') ++pos_;
        const auto result = std::from_chars(line_.data() + pos_, line_.data() + line_.size(), value);
        if (result.ec != std::errc()) return false;
        pos_ = static_cast<size_t>(result.ptr - line_.data());
        return true;
    }
    bool word(std::string_view& value) {
        skipBlanks();
        const size_t start = pos_;
        while (pos_ < line_.size() && !isBlank(line_[pos_])) ++pos_;
        value = line_.substr(start, pos_ - start);
        return !value.empty();
    }

private:
    static bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
    void skipBlanks() {
        while (pos_ < line_.size() && isBlank(line_[pos_])) ++pos_;
    }

    std::string_view line_;
    size_t pos_ = 0;
};

} // namespace

std::string formatPresetMapCache(const PresetMapRecords& records) {
    std::string out;
    out.reserve(records.size() * 128);
    for (const PresetMapRecord& record : records) {
        appendNumber(out, static_cast<long long>(record.key));
        out += ',';
        appendNumber(out, record.type);
        out += ',';
        appendPosition(out, record.x);
        out += ',';
        appendPosition(out, record.y);
        out += record.flagA != 0 ? ",1" : ",0";
        out += record.flagB != 0 ? ",1," : ",0,";
        appendText(out, record.getName());
        out += ',';
        appendText(out, record.getAuthor());
        out += '\n';
    }
    return out;
}

bool writePresetMapCache(const std::string& path, const PresetMapRecords& records) {
    if (path.empty()) return false;
    const juce::File file(juce::String::fromUTF8(path.data(), static_cast<int>(path.size())));
    const std::string text = formatPresetMapCache(records);
    return replaceFileSafely(file, text.data(), text.size());
}

bool parsePresetMapLine(std::string_view line, PresetMapRecord& record) {
    line = line.substr(0, kMaxPresetCacheLineBytes);
    LineScanner scan(line);
    long long key = 0;
    int type = 0, flagA = 0, flagB = 0;
    float x = 0.0f, y = 0.0f;
    std::string_view texts;
    if (!(scan.number(key) && scan.separator() && scan.number(type) && scan.separator() && scan.number(x) &&
          scan.separator() && scan.number(y) && scan.separator() && scan.number(flagA) && scan.separator() &&
          scan.number(flagB) && scan.separator() && scan.word(texts)))
        return false;
    if (key < 1 || type < 0 || type >= kInstrumentTypeCount || !std::isfinite(x) || !std::isfinite(y)) return false;
    record = PresetMapRecord();
    record.key = key;
    record.type = type;
    record.x = x;
    record.y = y;
    record.flagA = flagA != 0;
    record.flagB = flagB != 0;
    // The name ends at the first comma; without one, there is no author.
    const size_t comma = texts.find(',');
    record.setName(unescape(texts.substr(0, comma)));
    if (comma != std::string_view::npos) record.setAuthor(unescape(texts.substr(comma + 1)));
    return true;
}

PresetCacheRead readPresetMapCache(const std::string& path, PresetMapRecords& records) {
    if (path.empty()) return PresetCacheRead::kMissing;
    records.clear();
    const juce::File file(juce::String::fromUTF8(path.data(), static_cast<int>(path.size())));
    const FileRead read = readRegularFile(file, kMaxPresetCacheBytes);
    if (read.status == FileRead::kMissing) return PresetCacheRead::kMissing;
    if (read.status != FileRead::kRead) {
        std::cerr << "Preset map : " << file.getFullPathName() << " " << whyUnread(read.status) << "\n";
        return PresetCacheRead::kDamaged;
    }
    const std::string_view text(static_cast<const char*>(read.bytes.getData()), read.bytes.getSize());
    size_t start = 0, lineNumber = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        start = end + 1;
        ++lineNumber;
        PresetMapRecord record;
        if (!parsePresetMapLine(line, record)) {
            std::cerr << "Preset map : line " << lineNumber << " of " << file.getFullPathName()
                      << " is no map record, the map is not trusted\n";
            records.clear();
            return PresetCacheRead::kDamaged;
        }
        records.push_back(record);
    }
    return PresetCacheRead::kRead;
}

} // namespace corvex
