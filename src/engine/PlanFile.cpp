#include "engine/PlanFile.h"

#include <cerrno>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string_view>

#include "engine/PlanText.h"
#include "platform/FilePrimitives.h"

namespace duvanto {

namespace {

using nlohmann::json;

constexpr char kFormatName[] = "duvanto-plan";

// Thrown for a file that is no plan of this version; the message goes to the user as it is.
class Damaged : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

template <typename Enum>
struct Word {
    Enum value;
    const char* word;
};

constexpr Word<int32_t> kOperations[] = {
    {CopyFile, "copy-file"},
    {DeleteFile, "delete-file"},
    {CreateFolder, "create-folder"},
    {DeleteFolder, "delete-folder"},
};
constexpr Word<StampKind> kStamps[] = {
    {StampKind::NotRead, "not-read"}, {StampKind::Absent, "absent"},
    {StampKind::File, "file"},        {StampKind::Link, "link"},
    {StampKind::Folder, "folder"},    {StampKind::Special, "special"},
};
constexpr Word<CompareMethodType> kCompares[] = {
    {CompareMethodType::DateTime, "datetime"},
    {CompareMethodType::Size, "size"},
    {CompareMethodType::Contents, "contents"},
    {CompareMethodType::CRC32, "crc32"},
};
constexpr Word<DeleteMethodType> kDeletes[] = {
    {DeleteMethodType::RegularDelete, "regular"},
    {DeleteMethodType::SendToRecycleBin, "trash"},
    {DeleteMethodType::DoNotDelete, "none"},
    {DeleteMethodType::SecureDelete, "secure"},
};
constexpr Word<CopyMethodType> kCopies[] = {
    {CopyMethodType::RegularCopy, "regular"},
    {CopyMethodType::SafeCopyMethod, "safe"},
    {CopyMethodType::RetainCreateTimestamp, "keep-created"},
};

template <typename Enum, std::size_t N>
const char* WordOf(const Word<Enum> (&words)[N], Enum value) {
    for (const Word<Enum>& word : words) {
        if (word.value == value) {
            return word.word;
        }
    }
    return "";
}

template <typename Enum, std::size_t N>
Enum ValueOf(const Word<Enum> (&words)[N], const json& text, const char* what) {
    if (text.is_string()) {
        for (const Word<Enum>& word : words) {
            if (text.get_ref<const std::string&>() == word.word) {
                return word.value;
            }
        }
    }
    throw Damaged(std::string("unknown ") + what + " " + text.dump());
}

// Exactly what the JSON writer accepts: no overlong forms, no surrogates, nothing past U+10FFFF.
bool IsUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        }
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

// Names are bytes: what is no UTF-8 is kept exactly as {"hex": "..."}.
json PathValue(const std::string& path) {
    if (IsUtf8(path)) {
        return path;
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : path) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return json{{"hex", hex}};
}

std::string PathFrom(const json& value, const char* what) {
    if (value.is_string()) {
        return value.get<std::string>();
    }
    if (value.is_object() && value.contains("hex") && value["hex"].is_string()) {
        const std::string& hex = value["hex"].get_ref<const std::string&>();
        auto digit = [&](char c) -> int {
            if (c >= '0' && c <= '9') {
                return c - '0';
            }
            if (c >= 'a' && c <= 'f') {
                return c - 'a' + 10;
            }
            throw Damaged(std::string("bad hex in ") + what);
        };
        if (hex.size() % 2 != 0) {
            throw Damaged(std::string("bad hex in ") + what);
        }
        std::string bytes;
        for (std::size_t i = 0; i < hex.size(); i += 2) {
            bytes += static_cast<char>(digit(hex[i]) * 16 + digit(hex[i + 1]));
        }
        return bytes;
    }
    throw Damaged(std::string(what) + " is missing");
}

const json& Field(const json& object, const char* name) {
    if (!object.is_object() || !object.contains(name)) {
        throw Damaged(std::string("\"") + name + "\" is missing");
    }
    return object[name];
}

bool BoolField(const json& object, const char* name) {
    const json& value = Field(object, name);
    if (!value.is_boolean()) {
        throw Damaged(std::string("\"") + name + "\" is no true or false");
    }
    return value.get<bool>();
}

int64_t IntField(const json& object, const char* name, int64_t low, int64_t high) {
    const json& value = Field(object, name);
    if (!value.is_number_integer()) {
        throw Damaged(std::string("\"") + name + "\" is no whole number");
    }
    const int64_t number = value.get<int64_t>();
    if (number < low || number > high || (value.is_number_unsigned() && number < 0)) {
        throw Damaged(std::string("\"") + name + "\" is out of range");
    }
    return number;
}

uint64_t UnsignedField(const json& object, const char* name) {
    const json& value = Field(object, name);
    if (!value.is_number_unsigned()) {
        throw Damaged(std::string("\"") + name + "\" is no whole number from 0");
    }
    return value.get<uint64_t>();
}

// An absolute folder path ending in "/" without empty, "." or ".." steps.
bool IsPlainFolder(const std::string& folder) {
    if (folder.size() < 1 || folder.front() != '/' || folder.back() != '/') {
        return false;
    }
    std::size_t start = 1;
    while (start < folder.size()) {
        const std::size_t slash = folder.find('/', start);
        const std::string_view step(folder.data() + start, slash - start);
        if (step.empty() || step == "." || step == "..") {
            return false;
        }
        start = slash + 1;
    }
    return true;
}

bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

// The folder's path below root ("" for the root itself); throws when it lies elsewhere.
std::string Below(const std::string& root, const std::string& folder, const std::string& where) {
    if (!IsPlainFolder(folder) || folder.compare(0, root.size(), root) != 0) {
        throw Damaged(where + ": " + folder + " lies outside " + root);
    }
    return folder.substr(root.size());
}

json StampValue(StampKind kind, uint64_t size, int64_t modified) {
    json stamp{{"kind", WordOf(kStamps, kind)}};
    if (kind == StampKind::File || kind == StampKind::Link) {
        stamp["size"] = size;
        stamp["modified"] = modified;
    }
    return stamp;
}

void ReadStamp(const json& value, StampKind& kind, uint64_t& size, int64_t& modified) {
    kind = ValueOf(kStamps, Field(value, "kind"), "entry kind");
    if (kind == StampKind::File || kind == StampKind::Link) {
        size = UnsignedField(value, "size");
        modified = IntField(value, "modified", INT64_MIN, INT64_MAX);
    }
}

FileOp ReadOperation(const json& value, const std::string& source, const std::string& target,
                     std::size_t number) {
    const std::string where = "operation " + std::to_string(number);
    try {
        FileOp op;
        op.Operation = ValueOf(kOperations, Field(value, "kind"), "operation kind");
        op.TargetFolder = PathFrom(Field(value, "targetFolder"), "targetFolder");
        const std::string relative = Below(target, op.TargetFolder, where);
        if (op.Operation == CopyFile || op.Operation == CreateFolder) {
            op.SourceFolder = PathFrom(Field(value, "sourceFolder"), "sourceFolder");
            // A copy takes the Source entry at the same place: nothing else can be reached.
            if (Below(source, op.SourceFolder, where) != relative) {
                throw Damaged(where + ": its Source and Target folders do not correspond");
            }
        }
        if (op.Operation == CopyFile || op.Operation == DeleteFile) {
            op.FileName = PathFrom(Field(value, "name"), "name");
            if (!IsPlainName(op.FileName)) {
                throw Damaged(where + ": the name is no plain file name");
            }
        } else if (relative.empty()) {
            throw Damaged(where + ": a root is no folder to create or delete");
        }
        op.AfterFolderRemoval = op.Operation == CopyFile && BoolField(value, "afterFolderRemoval");
        if (!OpReasonFromCode(Field(value, "reason").is_string()
                                  ? value["reason"].get<std::string>()
                                  : std::string(),
                              op.Reason)) {
            throw Damaged(where + ": unknown reason " + value["reason"].dump());
        }
        op.Detail = UnsignedField(value, "detail");
        ReadStamp(Field(value, "source"), op.SourceKind, op.Bytes, op.SourceTime);
        ReadStamp(Field(value, "target"), op.TargetKind, op.TargetSize, op.TargetTime);
        return op;
    } catch (const Damaged& damaged) {
        const std::string text = damaged.what();
        throw Damaged(text.rfind(where, 0) == 0 ? text : where + ": " + text);
    }
}

}  // namespace

std::string SavedPlanText(const ClonePlan& plan, const CloneSettings& settings) {
    json file;
    file["format"] = kFormatName;
    file["version"] = kPlanFormatVersion;
    file["source"] = PathValue(plan.Source);
    file["target"] = PathValue(plan.Target);
    file["settings"] = {
        {"compare", WordOf(kCompares, settings.CompareMethod)},
        {"ignore2SecDiff", settings.IgnoreFAT_NTFS_TwoSecDiff},
        {"ignoreDaylightSavings", settings.IgnoreFAT_NTFS_DaylightSavings},
        {"ignoreHiddenFolders", settings.IgnoreHiddenFolders},
        {"ignoreSystemFolders", settings.IgnoreSystemFolders},
        {"delete", WordOf(kDeletes, settings.DeleteMethod)},
        {"copy", WordOf(kCopies, settings.CopyMethod)},
        {"copyOnlyIfNewer", settings.CopyOnlyIfNewer},
        {"maxDeletePercent", settings.MaxDeletePercent},
    };
    file["complete"] = plan.Complete;
    file["targetFilesSeen"] = plan.TargetFilesSeen;
    file["sourceRootEmpty"] = plan.SourceRootEmpty;
    json strays = json::array();
    for (const auto& [folder, name] : plan.StrayTempFiles) {
        strays.push_back({{"folder", PathValue(folder)},
                          {"name", PathValue(name)},
                          {"reason", OpReasonCode(OpReason::StrayTempFile)}});
    }
    file["strayTemporaryFiles"] = std::move(strays);
    json operations = json::array();
    std::size_t number = 0;
    for (const FileOp& op : plan.Ops) {
        json entry{{"number", ++number}, {"kind", WordOf(kOperations, op.Operation)}};
        if (op.Operation == CopyFile || op.Operation == DeleteFile) {
            entry["name"] = PathValue(op.FileName);
        }
        if (op.Operation == CopyFile || op.Operation == CreateFolder) {
            entry["sourceFolder"] = PathValue(op.SourceFolder);
        }
        entry["targetFolder"] = PathValue(op.TargetFolder);
        if (op.Operation == CopyFile) {
            entry["afterFolderRemoval"] = op.AfterFolderRemoval;
        }
        entry["reason"] = OpReasonCode(op.Reason);
        entry["because"] = PathValue(OpReasonText(op));
        entry["detail"] = op.Detail;
        entry["source"] = StampValue(op.SourceKind, op.Bytes, op.SourceTime);
        entry["target"] = StampValue(op.TargetKind, op.TargetSize, op.TargetTime);
        operations.push_back(std::move(entry));
    }
    file["operations"] = std::move(operations);
    return file.dump(2) + "\n";
}

Result<SavedPlan> ReadSavedPlan(const std::string& text) {
    try {
        const json file = json::parse(text);
        if (!file.is_object() || !file.contains("format") || file["format"] != kFormatName) {
            throw Damaged("this is no Duvanto plan");
        }
        const json& version = Field(file, "version");
        if (!version.is_number_integer() || version.get<int64_t>() != kPlanFormatVersion) {
            return Status::Failure(EPROTO, "a plan of format version " + version.dump() +
                                               "; this program reads version " +
                                               std::to_string(kPlanFormatVersion));
        }
        SavedPlan saved;
        ClonePlan& plan = saved.Plan;
        plan.Source = PathFrom(Field(file, "source"), "source");
        plan.Target = PathFrom(Field(file, "target"), "target");
        if (!IsPlainFolder(plan.Source) || !IsPlainFolder(plan.Target)) {
            throw Damaged("the roots must be absolute folder paths ending in \"/\"");
        }
        const json& settings = Field(file, "settings");
        CloneSettings& s = saved.Settings;
        s.CompareMethod = ValueOf(kCompares, Field(settings, "compare"), "compare method");
        s.IgnoreFAT_NTFS_TwoSecDiff = BoolField(settings, "ignore2SecDiff");
        s.IgnoreFAT_NTFS_DaylightSavings = BoolField(settings, "ignoreDaylightSavings");
        s.IgnoreHiddenFolders = BoolField(settings, "ignoreHiddenFolders");
        s.IgnoreSystemFolders = BoolField(settings, "ignoreSystemFolders");
        s.DeleteMethod = ValueOf(kDeletes, Field(settings, "delete"), "delete method");
        s.CopyMethod = ValueOf(kCopies, Field(settings, "copy"), "copy method");
        s.CopyOnlyIfNewer = BoolField(settings, "copyOnlyIfNewer");
        s.MaxDeletePercent = static_cast<int32_t>(IntField(settings, "maxDeletePercent", 0, 100));
        plan.Complete = BoolField(file, "complete");
        if (!plan.Complete) {
            throw Damaged("the plan was never finished (its walk was cancelled)");
        }
        plan.TargetFilesSeen = IntField(file, "targetFilesSeen", 0, INT64_MAX);
        plan.SourceRootEmpty = BoolField(file, "sourceRootEmpty");
        const json& strays = Field(file, "strayTemporaryFiles");
        if (!strays.is_array()) {
            throw Damaged("\"strayTemporaryFiles\" is no list");
        }
        for (const json& stray : strays) {
            std::string folder = PathFrom(Field(stray, "folder"), "folder");
            std::string name = PathFrom(Field(stray, "name"), "name");
            Below(plan.Target, folder, "a stray temporary file");
            // Removed without a second look: only names of our own reserved form qualify.
            if (!IsPlainName(name) || !IsOwnTemporaryName(name)) {
                throw Damaged("a stray temporary file: " + name + " is none of ours");
            }
            plan.StrayTempFiles.emplace_back(std::move(folder), std::move(name));
        }
        const json& operations = Field(file, "operations");
        if (!operations.is_array()) {
            throw Damaged("\"operations\" is no list");
        }
        plan.Ops.reserve(operations.size());
        for (const json& op : operations) {
            plan.Ops.push_back(ReadOperation(op, plan.Source, plan.Target, plan.Ops.size() + 1));
        }
        return saved;
    } catch (const Damaged& damaged) {
        return Status::Failure(EINVAL, std::string("damaged plan: ") + damaged.what());
    } catch (const json::exception& error) {
        return Status::Failure(EINVAL, std::string("damaged plan: ") + error.what());
    }
}

}  // namespace duvanto
