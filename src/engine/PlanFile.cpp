// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PlanFile.h"

#include <cerrno>
#include <cstdint>
#include <new>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/EngineOptions.h"
#include "engine/PlanJson.h"
#include "engine/PlanObjects.h"
#include "engine/PlanText.h"
#include "util/EscapedText.h"

namespace duvanto {

namespace {

using planjson::BoolField;
using planjson::Brief;
using planjson::Damaged;
using planjson::Field;
using planjson::IntField;
using planjson::json;
using planjson::kOperations;
using planjson::PathFrom;
using planjson::PathValue;
using planjson::ReadOperation;
using planjson::ReadSettings;
using planjson::ReadStray;
using planjson::SettingsValue;
using planjson::Shown;
using planjson::StampValue;
using planjson::WordOf;

constexpr char kFormatName[] = "duvanto-plan";

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

// The folder's path below root ("" for the root itself); throws when it lies elsewhere.
std::string Below(const std::string& root, const std::string& folder, const char* what) {
    if (!IsPlainFolder(folder)) {
        throw Damaged(std::string(what) + " " + Shown(folder) +
                      " is no absolute folder path without \".\" and \"..\" steps");
    }
    if (folder.compare(0, root.size(), root) != 0) {
        throw Damaged(std::string(what) + " " + Shown(folder) + " lies outside " + Shown(root));
    }
    return folder.substr(root.size());
}

// Every folder below its root; a copy takes the Source entry at the same place, so nothing else
// can be reached.
void PlaceOperation(const FileOp& op, const std::string& source, const std::string& target) {
    const std::string relative = Below(target, op.TargetFolder, "targetFolder");
    if ((op.Operation == CopyFile || op.Operation == CreateFolder || op.Operation == RenameEntry ||
         op.Operation == RefuseName) &&
        Below(source, op.SourceFolder, "sourceFolder") != relative) {
        throw Damaged("its Source and Target folders do not correspond");
    }
    if ((op.Operation == CreateFolder || op.Operation == DeleteFolder) && relative.empty()) {
        throw Damaged("a root is no folder to create or delete");
    }
}

// Where a value stands, by the object or list that holds it.
enum class Shape : uint8_t {
    Root,
    Settings,
    Operations,  // the list of operations
    Strays,      // the list of stray temporary files
    Operation,
    Stray,
    Stamp,    // an entry as the walk read it
    Hex,      // a path as its bytes
    Plain,    // no list or object: a plain value only
    Skipped,  // anything past the first fault: only read through
};

struct Key {
    Shape in;
    const char* name;
    Shape holds;  // the list or object it may hold, or Plain
};

// Every key of the format but the settings' (kEngineOptions). Nothing else is read: the objects
// stay a few keys each, however large the file, and what a later version adds is never taken for
// something it is not.
constexpr Key kKeys[] = {
    {Shape::Root, "format", Shape::Plain},
    {Shape::Root, "version", Shape::Plain},
    {Shape::Root, "source", Shape::Hex},
    {Shape::Root, "target", Shape::Hex},
    {Shape::Root, "settings", Shape::Settings},
    {Shape::Root, "complete", Shape::Plain},
    {Shape::Root, "targetFilesSeen", Shape::Plain},
    {Shape::Root, "sourceRootEmpty", Shape::Plain},
    {Shape::Root, "strayTemporaryFiles", Shape::Strays},
    {Shape::Root, "operations", Shape::Operations},
    {Shape::Stray, "folder", Shape::Hex},
    {Shape::Stray, "name", Shape::Hex},
    {Shape::Stray, "reason", Shape::Plain},
    {Shape::Operation, "number", Shape::Plain},
    {Shape::Operation, "kind", Shape::Plain},
    {Shape::Operation, "name", Shape::Hex},
    {Shape::Operation, "otherName", Shape::Hex},
    {Shape::Operation, "sourceFolder", Shape::Hex},
    {Shape::Operation, "targetFolder", Shape::Hex},
    {Shape::Operation, "afterFolderRemoval", Shape::Plain},
    {Shape::Operation, "reason", Shape::Plain},
    {Shape::Operation, "because", Shape::Hex},
    {Shape::Operation, "detail", Shape::Plain},
    {Shape::Operation, "source", Shape::Stamp},
    {Shape::Operation, "target", Shape::Stamp},
    {Shape::Stamp, "kind", Shape::Plain},
    {Shape::Stamp, "size", Shape::Plain},
    {Shape::Stamp, "modified", Shape::Plain},
    {Shape::Hex, "hex", Shape::Plain},
};

const Key* FindKey(Shape in, std::string_view name) {
    if (in == Shape::Settings) {
        static constexpr Key kSetting{Shape::Settings, "", Shape::Plain};
        for (const EngineOption& option : kEngineOptions) {
            if (option.planName != nullptr && name == option.planName) {
                return &kSetting;
            }
        }
        return nullptr;
    }
    for (const Key& key : kKeys) {
        if (key.in == in && name == key.name) {
            return &key;
        }
    }
    return nullptr;
}

// A parser's message without the text it stopped in, which may be as long as the file: what
// is left are the parser's own words.
std::string ParseErrorText(const json::exception& error) {
    std::string text = error.what();
    if (text.starts_with("[json.exception.")) {
        text.erase(0, text.find("] ") + 2);
    }
    if (const std::size_t token = text.find("; last read: "); token != std::string::npos) {
        // What was expected follows the text read; anything longer came from the file.
        const std::size_t expected = text.rfind("; expected ");
        const std::string tail =
            expected != std::string::npos && expected > token && text.size() - expected < 40
                ? text.substr(expected)
                : std::string();
        text.erase(token);
        text += tail;
    } else if (const std::size_t quote = text.find(" '");
               error.id != 101 && quote != std::string::npos) {
        text.erase(quote);
    }
    return text;
}

// Reads the file as it is parsed, in one pass: each operation becomes a FileOp as soon as its
// object ends and is not kept as JSON, and nothing outside the format is kept at all, so the
// memory a file takes follows its operations, not its text. Any fault is refused: a key the
// format lacks or one given twice, a list or object where the format has none, an operation
// that is not as the format says. After the first fault the rest is only read through, for a
// "version" that explains it, never taken in.
class PlanReader final : public json::json_sax_t {
public:
    bool null() override { return Value(nullptr); }
    bool boolean(bool value) override { return Value(value); }
    bool number_integer(number_integer_t value) override { return Value(value); }
    bool number_unsigned(number_unsigned_t value) override { return Value(value); }
    bool number_float(number_float_t value, const string_t& /*text*/) override {
        return Value(value);
    }
    bool string(string_t& value) override { return Value(std::move(value)); }
    bool binary(binary_t& /*value*/) override { return Value(nullptr); }  // never in text
    bool start_object(std::size_t /*size*/) override { return Open(true); }
    bool start_array(std::size_t /*size*/) override { return Open(false); }
    bool end_object() override { return Close(); }
    bool end_array() override { return Close(); }

    bool key(string_t& name) override {
        Frame& frame = m_frames.back();
        frame.key = name;
        if (!m_fault.empty()) {
            return true;
        }
        if (FindKey(frame.shape, name) == nullptr) {
            Refuse("unknown key \"" + Shown(name) + "\"");
        } else if (frame.node.contains(name)) {
            Refuse("the key \"" + Shown(name) + "\" is given twice");
        }
        return true;
    }

    bool parse_error(std::size_t position, const std::string& /*lastToken*/,
                     const json::exception& error) override {
        // A syntax error names its line and column; the others get the byte.
        throw Damaged(ParseErrorText(error) +
                      (error.id == 101 ? "" : " at byte " + std::to_string(position)));
    }

    // The top object (without its lists), or null when the text held none.
    json Root;
    // The first fault, with where it lies; empty when there is none.
    std::string Fault() const { return m_fault; }
    std::vector<FileOp> Operations;
    std::vector<std::pair<std::string, std::string>> Strays;

private:
    struct Frame {
        Shape shape;
        json node;        // an object of the format, as far as it is read
        std::string key;  // the key whose value comes next
    };

    std::string Where() const {
        for (auto frame = m_frames.rbegin(); frame != m_frames.rend(); ++frame) {
            if (frame->shape == Shape::Operation) {
                return "operation " + std::to_string(m_operationCount) + ": ";
            }
            if (frame->shape == Shape::Stray) {
                return "stray temporary file " + std::to_string(m_strayCount) + ": ";
            }
        }
        return "";
    }

    void Refuse(const std::string& why) {
        if (m_fault.empty()) {
            m_fault = Where() + why;
        }
    }

    bool Value(json value) {
        if (m_frames.empty()) {
            Refuse("this is no Duvanto plan");
            return true;
        }
        Frame& frame = m_frames.back();
        if (!m_fault.empty()) {
            // Past a fault only what names the file's kind and version is kept.
            if (frame.shape == Shape::Root && (frame.key == "format" || frame.key == "version")) {
                frame.node[frame.key] = std::move(value);
            }
            return true;
        }
        if (frame.shape == Shape::Operations) {
            Refuse("operation " + std::to_string(++m_operationCount) + " is no object");
        } else if (frame.shape == Shape::Strays) {
            Refuse("stray temporary file " + std::to_string(++m_strayCount) + " is no object");
        } else {
            frame.node[frame.key] = std::move(value);
        }
        return true;
    }

    // The shape of a list or object opened inside the innermost one (Skipped after a fault).
    Shape Inner(bool object) {
        if (m_frames.empty()) {
            if (!object) {
                Refuse("this is no Duvanto plan");
            }
            return object ? Shape::Root : Shape::Skipped;
        }
        Frame& parent = m_frames.back();
        if (parent.shape == Shape::Operations || parent.shape == Shape::Strays) {
            const bool operation = parent.shape == Shape::Operations;
            const std::size_t number = operation ? ++m_operationCount : ++m_strayCount;
            if (!object) {
                Refuse((operation ? "operation " : "stray temporary file ") +
                       std::to_string(number) + " is no object");
                return Shape::Skipped;
            }
            return operation ? Shape::Operation : Shape::Stray;
        }
        const Key* key = FindKey(parent.shape, parent.key);
        const Shape holds = key != nullptr ? key->holds : Shape::Plain;
        const bool list = holds == Shape::Operations || holds == Shape::Strays;
        if (holds == Shape::Plain || list == object) {
            Refuse("\"" + Shown(parent.key) + "\" " +
                   (holds == Shape::Plain
                        ? (object ? "cannot hold an object" : "cannot hold a list")
                    : list ? "is no list"
                           : "is no object"));
            return Shape::Skipped;
        }
        if (list) {
            parent.node[parent.key] = json::array();  // present, for the checks of keys
        }
        return holds;
    }

    bool Open(bool object) {
        // The format nests four levels; a limit far above that keeps every later step shallow.
        if (m_frames.size() >= static_cast<std::size_t>(kMaxPlanDepth)) {
            throw Damaged("lists and objects nest more than " + std::to_string(kMaxPlanDepth) +
                          " levels deep");
        }
        const Shape shape = m_fault.empty() ? Inner(object) : Shape::Skipped;
        m_frames.push_back(
            {shape, shape == Shape::Skipped || !object ? json() : json::object(), std::string()});
        return true;
    }

    bool Close() {
        Frame& frame = m_frames.back();
        if (frame.shape == Shape::Root) {
            Root = std::move(frame.node);
        } else if (m_fault.empty()) {
            try {
                Take(frame);
            } catch (const Damaged& damaged) {
                Refuse(damaged.what());
            }
        }
        m_frames.pop_back();
        return true;
    }

    // A finished object of the format goes where it belongs.
    void Take(Frame& frame) {
        switch (frame.shape) {
            case Shape::Operation:
                Operations.push_back(ReadOperation(frame.node, m_operationCount));
                break;
            case Shape::Stray:
                Strays.push_back(ReadStray(frame.node));
                break;
            case Shape::Settings:
            case Shape::Stamp:
            case Shape::Hex: {
                Frame& parent = m_frames[m_frames.size() - 2];
                parent.node[parent.key] = std::move(frame.node);
                break;
            }
            default:
                break;
        }
    }

    std::vector<Frame> m_frames;
    std::string m_fault;
    std::size_t m_operationCount = 0;
    std::size_t m_strayCount = 0;
};

}  // namespace

std::string SavedPlanText(const ClonePlan& plan, const CloneSettings& settings) {
    json file;
    file["format"] = kFormatName;
    file["version"] = kPlanFormatVersion;
    file["source"] = PathValue(plan.Source);
    file["target"] = PathValue(plan.Target);
    file["settings"] = SettingsValue(settings);
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
        const bool named = op.Operation == RenameEntry || op.Operation == RefuseName;
        if (op.Operation == CopyFile || op.Operation == DeleteFile || named) {
            entry["name"] = PathValue(op.FileName);
        }
        if (!op.OtherName.empty()) {
            entry["otherName"] = PathValue(op.OtherName);
        }
        if (op.Operation == CopyFile || op.Operation == CreateFolder || named) {
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
        PlanReader reader;
        json::sax_parse(text, &reader);
        const json& file = reader.Root;
        if (!file.is_object() || !file.contains("format") || file["format"] != kFormatName) {
            throw Damaged("this is no Duvanto plan");
        }
        // Another version's file is named as such, whatever else in it this version refuses.
        if (file.contains("version")) {
            const json& version = file["version"];
            if (!version.is_number_integer() || version.get<int64_t>() != kPlanFormatVersion) {
                return Status::Failure(EPROTO, "a plan of format version " + Brief(version) +
                                                   "; this program reads version " +
                                                   std::to_string(kPlanFormatVersion));
            }
        }
        if (!reader.Fault().empty()) {
            throw Damaged(reader.Fault());
        }
        if (!file.contains("version")) {
            throw Damaged("\"version\" is missing");
        }
        SavedPlan saved;
        ClonePlan& plan = saved.Plan;
        plan.Source = PathFrom(Field(file, "source"), "source");
        plan.Target = PathFrom(Field(file, "target"), "target");
        if (!IsPlainFolder(plan.Source) || !IsPlainFolder(plan.Target)) {
            throw Damaged("the roots must be absolute folder paths ending in \"/\"");
        }
        ReadSettings(Field(file, "settings"), saved.Settings);
        plan.Complete = BoolField(file, "complete");
        if (!plan.Complete) {
            throw Damaged("the plan was never finished (its walk was cancelled)");
        }
        plan.TargetFilesSeen = IntField(file, "targetFilesSeen", 0, INT64_MAX);
        plan.SourceRootEmpty = BoolField(file, "sourceRootEmpty");
        if (!Field(file, "strayTemporaryFiles").is_array()) {
            throw Damaged("\"strayTemporaryFiles\" is no list");
        }
        if (!Field(file, "operations").is_array()) {
            throw Damaged("\"operations\" is no list");
        }
        for (std::size_t i = 0; i < reader.Strays.size(); ++i) {
            try {
                Below(plan.Target, reader.Strays[i].first, "folder");
            } catch (const Damaged& damaged) {
                throw Damaged("stray temporary file " + std::to_string(i + 1) + ": " +
                              damaged.what());
            }
        }
        plan.StrayTempFiles = std::move(reader.Strays);
        for (std::size_t i = 0; i < reader.Operations.size(); ++i) {
            try {
                PlaceOperation(reader.Operations[i], plan.Source, plan.Target);
            } catch (const Damaged& damaged) {
                throw Damaged("operation " + std::to_string(i + 1) + ": " + damaged.what());
            }
        }
        plan.Ops = std::move(reader.Operations);
        return saved;
    } catch (const Damaged& damaged) {
        return Status::Failure(EINVAL, std::string("damaged plan: ") + damaged.what());
    } catch (const json::exception& error) {
        return Status::Failure(EINVAL, "damaged plan: " + ParseErrorText(error));
    } catch (const std::bad_alloc&) {
        return Status::Failure(ENOMEM, "the plan is too large for the memory at hand");
    }
}

}  // namespace duvanto
