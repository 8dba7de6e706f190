// The packing options and the listing they name: which entries a payload holds, in stored order,
// where each one's bytes come from and which stamp it gets.
//
// The listing names the entries one per line: the entry name (relative, "\" between folders),
// optionally a TAB and the stamp "YYYY-MM-DD HH:MM:SS" in local time. Lines that are empty or
// start with "#" are skipped. An entry's bytes come from the file of the same name beside the
// listing ("\" read as "/"), or from the PATH that --set gives for that name. Without a stamp in
// the listing, the file's last-write time in local time is taken. Either way the stamp goes
// through the MS-DOS two-second form.
#pragma once

#include <map>
#include <string>
#include <vector>

struct PackOptions {
    std::string listing;
    std::map<std::string, std::string> overrides;  // --set NAME=PATH
};

struct ListedEntry {
    std::string name;
    std::string source;  // the file holding its bytes
    double time;
    int line;  // in the listing, for messages
};

// Reads and checks the listing. Gives false with a message naming the listing's line when a name
// could not be installed safely or unambiguously, a stamp is wrong, or a --set names nothing.
bool ReadListing(const PackOptions& options, std::vector<ListedEntry>* entries, std::string* error);

// The inflated payload that packing stores for these entries, their bytes read from the files.
bool BuildPayload(const std::vector<ListedEntry>& entries, const std::string& listing,
                  std::string* raw, std::string* error);
