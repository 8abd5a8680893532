// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PlanText.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "engine/TargetNames.h"
#include "util/OleDate.h"

namespace duvanto {

namespace {

constexpr int64_t kUnitsPerSecond = 10'000'000;

// Seven digits of 100-ns units without the zeros at their end; "" for none.
std::string FractionText(int64_t units) {
    if (units == 0) {
        return {};
    }
    std::array<char, 16> digits{};
    std::snprintf(digits.data(), digits.size(), ".%07lld", static_cast<long long>(units));
    std::string text = digits.data();
    while (text.back() == '0') {
        text.pop_back();
    }
    return text;
}

std::string SecondsText(int64_t units) {
    const int64_t magnitude = std::llabs(units);
    return std::to_string(magnitude / kUnitsPerSecond) + FractionText(magnitude % kUnitsPerSecond) +
           " s";
}

std::string Hex8(uint32_t value) {
    std::array<char, 12> text{};
    std::snprintf(text.data(), text.size(), "%08x", value);
    return text.data();
}

struct ReasonWords {
    OpReason reason;
    const char* code;
};

constexpr ReasonWords kCodes[] = {
    {OpReason::NewInSource, "new-in-source"},
    {OpReason::SourceNewer, "source-newer"},
    {OpReason::TargetNewer, "target-newer"},
    {OpReason::SizeDiffers, "size-differs"},
    {OpReason::ContentsDiffer, "contents-differ"},
    {OpReason::CrcDiffers, "crc32-differs"},
    {OpReason::CompareFailed, "compare-failed"},
    {OpReason::LinkTextDiffers, "link-text-differs"},
    {OpReason::KindDiffers, "kind-differs"},
    {OpReason::Orphan, "orphan"},
    {OpReason::FolderMissing, "folder-missing"},
    {OpReason::FolderInTarget, "folder-in-target"},
    {OpReason::FolderInSource, "folder-in-source"},
    {OpReason::StrayTempFile, "stray-temporary-file"},
    {OpReason::CaseOnlyRename, "case-only-rename"},
    {OpReason::CaseCollision, "case-collision"},
    {OpReason::NameCharacters, "name-characters"},
    {OpReason::NameTrailing, "name-trailing-dot-or-blank"},
    {OpReason::NameDevice, "name-device"},
    {OpReason::NameTooLong, "name-too-long"},
    {OpReason::NameEncoding, "name-encoding"},
};

}  // namespace

StampKind StampOf(const DirEntry* entry) {
    if (entry == nullptr) {
        return StampKind::Absent;
    }
    switch (entry->kind) {
        case EntryKind::File:
            return StampKind::File;
        case EntryKind::Link:
            return StampKind::Link;
        case EntryKind::Folder:
            return StampKind::Folder;
        default:
            return StampKind::Special;
    }
}

std::string FileTimeText(int64_t modified) {
    // Floor division: a time before 1970 still counts its fraction forward.
    int64_t seconds = modified / kUnitsPerSecond;
    int64_t units = modified % kUnitsPerSecond;
    if (units < 0) {
        --seconds;
        units += kUnitsPerSecond;
    }
    try {
        const LocalDateTime local =
            LocalFromOleDate(OleDateFromTimeT(static_cast<std::time_t>(seconds)));
        std::array<char, 32> text{};
        std::snprintf(text.data(), text.size(), "%04d-%02d-%02d %02d:%02d:%02d", local.year,
                      local.month, local.day, local.hour, local.minute, local.second);
        return text.data() + FractionText(units);
    } catch (const std::out_of_range&) {
        return std::to_string(modified) + " (100-ns units since 1970)";
    }
}

std::string OpReasonText(const FileOp& op) {
    const std::string times = FileTimeText(op.SourceTime) + " against " +
                              FileTimeText(op.TargetTime) + " (" +
                              SecondsText(op.SourceTime - op.TargetTime) + ")";
    switch (op.Reason) {
        case OpReason::NewInSource:
            return "new in the Source";
        case OpReason::SourceNewer:
            return "the Source is newer: " + times;
        case OpReason::TargetNewer:
            return "the Target is newer: " + times + "; \"copy only if newer\" is off";
        case OpReason::SizeDiffers:
            return "the sizes differ: " + std::to_string(op.Bytes) + " bytes in the Source, " +
                   std::to_string(op.TargetSize) + " in the Target";
        case OpReason::ContentsDiffer:
            return "the contents differ, first at byte " + std::to_string(op.Detail);
        case OpReason::CrcDiffers:
            return "the CRC-32 values differ: " + Hex8(static_cast<uint32_t>(op.Detail >> 32)) +
                   " in the Source, " + Hex8(static_cast<uint32_t>(op.Detail)) + " in the Target";
        case OpReason::CompareFailed:
            return "the contents could not be compared";
        case OpReason::LinkTextDiffers:
            return "the links point to different places";
        case OpReason::KindDiffers:
            return "a file on one side, a link or special file on the other";
        case OpReason::Orphan:
            return "not in the Source";
        case OpReason::FolderMissing:
            return "the folder is missing in the Target";
        case OpReason::FolderInTarget:
            return op.Operation == DeleteFolder ? "the Source holds a file of this name"
                                                : "a folder of this name in the Target goes first";
        case OpReason::FolderInSource:
            return "the Source holds a folder of this name";
        case OpReason::StrayTempFile:
            return "a temporary file left by an interrupted run";
        case OpReason::CaseOnlyRename:
            return "the names differ only in letter case, which the Target's file system does not "
                   "tell apart";
        case OpReason::CaseCollision:
            return CaseCollisionText(op.FileName, op.OtherName);
        case OpReason::NameCharacters:
            return RefusalText(NameRefusal::Character, op.FileName, 0);
        case OpReason::NameTrailing:
            return RefusalText(NameRefusal::TrailingDotOrBlank, op.FileName, 0);
        case OpReason::NameDevice:
            return RefusalText(NameRefusal::DeviceName, op.FileName, 0);
        case OpReason::NameTooLong:
            return RefusalText(NameRefusal::TooLong, op.FileName, static_cast<uint32_t>(op.Detail));
        case OpReason::NameEncoding:
            return RefusalText(NameRefusal::Encoding, op.FileName, 0);
    }
    return {};
}

const char* OpReasonCode(OpReason reason) {
    for (const ReasonWords& words : kCodes) {
        if (words.reason == reason) {
            return words.code;
        }
    }
    return "";
}

bool OpReasonFromCode(const std::string& code, OpReason& reason) {
    for (const ReasonWords& words : kCodes) {
        if (code == words.code) {
            reason = words.reason;
            return true;
        }
    }
    return false;
}

}  // namespace duvanto
