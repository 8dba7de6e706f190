#include "tools/packer/Listing.h"

#include <sstream>

#include "payload/PayloadFormat.h"
#include "payload/PayloadName.h"
#include "tools/packer/Files.h"
#include "tools/packer/Names.h"
#include "tools/packer/Stamps.h"

namespace {

// Checks one listed entry; gives the reason it cannot be packed, or "".
std::string EntryProblem(const std::string& line, const std::string& folder,
                         const PackOptions& options, std::map<std::u16string, int>* seen,
                         int number, ListedEntry* entry) {
    size_t tab = line.find('\t');
    entry->name = line.substr(0, tab);
    entry->line = number;
    if (const char* bad = PayloadNameProblem(entry->name.data(),
                                             static_cast<uint32_t>(entry->name.size())))
        return std::string("the name ") + bad;
    auto folded = FoldCase(entry->name);
    auto previous = seen->find(folded);
    if (previous != seen->end())
        return "the name differs only in letter case from the entry of line " +
               std::to_string(previous->second);
    (*seen)[folded] = number;
    std::string problem;
    auto over = options.overrides.find(entry->name);
    if (over != options.overrides.end()) {
        entry->source = over->second;
    } else {
        std::string relative = entry->name;
        for (auto& c : relative)
            if (c == '\\') c = '/';
        entry->source = folder + relative;
    }
    bool stamped = tab == std::string::npos
                       ? StampOfFile(entry->source, &entry->time, &problem)
                       : ParseStamp(line.substr(tab + 1), &entry->time, &problem);
    return stamped ? "" : problem;
}

}  // namespace

bool ReadListing(const PackOptions& options, std::vector<ListedEntry>* entries,
                 std::string* error) {
    const std::string& listing = options.listing;
    std::string text;
    if (!ReadWholeFile(listing, &text)) {
        *error = "cannot read the listing " + listing;
        return false;
    }
    std::string folder = listing.substr(0, listing.find_last_of('/') + 1);
    std::map<std::u16string, int> seen;
    std::stringstream lines(text);
    std::string line;
    int number = 0;
    entries->clear();
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        ListedEntry entry;
        std::string problem = EntryProblem(line, folder, options, &seen, number, &entry);
        if (!problem.empty()) {
            *error = listing + ":" + std::to_string(number) + ": \"" + entry.name + "\" " + problem;
            return false;
        }
        entries->push_back(entry);
    }
    if (entries->empty()) {
        *error = listing + ": lists no entries";
        return false;
    }
    for (const auto& over : options.overrides) {
        bool used = false;
        for (const auto& e : *entries) used = used || e.name == over.first;
        if (!used) {
            *error = "--set names \"" + over.first + "\", which the listing does not list";
            return false;
        }
    }
    return true;
}

bool BuildPayload(const std::vector<ListedEntry>& entries, const std::string& listing,
                  std::string* raw, std::string* error) {
    raw->clear();
    for (const auto& e : entries) {
        std::string bytes;
        if (!ReadWholeFile(e.source, &bytes)) {
            *error = listing + ":" + std::to_string(e.line) + ": \"" + e.name + "\" has no file " +
                     e.source;
            return false;
        }
        if (bytes.size() > 0x7FFFFFFFu || raw->size() + bytes.size() > 0x7FFFFFFFu - 4096) {
            *error = "\"" + e.name + "\" makes the payload larger than 2 GiB";
            return false;
        }
        AppendPayloadEntry(raw, e.name, e.time, bytes);
    }
    return true;
}
