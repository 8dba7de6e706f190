#include <cstdio>

#include "tools/packer/Commands.h"
#include "tools/packer/Files.h"

void Complain(const std::string& message) {
    std::fprintf(stderr, "tsdpack: %s\n", message.c_str());
}

bool ParsePackOptions(const std::vector<std::string>& args, size_t first, PackOptions* options,
                      std::string* out, std::string* error) {
    for (size_t i = first; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool known = arg == "--listing" || arg == "--set" || (arg == "--out" && out != nullptr);
        if (!known || i + 1 >= args.size()) {
            *error = "unknown or incomplete option \"" + arg + "\"";
            return false;
        }
        const std::string& value = args[++i];
        if (arg == "--listing") {
            options->listing = value;
        } else if (arg == "--out") {
            *out = value;
        } else {
            size_t eq = value.find('=');
            if (eq == std::string::npos || eq == 0) {
                *error = "--set takes NAME=PATH";
                return false;
            }
            options->overrides[value.substr(0, eq)] = value.substr(eq + 1);
        }
    }
    if (options->listing.empty() || (out != nullptr && out->empty())) {
        *error = "--listing FILE" + std::string(out ? " and --out FILE are" : " is") + " needed";
        return false;
    }
    return true;
}

bool LoadProgramPayload(const std::string& path, StoredPayload* payload) {
    std::string bytes, problem;
    if (!ReadWholeFile(path, &bytes)) {
        Complain("cannot read " + path);
        return false;
    }
    if (!PayloadOfProgram(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), payload,
                          &problem)) {
        Complain(path + ": " + problem);
        return false;
    }
    return true;
}
