// SPDX-License-Identifier: GPL-3.0-or-later
// The report's HTML page: its head, summary and lists, and each list's lines, escaped so that
// no name adds markup.

#include "report/ReportPage.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "report/Report.h"
#include "report/ReportPictures.h"
#include "util/OleDate.h"
#include "util/PathStrings.h"
#include "util/StringAppend.h"

namespace duvanto {

namespace {

constexpr char kListLineLabel[] = "modCompare.HTMLReportGraphicCode";

// The page is written out in pieces so that a very large report never sits in memory whole;
// the size is looked at only every so many list lines.
constexpr std::size_t kItemsBetweenSizeChecks = 100;
constexpr std::size_t kPieceByteSize = 100000;

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsControlByte(unsigned char byte) {
    return byte < 32 || byte == 127;
}

// Text as the reader should see it: markup characters become entities, and control bytes are
// shown as "\xNN" (as in the clone log), because the page is one line and a browser would
// render them invisibly or not at all.
std::string EscapeForPage(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            default:
                if (IsControlByte(byte)) {
                    escaped += "\\x";
                    escaped += kHexDigits[byte >> 4];
                    escaped += kHexDigits[byte & 0x0F];
                } else {
                    escaped += c;
                }
        }
    }
    return escaped;
}

// A picture's path as the value of SRC: the path stays readable, but the characters that a URL
// would take as the start of a query or fragment, or as an escape, must not cut it short.
std::string PictureReference(std::string_view path) {
    std::string reference;
    reference.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '%' || c == '#' || c == '?' || IsControlByte(byte)) {
            reference += '%';
            reference += kHexDigits[byte >> 4];
            reference += kHexDigits[byte & 0x0F];
        } else {
            reference += c;
        }
    }
    return EscapeForPage(reference);
}

std::string Quoted(std::string_view text) {
    return EncloseInQuotes(text);
}

void AppendSummaryCell(clsStringAppend& page, std::string_view anchor, std::string_view caption,
                       std::size_t count) {
    if (count != 0) {
        page.Append("<a href=");
        page.Append(Quoted(std::string("#").append(anchor)));
        page.Append(">");
        page.Append(caption);
        page.Append("</a>    ");
    } else {
        page.Append(caption);
    }
    page.Append("</font></b><br>");
    page.Append(std::to_string(count));
}

void AppendListSection(ReportServices& services, PageFile& file, std::string_view anchor,
                       std::string_view heading, std::string_view explanation,
                       const FolderDiffList& list, const std::string& filePicture,
                       const std::string& folderPicture) {
    if (list.Count() == 0) {
        return;
    }
    clsStringAppend& page = file.Page();
    page.Append("<h2><font size=+1>&nbsp;<a NAME=");
    page.Append(Quoted(anchor));
    page.Append("></a>");
    page.Append(heading);
    page.Append("</font></h2>");
    page.Append(explanation);
    std::size_t written = 0;
    const std::vector<std::string>& notes = list.Notes();
    for (std::size_t i = 0; i < list.Items().size(); ++i) {
        const std::string& item = list.Items()[i];
        page.Append(HTMLReportGraphicCode(services.reporter, item, filePicture, folderPicture,
                                          i < notes.size() ? notes[i] : std::string()));
        services.host.Pump();
        if (++written % kItemsBetweenSizeChecks == 0 && page.StringByteSize() > kPieceByteSize) {
            file.WritePiece();
        }
    }
}

}  // namespace

void WritePage(ReportServices& services, PageFile& file, const std::string& sourceFolder,
               const std::string& targetFolder, const FolderDiffResults& results) {
    // Appended: GCC 12 at -O3 takes `path + std::string(name)` for an overlapping copy.
    const std::string filePicture = std::string(services.appPath).append(kReportFilePicture);
    const std::string folderPicture = std::string(services.appPath).append(kReportFolderPicture);
    const std::string bannerPicture = std::string(services.appPath).append(kReportBannerPicture);
    clsStringAppend& page = file.Page();
    page.InitialBufferSize(2 * kPieceByteSize);

    // Names are bytes as the file system holds them, UTF-8 on any current Linux; without the
    // declaration a browser guesses a Western code page and garbles every other script.
    page.Append("<html><head><meta charset=\"utf-8\"></head><body>");
    page.Append("<div align=right><font color=" + Quoted("#666600") + "><font size=-1>");
    page.Append(FormatGeneralDate(services.clock.Now()));
    page.Append("</font></font></div>");
    page.Append("<h1><img SRC=" + Quoted(PictureReference(bannerPicture)) +
                "  HSPACE=2 BORDER=0 height=102 width=113 align=CENTER>Folder Differences "
                "Report</h1>");
    page.Append("<dl><dd><b>Source Folder:</b> " + EscapeForPage(sourceFolder) + "</dd>");
    page.Append("<dd><b>Target Folder:</b> " + EscapeForPage(targetFolder) + "</dd>");
    page.Append("<br>&nbsp;<dd><b></b></dd>");

    page.Append("<dl><b>Summary:</b></dl><table BORDER CELLPADDING=3 WIDTH=" + Quoted("33%") +
                " HEIGHT=" + Quoted("43") + " BGCOLOR=" + Quoted("#FFFFCC") +
                " ><tr VALIGN=TOP><td><dl><b><font size=-1>");
    AppendSummaryCell(page, "added", "Added:", results.Added.Count());
    page.Append("</dl></td><td><b><font size=-1>");
    AppendSummaryCell(page, "deleted", "Deleted:", results.Deleted.Count());
    page.Append("</dl></td><td><b><font size=-1>");
    AppendSummaryCell(page, "changed", "Changed:", results.Changed.Count());
    // A Target with rules of its own adds its two lists; any other page stays as it was.
    const bool targetRules = results.Renamed.Count() != 0 || results.Refused.Count() != 0;
    if (targetRules) {
        page.Append("</dl></td><td><b><font size=-1>");
        AppendSummaryCell(page, "renamed", "Renamed:", results.Renamed.Count());
        page.Append("</dl></td><td><b><font size=-1>");
        AppendSummaryCell(page, "refused", "Cannot Be Held:", results.Refused.Count());
    }
    page.Append("</td></tr></table>");

    AppendListSection(services, file, "added", "Added To Source",
                      "<P><font size=-1><I>The objects in this list appear in the Source folder "
                      "but not in the Target folder</I></font></P>",
                      results.Added, filePicture, folderPicture);
    AppendListSection(services, file, "deleted", "Deleted From Source",
                      "<P><font size=-1><I>The objects in this list appear in the Target folder "
                      "but not in the Source folder</font></I></P>",
                      results.Deleted, filePicture, folderPicture);
    AppendListSection(services, file, "changed", "Changed In Source",
                      "<P><font size=-1><I>The files in this list appear in both the Source and "
                      "Target folders but differ.</font></I></P>",
                      results.Changed, filePicture, folderPicture);
    AppendListSection(services, file, "renamed", "Renamed In Source",
                      "<P><font size=-1><I>The objects in this list differ from their Target "
                      "counterparts in letter case alone, which the Target's file system does not "
                      "tell apart; a clone renames them in the Target.</font></I></P>",
                      results.Renamed, filePicture, folderPicture);
    AppendListSection(
        services, file, "refused", "Cannot Be Held By The Target",
        "<P><font size=-1><I>The Target's file system cannot hold the names of the "
        "objects in this list; a clone does not copy them and logs why.</font></I></P>",
        results.Refused, filePicture, folderPicture);

    page.Append("<p><table CELLPADDING=7 COLS=1 WIDTH=" + Quoted("100%") +
                " BGCOLOR=" + Quoted("#FFFFCC") + " ><tr><td>");
    page.Append("All differences shown are from the perspective of the Source Folder.<br>");
    page.Append(
        "Folders and files which have been <i>added to</i>, <i>deleted from</i>, or <i>changed "
        "in</i>");
    page.Append(" the Source Folder are listed above.</td></tr></table>");
    page.Append("</body></html>");
    file.Finish();
}

std::string HTMLReportGraphicCode(ErrorReporter& reporter, const std::string& item,
                                  const std::string& filePicture, const std::string& folderPicture,
                                  const std::string& note) {
    try {
        const bool isFolder = item.ends_with("..");
        std::string line = "<dd><img SRC=";
        line += Quoted(PictureReference(isFolder ? folderPicture : filePicture));
        line += isFolder ? " HSPACE=5 height=16 width=16>" : " HSPACE=8 height=12 width=10>";
        line += EscapeForPage(item);
        if (!note.empty()) {
            line += " &nbsp;<i><font size=-1>" + EscapeForPage(note) + "</font></i>";
        }
        line += "</dd>";
        return line;
    } catch (...) {
        reporter.ReportCurrentException(kListLineLabel);
        return {};
    }
}

}  // namespace duvanto
