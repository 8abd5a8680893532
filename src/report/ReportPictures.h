// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The three pictures the folder-differences report refers to. The page names them by their
// path in the program folder, so they must exist there; the program carries its own drawings
// of them and writes each one only when it is missing, never replacing a user's own.

#include <string>
#include <string_view>

#include "util/Prompt.h"

namespace duvanto {

class IFileSystem;

inline constexpr std::string_view kReportBannerPicture = "rpt_folders_sheep.jpg";
inline constexpr std::string_view kReportFilePicture = "rpt_file.jpg";
inline constexpr std::string_view kReportFolderPicture = "rpt_folder.jpg";

// The bytes of one picture, by its file name above; "" for any other name. Each is a JPEG
// image, as its name says.
std::string ReportPictureBytes(std::string_view fileName);

// Writes each of the three pictures into appPath (ending in "/") when no file of that name is
// there, and replaces one that is exactly the PNG an earlier version wrote under that name.
// True when all three exist afterwards.
bool WriteReportPicturesIfMissing(IFileSystem& fs, const std::string& appPath, IPrompt& prompt);

}  // namespace duvanto
