#include "wizard/engine/UpdateLog.h"

#include <algorithm>
#include <cstring>

#include "install/CheckedObject.h"
#include "install/InstUtils.h"
#include "install/InstallLog.h"
#include "install/LinkGuard.h"
#include "install/SafeWrite.h"

std::string UpdateLogMarker(double installStamp) {
    uint8_t bytes[8];
    std::memcpy(bytes, &installStamp, sizeof bytes);
    static const char kHex[] = "0123456789ABCDEF";
    std::string marker = "*";
    for (uint8_t b : bytes) {
        marker += kHex[b >> 4];
        marker += kHex[b & 0xF];
    }
    return marker;
}

std::vector<std::string> MergeUpdateLog(std::vector<std::string> lines,
                                        std::vector<std::string> runLines, double installStamp) {
    // Sorted by their keys, which compare as the collation does: one call into the system per
    // line, where comparing the lines themselves would ask it many times for each.
    std::vector<std::string> keys;
    std::vector<uint32_t> order;
    for (const auto& line : runLines) {
        order.push_back(static_cast<uint32_t>(keys.size()));
        keys.push_back(LogTextKey(line));
    }
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
    std::vector<std::string> sortedKeys, sortedLines;
    for (uint32_t i : order) {
        sortedKeys.push_back(std::move(keys[i]));
        sortedLines.push_back(std::move(runLines[i]));
    }
    runLines = std::move(sortedLines);
    // The old lines are in the same order. One that is byte for byte the next of this run's
    // lines (a reinstallation's are, nearly all) is found without the collation; any other is
    // looked for by its key.
    size_t next = 0;
    auto isRunLine = [&](const std::string& line) {
        if (next < runLines.size() && runLines[next] == line) {
            ++next;
            return true;
        }
        return std::binary_search(sortedKeys.begin(), sortedKeys.end(), LogTextKey(line));
    };
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [&](const std::string& line) { return line.empty() || isRunLine(line); }),
                lines.end());
    for (size_t i = lines.size(); i-- > 1;)
        if (lines[i][0] == '*' && lines[i - 1][0] == '*')
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
    if (!lines.empty() && lines.back()[0] == '*') lines.pop_back();
    lines.push_back(UpdateLogMarker(installStamp));
    lines.insert(lines.end(), runLines.begin(), runLines.end());
    return lines;
}

bool WriteUpdateLog(const plat::Wide& path, const std::vector<std::string>& runLines,
                    double installStamp) {
    if (runLines.empty()) return true;
    std::vector<std::string> existing;
    if (FileExists(path)) {
        std::string text;
        // A log that cannot be read must not be replaced by one that forgot its earlier runs, and
        // a link or a hard link there is not read: its target's lines would land in a log every
        // user can read.
        if (!ReadPlainFile(path, &text)) return false;
        existing = SplitLogLines(text);
    }
    std::string merged = JoinLogLines(MergeUpdateLog(existing, runLines, installStamp));
    // Written beside the log under a temporary name of its own and then put in its place, so a
    // failed write (a full disk) or a power cut leaves the old log whole.
    TSafeWrite how;
    how.NeverPartial = true;
    return WriteWholeFile(path, merged.data(), static_cast<uint32_t>(merged.size()), how);
}
