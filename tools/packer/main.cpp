// tsdpack: builds the setup program's payload from a listing of its entries.
//
//   tsdpack --listing FILE --out FILE [--set NAME=PATH]...
//
// The listing names the entries in stored order, one per line: the entry name (relative, "\"
// between folders), optionally a TAB and the stamp "YYYY-MM-DD HH:MM:SS" in local time. Lines that
// are empty or start with "#" are skipped. An entry's bytes come from the file of the same name
// beside the listing ("\" read as "/"), or from the PATH that --set gives for that name. Without a
// stamp in the listing, the file's last-write time in local time is taken. Either way the stamp
// goes through the MS-DOS two-second form, as the setup program reads installed files back.
//
// Names that could not be installed safely or unambiguously are refused with a message and exit
// code 1, and nothing is written.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <zlib.h>

#include "install/DosTime.h"
#include "install/Utf8.h"
#include "payload/PayloadFormat.h"

namespace {

struct Failure {
    std::string message;
};

struct Entry {
    std::string name;
    std::string source;
    double time;
    int line;
};

[[noreturn]] void Fail(const std::string& message) { throw Failure{message}; }

bool ReadWholeFile(const std::string& path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    *bytes = buffer.str();
    return !in.bad();
}

// Checks that the name is UTF-8 of characters in the Basic Multilingual Plane, since the reader
// decodes one- to three-byte sequences only.
std::string NameEncodingProblem(const std::string& name) {
    const auto* p = reinterpret_cast<const unsigned char*>(name.data());
    size_t n = name.size();
    for (size_t i = 0; i < n;) {
        unsigned b = p[i];
        size_t len = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : 0;
        if ((b & 0xF8) == 0xF0) return "holds a character outside the Basic Multilingual Plane";
        if (len == 0 || i + len > n) return "is not valid UTF-8";
        for (size_t k = 1; k < len; ++k)
            if ((p[i + k] & 0xC0) != 0x80) return "is not valid UTF-8";
        if (len == 2 && b < 0xC2) return "is not valid UTF-8";
        if (len == 3) {
            unsigned cp = ((b & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F);
            if (cp < 0x800) return "is not valid UTF-8";
            if (cp >= 0xD800 && cp <= 0xDFFF) return "is not valid UTF-8";
        }
        i += len;
    }
    return "";
}

std::string NameProblem(const std::string& name) {
    if (name.empty()) return "is empty";
    if (name.size() > kMaxPayloadNameLength) return "is longer than 255 bytes";
    std::string encoding = NameEncodingProblem(name);
    if (!encoding.empty()) return encoding;
    if (name[0] == '\\' || name[0] == '/') return "is absolute";
    if (name.find(':') != std::string::npos) return "carries a drive";
    if (name.find('/') != std::string::npos) return "uses \"/\" instead of \"\\\" between folders";
    std::stringstream parts(name);
    std::string part;
    while (std::getline(parts, part, '\\')) {
        if (part == "..") return "contains a \"..\" element";
        if (part.empty() || part == ".") return "contains an empty or \".\" element";
    }
    if (name.back() == '\\') return "ends with \"\\\"";
    return "";
}

// Names are compared as the setup program compares them: without regard to letter case.
std::u16string FoldCase(const std::string& name) {
    std::u16string wide = WideOfUtf8(name);
    for (auto& c : wide) {
        if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
            c = static_cast<char16_t>(c - 0x20);
        else if (c == 0xFF)
            c = 0x178;
    }
    return wide;
}

// A stamp through the MS-DOS two-second form.
double StampOf(int year, int month, int day, int hour, int minute, int second) {
    if (year < 1980 || year > 2099) Fail("has a stamp outside the years 1980 to 2099");
    if (EncodeDate(year, month, day) == 0 || hour > 23 || minute > 59 || second > 59 ||
        hour < 0 || minute < 0 || second < 0)
        Fail("has an impossible stamp");
    uint32_t dos = DateToDosTime(EncodeDate(year, month, day) + EncodeTime(hour, minute, second, 0));
    return DosTimeToDate(dos);
}

double ParseStamp(const std::string& text) {
    int y, mo, d, h, mi, s;
    char tail;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &tail) != 6)
        Fail("has a stamp that is not YYYY-MM-DD HH:MM:SS");
    return StampOf(y, mo, d, h, mi, s);
}

double StampOfFile(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) Fail("has no file " + path);
    struct tm local;
    time_t t = st.st_mtime;
    localtime_r(&t, &local);
    return StampOf(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                   local.tm_min, local.tm_sec);
}

std::vector<Entry> ReadListing(const std::string& listing,
                               const std::map<std::string, std::string>& overrides) {
    std::string text;
    if (!ReadWholeFile(listing, &text)) Fail("cannot read the listing " + listing);
    std::string folder = listing.substr(0, listing.find_last_of('/') + 1);
    std::vector<Entry> entries;
    std::map<std::u16string, int> seen;
    std::stringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        Entry entry;
        entry.line = number;
        size_t tab = line.find('\t');
        entry.name = line.substr(0, tab);
        try {
            std::string problem = NameProblem(entry.name);
            if (!problem.empty()) Fail("the name " + problem);
            auto folded = FoldCase(entry.name);
            auto previous = seen.find(folded);
            if (previous != seen.end())
                Fail("the name differs only in letter case from the entry of line " +
                     std::to_string(previous->second));
            seen[folded] = number;
            auto over = overrides.find(entry.name);
            if (over != overrides.end()) {
                entry.source = over->second;
            } else {
                std::string relative = entry.name;
                for (auto& c : relative)
                    if (c == '\\') c = '/';
                entry.source = folder + relative;
            }
            entry.time = tab == std::string::npos ? StampOfFile(entry.source)
                                                  : ParseStamp(line.substr(tab + 1));
        } catch (const Failure& f) {
            Fail(listing + ":" + std::to_string(number) + ": \"" + entry.name + "\" " + f.message);
        }
        entries.push_back(entry);
    }
    if (entries.empty()) Fail(listing + ": lists no entries");
    for (const auto& over : overrides) {
        bool used = false;
        for (const auto& e : entries) used = used || e.name == over.first;
        if (!used) Fail("--set names \"" + over.first + "\", which the listing does not list");
    }
    return entries;
}

std::string Compress(const std::string& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(&out[0]), &size,
                  reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        Fail("zlib could not compress the payload");
    out.resize(size);
    return out;
}

int Run(int argc, char** argv) {
    std::string listing, output;
    std::map<std::string, std::string> overrides;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if ((arg == "--listing" || arg == "--out" || arg == "--set") && i + 1 < argc) {
            std::string value = argv[++i];
            if (arg == "--listing") {
                listing = value;
            } else if (arg == "--out") {
                output = value;
            } else {
                size_t eq = value.find('=');
                if (eq == std::string::npos || eq == 0) Fail("--set takes NAME=PATH");
                overrides[value.substr(0, eq)] = value.substr(eq + 1);
            }
        } else {
            Fail("usage: tsdpack --listing FILE --out FILE [--set NAME=PATH]...");
        }
    }
    if (listing.empty() || output.empty())
        Fail("usage: tsdpack --listing FILE --out FILE [--set NAME=PATH]...");

    std::vector<Entry> entries = ReadListing(listing, overrides);
    std::string raw;
    for (const auto& e : entries) {
        std::string bytes;
        if (!ReadWholeFile(e.source, &bytes))
            Fail(listing + ":" + std::to_string(e.line) + ": \"" + e.name + "\" has no file " +
                 e.source);
        if (bytes.size() > 0x7FFFFFFFu || raw.size() + bytes.size() > 0x7FFFFFFFu - 4096)
            Fail("\"" + e.name + "\" makes the payload larger than 2 GiB");
        AppendPayloadEntry(&raw, e.name, e.time, bytes);
    }
    std::string packed = Compress(raw);

    std::string temporary = output + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(packed.data(), static_cast<std::streamsize>(packed.size()));
        if (!out) Fail("cannot write " + temporary);
    }
    if (std::rename(temporary.c_str(), output.c_str()) != 0) Fail("cannot write " + output);
    std::printf("tsdpack: %zu entries, %zu bytes, %zu bytes packed\n", entries.size(), raw.size(),
                packed.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const Failure& f) {
        std::fprintf(stderr, "tsdpack: %s\n", f.message.c_str());
        return 1;
    }
}
