#pragma once
// One planned operation of a run. The engine plans a list of them, hands the list to the host
// for confirmation, and performs it.

#include <cstdint>
#include <string>

namespace duvanto {

enum FileOpType : int32_t { CopyFile = 0, DeleteFile = 1, CreateFolder = 2, DeleteFolder = 3 };

struct FileOp {
    std::string FileName;
    std::string SourceFolder;  // copies; for CreateFolder the Source folder it copies
    std::string TargetFolder;  // for folder operations, the folder itself
    int32_t Operation = CopyFile;
    // A copy's size as the walk saw it in the Source, for the progress of a run.
    uint64_t Bytes = 0;
    // A copy whose name is a Target folder planned for removal: it waits until the folder
    // removals are done.
    bool AfterFolderRemoval = false;

    // The full paths are folder + name, made when asked: a plan of a hundred thousand files
    // would otherwise hold every path twice.
    std::string SourceFileSpec() const {
        return Operation == CopyFile ? SourceFolder + FileName : std::string();
    }
    std::string TargetFileSpec() const {
        return Operation == CopyFile || Operation == DeleteFile ? TargetFolder + FileName
                                                                : std::string();
    }
};

}  // namespace duvanto
