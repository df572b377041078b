#include "connection/export_tree.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <utility>

#include "platform/os/file_replace.h"
#include "platform/os/utf8.h"

namespace {

// The box-drawing characters in UTF-8.
constexpr const char* kBranch = "\u251C";      // ├
constexpr const char* kHorizontal = "\u2500";  // ─
constexpr const char* kVertical = "\u2502";    // │
constexpr const char* kCorner = "\u2514";      // └

// "yyyy/mm/dd hh:mm"
std::string ExportDate(const os::LocalDateTime& now) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d", now.year, now.month, now.day,
                  now.hour, now.minute);
    return text;
}

}  // namespace

std::string FormatSizeKB(std::int64_t size) {
    std::int64_t kilobytes = 0;
    if (size > 0) {
        kilobytes = size / 1024;
        const std::int64_t rest = size % 1024;
        if (rest > 512 || (rest == 512 && kilobytes % 2 == 1))
            ++kilobytes;
    }
    if (kilobytes > 0)
        return std::to_string(kilobytes) + "KB";
    return std::to_string(size) + "bytes";
}

std::string ExportRootText(const std::string& siteName, const std::string& host,
                           const std::string& folder) {
    return siteName + "(ftp://" + host + folder + ")";
}

std::size_t ExportLineWidth(const std::string& line) {
    std::size_t width = 0;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t length =
            static_cast<unsigned char>(line[at]) < 0x80 ? 0 : os::Utf8SequenceLength(line, at);
        if (length == 0) {
            width += 1;  // ASCII, or a byte of a name that is not UTF-8
            at += 1;
        } else {
            width += 2;
            at += length;
        }
    }
    return width;
}

TExportTree::TExportTree(std::string rootText) {
    nodes_.push_back({std::move(rootText), {}});
}

TExportTree::Node TExportTree::Add(Node parent, std::string text) {
    if (parent >= nodes_.size())
        throw std::out_of_range("export tree: no such node");
    nodes_.push_back({std::move(text), {}});
    const Node node = nodes_.size() - 1;
    nodes_[parent].children.push_back(node);
    return node;
}

TExportTree::Node TExportTree::AddFolder(Node parent, const std::string& name) {
    return Add(parent, "<" + name + ">");
}

TExportTree::Node TExportTree::AddFile(Node parent, const std::string& name, std::int64_t size,
                                       const std::string& modified) {
    return AddFileRow(parent, name, FormatSizeKB(size), modified);
}

TExportTree::Node TExportTree::AddFileRow(Node parent, const std::string& caption,
                                          const std::string& sizeText,
                                          const std::string& modifiedText) {
    return Add(parent, caption + "    " + sizeText + "    " + modifiedText);
}

void TExportTree::AddEntries(Node parent, const std::vector<TExportEntry>& entries) {
    for (const TExportEntry& entry : entries) {
        if (entry.folder)
            AddEntries(AddFolder(parent, entry.name), entry.children);
        else
            AddFile(parent, entry.name, entry.size, entry.modified);
    }
}

std::vector<std::string> TExportTree::Lines(const os::LocalDateTime& now) const {
    std::vector<std::string> lines{nodes_[kRoot].text};
    int folders = 0;
    int files = 0;
    // Pre-order without recursion, so a deep tree cannot exhaust the stack: each entry is a
    // node and its level.
    std::vector<std::pair<Node, int>> pending;
    const auto pushChildren = [&](Node node, int level) {
        const std::vector<Node>& children = nodes_[node].children;
        for (auto child = children.rbegin(); child != children.rend(); ++child)
            pending.emplace_back(*child, level + 1);
    };
    pushChildren(kRoot, 0);
    while (!pending.empty()) {
        const auto [node, level] = pending.back();
        pending.pop_back();
        const bool hasChildren = !nodes_[node].children.empty();
        (hasChildren ? folders : files) += 1;
        std::string line;
        for (int j = 1; j <= level; ++j) {
            if (hasChildren && j == level)
                line.append(kBranch).append(kHorizontal);
            else
                line.append(kVertical).append("    ");
        }
        line += nodes_[node].text;
        lines.push_back(std::move(line));
        pushChildren(node, level);
    }

    std::size_t widest = 0;
    for (const std::string& line : lines)
        widest = std::max(widest, ExportLineWidth(line));
    std::string footer = kCorner;
    for (std::size_t dash = 1; dash < widest / 2; ++dash)
        footer += kHorizontal;
    lines.push_back(std::move(footer));
    lines.push_back("    " + std::to_string(folders) + " folders, " + std::to_string(files) +
                    " files, export date: " + ExportDate(now));
    return lines;
}

std::string TExportTree::Contents(const os::LocalDateTime& now) const {
    std::string contents;
    for (const std::string& line : Lines(now))
        contents.append(line).append("\r\n");
    return contents;
}

void SaveExportTree(const TExportTree& tree, const std::string& fileName) {
    if (!os::WriteFileContents(fileName, tree.Contents(os::Now())))
        throw std::runtime_error("Cannot create file \"" + fileName + "\".");
}
