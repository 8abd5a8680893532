// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own files through the real file system: each call is the free function of the
// same name, so the interface and the functions it stands for cannot drift apart.

#include "platform/FileAppend.h"
#include "platform/FileSystemQueries.h"
#include "platform/InstanceLock.h"
#include "platform/PosixFileSystem.h"
#include "platform/SettingsFileWrite.h"

namespace duvanto {

Result<PathInfo> PosixFileSystem::StatPath(const std::string& path, bool followLinks) {
    return duvanto::StatPath(path, followLinks);
}

Result<std::string> PosixFileSystem::ReadWholeFile(const std::string& path) {
    return duvanto::ReadWholeFile(path);
}

Result<std::string> PosixFileSystem::ReadPrivateFile(const std::string& path, uint64_t maxBytes) {
    return duvanto::ReadPrivateFile(path, maxBytes);
}

Status PosixFileSystem::WriteFileThroughLinks(const std::string& path, std::string_view bytes) {
    return duvanto::WriteFileThroughLinks(path, bytes);
}

Status PosixFileSystem::WriteNewFile(const std::string& path, std::string_view bytes) {
    return duvanto::WriteNewFile(path, bytes);
}

Status PosixFileSystem::WriteFileAtomically(const std::string& path, std::string_view bytes) {
    return duvanto::WriteFileAtomically(path, bytes);
}

Status PosixFileSystem::WritePrivateFileAtomically(const std::string& path,
                                                   std::string_view bytes) {
    return duvanto::WritePrivateFileAtomically(path, bytes);
}

Status PosixFileSystem::AppendToFile(const std::string& path, std::string_view bytes) {
    return duvanto::AppendToFile(path, bytes);
}

Status PosixFileSystem::CopyFileOver(const std::string& sourcePath, const std::string& targetPath) {
    return duvanto::CopyFileOver(sourcePath, targetPath);
}

Result<std::string> PosixFileSystem::CreateUniqueFile(const std::string& folder,
                                                      std::string_view prefix,
                                                      std::string_view suffix, unsigned mode) {
    return duvanto::CreateUniqueFile(folder, prefix, suffix, mode);
}

Status PosixFileSystem::RenameFile(const std::string& from, const std::string& to) {
    return duvanto::RenameFile(from, to);
}

Status PosixFileSystem::RemoveProgramFile(const std::string& path) {
    return duvanto::RemoveFile(path);
}

Status PosixFileSystem::MakeDirectory(const std::string& path) {
    return duvanto::MakeDirectory(path);
}

Status PosixFileSystem::MakeDirectoryLike(const std::string& path, const std::string& like,
                                          bool withOwner) {
    return duvanto::MakeDirectoryLike(path, like, withOwner);
}

Result<InstanceLock> PosixFileSystem::AcquireInstanceLock(const std::string& appPath) {
    return InstanceLock::Acquire(appPath);
}

}  // namespace duvanto
