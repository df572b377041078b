#pragma once
// The export file of a remote folder tree: a text tree with one line per folder and file,
// drawn with box-drawing characters, a footer and a summary line. A page's export walk (or a
// selection) fills a TExportTree node by node; SaveExportTree writes it. No widgets, no FTP:
// names are the server's bytes and reach the file as they are.
//
// File layout (every line ended by CR LF):
//   the root text;
//   one line per further node in pre-order (a folder before its contents, children in the
//   order they were added): a prefix per level, then the node's text. For each level j from
//   1 to the node's level L: "├─" when the node has children and j = L, else "│" + 4 blanks;
//   the footer: "└" and "─" repeated (W / 2 − 1) times (none when that is 0 or less), W being
//   the greatest ExportLineWidth of the lines above;
//   4 blanks, the folder count, " folders, ", the file count, " files, export date: " and the
//   moment "yyyy/mm/dd hh:mm". A node with children counts as a folder, every other node
//   (files, and folders without entries) as a file.
// The box-drawing characters are written in UTF-8.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/os/clock.h"

// The size text of a file line: n = bytes / 1024 rounded to the nearest whole number, halves
// to even; n + "KB" when n is above 0, else the byte count + "bytes" (512 -> "512bytes",
// 1536 -> "2KB", 2560 -> "2KB").
std::string FormatSizeKB(std::int64_t size);

// The root line: site name + "(ftp://" + host + folder + ")".
std::string ExportRootText(const std::string& siteName, const std::string& host,
                           const std::string& folder);

// The width a line counts with for the footer: what it takes in a double-byte code page, so
// the footer comes out as long as the tree's own lines look. One for each ASCII byte and for
// each byte that is not part of a well-formed UTF-8 character; two for every other character
// (the box-drawing characters among them).
std::size_t ExportLineWidth(const std::string& line);

// One remote entry with what lies below it, for AddEntries.
struct TExportEntry {
    std::string name;
    bool folder = false;
    std::int64_t size = 0;
    std::string modified;  // "yyyy-mm-dd hh:mm:ss"
    std::vector<TExportEntry> children;
};

class TExportTree {
  public:
    using Node = std::size_t;
    static constexpr Node kRoot = 0;

    explicit TExportTree(std::string rootText);

    // Each adds a child after the parent's other children and returns it. `parent` must be
    // a node of this tree (std::out_of_range otherwise).
    // A folder: "<" + name + ">".
    Node AddFolder(Node parent, const std::string& name);
    // A file: name + 4 blanks + FormatSizeKB(size) + 4 blanks + modified.
    Node AddFile(Node parent, const std::string& name, std::int64_t size,
                 const std::string& modified);
    // A file row of a selection, with the size and modified texts as the list shows them.
    Node AddFileRow(Node parent, const std::string& caption, const std::string& sizeText,
                    const std::string& modifiedText);
    // Adds `entries` below `parent` in the order given, each folder with its children.
    void AddEntries(Node parent, const std::vector<TExportEntry>& entries);

    std::size_t NodeCount() const { return nodes_.size(); }
    const std::string& TextOf(Node node) const { return nodes_.at(node).text; }

    // The file's lines, without line ends, with `now` in the summary.
    std::vector<std::string> Lines(const os::LocalDateTime& now) const;
    // The file's contents: Lines, each ended by CR LF.
    std::string Contents(const os::LocalDateTime& now) const;

  private:
    struct TNode {
        std::string text;
        std::vector<Node> children;
    };
    Node Add(Node parent, std::string text);

    std::vector<TNode> nodes_;
};

// Writes the tree's Contents with the clock's now to `fileName`, replacing the file when it
// exists. Throws std::runtime_error naming the file when it cannot be written (a file that
// existed is then left as it was).
void SaveExportTree(const TExportTree& tree, const std::string& fileName);
